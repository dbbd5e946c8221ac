// What Pellory.exe carries besides what start-up loads: the icon and the version of the project. (What its
// manifest asks for is checked where every test program carries it; that it needs no DLL beside it shows
// when the installed copy runs.)
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

TEST_F(ProgramResources, IconAndVersion) {
    EXPECT_FALSE(Resource(IDI_DISTANCE, 14).empty());  // RT_GROUP_ICON; its images are checked with the art
    const auto* version = reinterpret_cast<const BYTE*>(Resource(1, 16).data());  // RT_VERSION
    ASSERT_TRUE(version && reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40)->dwSignature == 0xFEEF04BDu);
    const auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(version + 40);
    EXPECT_EQ(std::vector<DWORD>({fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS}),
              std::vector<DWORD>({PELLORY_VERSION_MS, PELLORY_VERSION_LS, PELLORY_VERSION_MS}));  // the CMake project's
}

}  // namespace
