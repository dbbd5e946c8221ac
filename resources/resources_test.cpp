// What Pellory.exe carries: the exact strings, the bitmaps at their sizes and depths, the icon, the
// version and the manifest, and that it needs no DLL of ours beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "platform/handles.h"
#include "resource_ids.h"

namespace {

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

class ProgramResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExA(WindowsPath(PELLORY_EXE).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { FreeLibrary(module); }
    void SetUp() override { ASSERT_NE(module, nullptr) << PELLORY_EXE; }

    static std::string String(int id) {
        const wchar_t* text = nullptr;
        int n = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>(text[i]);
        return s;
    }

    static const BITMAPINFOHEADER* Bitmap(int id) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
        return found ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found))) : nullptr;
    }

    static const void* Resource(int id, int type, DWORD* size = nullptr) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
        if (!found) return nullptr;
        if (size) *size = SizeofResource(module, found);
        return LockResource(LoadResource(module, found));
    }

    static inline HMODULE module = nullptr;
};

TEST_F(ProgramResources, StringsAreExact) {
    EXPECT_EQ(String(101), "Butt height: 92");
    EXPECT_EQ(String(102), "Blink X: 16");
    EXPECT_EQ(String(103), "Blink Y: 24");
    EXPECT_EQ(String(104), "Normal, Catgirl, Persocon");
    EXPECT_EQ(String(105),
              "White, Jacket and Booties, Black \"TITS\", Black \"TITS\" II, Black \"TITS\" III, "
              "Black \"TITS\" III (Alternate)");
    const std::string answers = String(100);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '|'), 20);
    EXPECT_TRUE(answers.starts_with("Signs point to yes.|Yes.|Most likely.|"));
    EXPECT_TRUE(answers.ends_with("|Outlook not so good.|Don't count on it.|it is a mystery"));
    EXPECT_EQ(answers.find("| "), std::string::npos);
}

TEST_F(ProgramResources, BitmapsHaveTheirSizesAndDepths) {
    struct Expected {
        int id, width, height, bits;
    } table[] = {{101, 40, 32, 4},  {102, 40, 32, 4},  {109, 77, 126, 4}, {110, 2, 2, 4},
                 {111, 70, 112, 4}, {112, 76, 41, 4},  {150, 2, 2, 4},    {151, 50, 123, 24},
                 {152, 50, 89, 4},  {153, 50, 89, 4},  {154, 56, 96, 4},  {155, 56, 96, 4}};
    for (const Expected& e : table) {
        const BITMAPINFOHEADER* header = Bitmap(e.id);
        ASSERT_NE(header, nullptr) << e.id;
        EXPECT_EQ(header->biWidth, e.width) << e.id;
        EXPECT_EQ(header->biHeight, e.height) << e.id << ": bottom-up";
        EXPECT_EQ(header->biBitCount, e.bits) << e.id;
        EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB)) << e.id;
    }
    EXPECT_EQ(Bitmap(103), nullptr);
    EXPECT_EQ(Bitmap(113), nullptr);
    EXPECT_EQ(Bitmap(156), nullptr);
}

TEST_F(ProgramResources, IconVersionAndManifest) {
    // The icon group: 16, 32 and 48 pixels, each in 16 and 256 colours.
    const auto* group = static_cast<const BYTE*>(Resource(IDI_DISTANCE, 14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    std::set<std::pair<int, int>> images;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = group + 6 + 14 * i;
        images.insert({entry[0], *reinterpret_cast<const WORD*>(entry + 6)});
    }
    EXPECT_EQ(images, (std::set<std::pair<int, int>>{{16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8}}));

    const auto* version = static_cast<const BYTE*>(Resource(1, 16));  // RT_VERSION
    ASSERT_NE(version, nullptr);
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);

    DWORD size = 0;
    const auto* manifest = static_cast<const char*>(Resource(1, 24, &size));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest, size);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("<dpiAware"), std::string::npos);
}

TEST_F(ProgramResources, IsA64BitGuiProgramThatImportsOnlySystemLibraries) {
    const auto* image = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(module) & ~uintptr_t{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    // Mapped as an image resource, sections sit at their virtual addresses.
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0u);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "msimg32.dll",
                                          "advapi32.dll", "comctl32.dll", "msvcrt.dll"};
    int seen = 0;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress); d->Name; ++d) {
        std::string name(reinterpret_cast<const char*>(image + d->Name));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        bool allowed = system.contains(name) || name.starts_with("api-ms-win-");
        EXPECT_TRUE(allowed) << name << " would have to ship beside Pellory.exe";
        ++seen;
    }
    EXPECT_GE(seen, 5);
}

}  // namespace
