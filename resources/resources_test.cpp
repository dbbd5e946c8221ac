// What Pellory.exe carries that no other test meets: the version of the project. (Its icon is met where the
// distance dialog shows it, its manifest where every test program carries it; that it needs no DLL beside it
// shows when the installed copy runs.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

TEST(ProgramResources, VersionIsTheCMakeProjects) {
    std::string path = PELLORY_EXE;  // a Unix path: Wine maps the root to drive Z:
    std::replace(path.begin(), path.end(), '/', '\\');
    HMODULE module = LoadLibraryExA(("Z:" + path).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC version = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
    ASSERT_TRUE(module && version) << PELLORY_EXE;
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(static_cast<const BYTE*>(LockResource(LoadResource(module, version))) + 40);
    EXPECT_EQ(std::tuple(fixed->dwSignature, fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS),
              std::tuple(0xFEEF04BDu, DWORD{PELLORY_VERSION_MS}, DWORD{PELLORY_VERSION_LS}, DWORD{PELLORY_VERSION_MS}));
}
