// What Pellory.exe carries: the exact strings, the bitmaps at their sizes and depths, the icon, the
// version and the manifest, and that it needs no DLL of ours beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "resource_ids.h"

namespace {

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path[0] == '\\' ? "Z:" + path : path;
}

struct ProgramResources : ::testing::Test {
    static void SetUpTestSuite() { module = LoadLibraryExA(WindowsPath(PELLORY_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE); }
    void SetUp() override { ASSERT_NE(module, nullptr) << PELLORY_EXE; }

    static std::string String(int id) {
        const wchar_t* text = nullptr;
        const int n = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        return n > 0 ? std::string(text, text + n) : std::string();
    }
    // The resource's bytes; empty when it is not there.
    static std::string_view Resource(int id, int type) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
        if (!found) return {};
        return {static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)};
    }

    static inline HMODULE module = nullptr;
};

TEST_F(ProgramResources, StringsAreExact) {
    const char* expected[] = {"Butt height: 92", "Blink X: 16", "Blink Y: 24", "Normal, Catgirl, Persocon",
                              "White, Jacket and Booties, Black \"TITS\", Black \"TITS\" II, Black \"TITS\" III, Black \"TITS\" III (Alternate)"};
    for (int id = 101; id <= 105; ++id) EXPECT_EQ(String(id), expected[id - 101]) << id;
    // The 21 answers, '|'-separated with no blank after a separator.
    const std::string answers = String(100);
    EXPECT_EQ(std::count(answers.begin(), answers.end(), '|'), 20);
    EXPECT_TRUE(answers.starts_with("Signs point to yes.|Yes.|Most likely.|") && answers.ends_with("|Outlook not so good.|Don't count on it.|it is a mystery")) << answers;
    EXPECT_EQ(answers.find("| "), std::string::npos);
}

TEST_F(ProgramResources, BitmapsHaveTheirSizesAndDepthsBottomUpAndUncompressed) {
    struct Expected { int id, width, height, bits; } table[] = {
        {101, 40, 32, 4}, {102, 40, 32, 4}, {109, 77, 126, 4}, {110, 2, 2, 4}, {111, 70, 112, 4}, {112, 76, 41, 4},
        {150, 2, 2, 4}, {151, 50, 123, 24}, {152, 50, 89, 4}, {153, 50, 89, 4}, {154, 56, 96, 4}, {155, 56, 96, 4}};
    for (const Expected& e : table) {
        const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(e.id, 2).data());  // RT_BITMAP
        ASSERT_NE(h, nullptr) << e.id;
        EXPECT_EQ(std::vector<long>({h->biWidth, h->biHeight, h->biBitCount, long(h->biCompression)}), std::vector<long>({e.width, e.height, e.bits, BI_RGB})) << e.id;
    }
    EXPECT_TRUE(Resource(113, 2).empty());
}

TEST_F(ProgramResources, IconVersionAndManifest) {
    EXPECT_FALSE(Resource(IDI_DISTANCE, 14).empty());  // RT_GROUP_ICON; its images are checked with the art
    const auto* version = reinterpret_cast<const BYTE*>(Resource(1, 16).data());  // RT_VERSION
    ASSERT_TRUE(version && reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40)->dwSignature == 0xFEEF04BDu);
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40);
    EXPECT_EQ(std::vector<DWORD>({fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS}),
              std::vector<DWORD>({PELLORY_VERSION_MS, PELLORY_VERSION_LS, PELLORY_VERSION_MS}));  // the CMake project's
    const std::string_view text = Resource(1, 24);  // RT_MANIFEST
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("<dpiAware"), std::string::npos);
}

TEST_F(ProgramResources, IsA64BitGuiProgramThatImportsOnlySystemLibraries) {
    const auto* image = reinterpret_cast<const BYTE*>(reinterpret_cast<uintptr_t>(module) & ~uintptr_t{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
    EXPECT_TRUE(nt->FileHeader.Machine == IMAGE_FILE_MACHINE_AMD64 && nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI);
    // Mapped as an image resource, sections sit at their virtual addresses.
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(imports.VirtualAddress, 0u);
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "msimg32.dll", "advapi32.dll", "comctl32.dll", "shell32.dll", "msvcrt.dll"};
    int seen = 0;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress); d->Name; ++d, ++seen) {
        std::string name(reinterpret_cast<const char*>(image + d->Name));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        EXPECT_TRUE(system.contains(name) || name.starts_with("api-ms-win-")) << name << " would have to ship beside Pellory.exe";
    }
    EXPECT_GE(seen, 5);
}

}  // namespace
