#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "art.h"

namespace {

using namespace artgen;

// Wine maps the Unix root to drive Z:.
std::filesystem::path ArtDir() { return std::filesystem::path(std::string("Z:") + PELLORY_SOURCE_DIR) / "resources" / "art"; }
std::filesystem::path BitmapDir() { return ArtDir().parent_path() / "bitmaps"; }

// Every committed file is what its sources make, and every one has a source.
TEST(ArtFiles, CommittedFilesAreExactlyWhatTheSourcesMake) {
    std::set<std::string> made, committed;
    for (const auto& e : std::filesystem::directory_iterator(BitmapDir())) committed.insert(e.path().filename().string());
    for (const auto& [name, bytes] : BuildAll(LoadDir(ArtDir()))) {
        made.insert(name);
        EXPECT_EQ(ReadFile(BitmapDir() / name), bytes) << name << " differs from its source: run `make art`";
    }
    EXPECT_EQ(made, committed);
}

// An image for the small and the large icon at 100, 125, 150 and 200 %, and Explorer's 256 pixels.
TEST(ArtFiles, IconHoldsEverySizeTheNotificationAreaAsksFor) {
    std::vector<std::pair<int, int>> sizes;
    for (const IconEntry& e : DecodeIcon(ReadFile(BitmapDir() / "distance.ico"))) sizes.emplace_back(e.xorImage.width, e.bits);
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{16, 4}, {16, 8}, {20, 8}, {24, 8}, {32, 4}, {32, 8}, {40, 8}, {48, 4}, {48, 8}, {64, 8}, {256, 32}}));
}

// The layers go onto the frame of a window keyed on black: a black pixel would be a hole, and a corner not in
// their own key (red) would paint a box over the frame. The base (109) is that frame, keyed on black itself.
TEST(ArtFiles, LayersAreKeyedInTheirCornersAndHoldNoBlack) {
    for (const auto& e : std::filesystem::directory_iterator(BitmapDir())) {
        const std::string name = e.path().filename().string();
        if (!name.ends_with(".bmp") || name.starts_with("installer")) continue;
        const Image i = DecodeBmp(ReadFile(e.path())).image;
        const Rgb key = name == "109.bmp" ? kBlack : kRed;
        EXPECT_TRUE(i.at(0, 0) == key && i.at(i.width - 1, 0) == key && i.at(i.width - 1, i.height - 1) == key) << name;
        EXPECT_TRUE(key == kBlack || std::ranges::find(i.pixels, kBlack) == i.pixels.end()) << name;
    }
}

}  // namespace
