// What Pellory.exe carries: the exact strings, the bitmaps at their sizes and depths, the icon, the
// version and the manifest, and that it needs no DLL of ours beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

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
        return static_cast<const BITMAPINFOHEADER*>(Resource(id, 2));  // RT_BITMAP
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
        const BITMAPINFOHEADER* h = Bitmap(e.id);
        ASSERT_NE(h, nullptr) << e.id;
        EXPECT_EQ(std::vector<long>({h->biWidth, h->biHeight, h->biBitCount, long(h->biCompression)}),
                  std::vector<long>({e.width, e.height, e.bits, BI_RGB}))
            << e.id << ": bottom-up, uncompressed";
    }
    EXPECT_EQ(Bitmap(113), nullptr);
}

TEST_F(ProgramResources, IconVersionAndManifest) {
    EXPECT_NE(Resource(IDI_DISTANCE, 14), nullptr);  // RT_GROUP_ICON; its images are checked with the art
    const auto* version = static_cast<const BYTE*>(Resource(1, 16));  // RT_VERSION
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40)->dwSignature, 0xFEEF04BDu);
    DWORD size = 0;
    const auto* manifest = static_cast<const char*>(Resource(1, 24, &size));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest, size);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
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
