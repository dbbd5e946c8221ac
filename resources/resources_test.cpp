// What Pellory.exe carries besides what start-up loads: the icon, the version of the project and the
// manifest, and that it needs no DLL of ours beside it.
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

    // The resource's bytes; empty when it is not there.
    static std::string_view Resource(int id, int type) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
        if (!found) return {};
        return {static_cast<const char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found)};
    }

    static inline HMODULE module = nullptr;
};

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
