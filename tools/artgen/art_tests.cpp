#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "art.h"

namespace {

using namespace artgen;

// Wine maps the Unix root to drive Z:.
std::filesystem::path ArtDir() { return std::filesystem::path(std::string("Z:") + PELLORY_SOURCE_DIR) / "resources" / "art"; }
std::filesystem::path BitmapDir() { return ArtDir().parent_path() / "bitmaps"; }
DecodedBmp Committed(const std::string& name) { return DecodeBmp(ReadFile(BitmapDir() / name)); }

TEST(ArtFiles, CommittedFilesAreExactlyWhatTheSourcesMake) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : BuildAll(LoadDir(ArtDir()))) {
        names.insert(name);
        EXPECT_EQ(ReadFile(BitmapDir() / name), bytes) << name << " differs from its source: run `make art`";
    }
    EXPECT_EQ(names, (std::set<std::string>{"101.bmp", "102.bmp", "109.bmp", "110.bmp", "111.bmp", "112.bmp", "150.bmp",
                                            "151.bmp", "152.bmp", "153.bmp", "154.bmp", "155.bmp", "distance.ico",
                                            "installer-welcome.bmp"}));
}

// An image for the small and the large icon at 100, 125, 150 and 200 %; the 64 is the 32 doubled.
TEST(ArtFiles, IconHoldsEverySizeTheNotificationAreaAsksFor) {
    const std::vector<IconEntry> icon = DecodeIcon(ReadFile(BitmapDir() / "distance.ico"));
    std::vector<std::pair<int, int>> sizes;
    for (const IconEntry& e : icon) sizes.emplace_back(e.xorImage.width, e.bits);
    ASSERT_EQ(sizes, (std::vector<std::pair<int, int>>{{16, 4}, {16, 8}, {20, 8}, {24, 8}, {32, 4}, {32, 8}, {40, 8}, {48, 4}, {48, 8}, {64, 8}}));
    const IconEntry &small = icon[5], &big = icon[9];
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(big.xorImage.image.at(x, y), small.xorImage.image.at(x / 2, y / 2)) << x << "," << y;
            ASSERT_EQ(big.transparent[y * 64 + x], small.transparent[y / 2 * 32 + x / 2]) << x << "," << y;
        }
}

// The character at twice its size, centred on a plain wall that replaces its window colour key.
TEST(ArtFiles, InstallerPictureIsTheCharacterDoubledOnAWall) {
    const DecodedBmp page = Committed("installer-welcome.bmp");
    const Image base = Committed("109.bmp").image;
    ASSERT_EQ(std::pair(page.width, page.height), std::pair(164, 314));
    const Rgb wall = page.image.at(0, 0);
    EXPECT_NE(wall, kBlack);
    const int left = (164 - 2 * base.width) / 2, top = (314 - 2 * base.height) / 2;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const int bx = (x - left) / 2, by = (y - top) / 2;
            const bool inside = x >= left && y >= top && bx < base.width && by < base.height;
            const Rgb want = inside && base.at(bx, by) != kBlack ? base.at(bx, by) : wall;
            ASSERT_EQ(page.image.at(x, y), want) << x << "," << y;
        }
}

// A recipe that cannot be made fails and names its file, rather than writing a wrong picture.
TEST(MadeMaps, BadRecipesFailNamingTheirFile) {
    const PixelMap source = ParseMap("output: a.bmp\nsize: 2 1\nbits: 4\ncolour . 0 0 0\ncolour x 9 9 9\npixels:\n.x\n", "a.txt");
    for (const char* recipe : {"size: 5 2\nscale: 2\n", "size: 3 2\nscale: 2\nfill: .\n", "size: 2 1\ncolour y 0 0 0\n"}) {
        const PixelMap made = ParseMap(std::string("output: b.bmp\nfrom: a.txt\n") + recipe, "b.txt");
        try {
            MakeFrom(source, made);
            ADD_FAILURE() << recipe;
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(std::string(e.what()).starts_with("b.txt")) << e.what();
        }
    }
}

// Whole scales repeat each pixel; other sizes take the pixel under each centre, and a boundary
// case picks mirrored about the middle, so a symmetric row stays symmetric.
TEST(Resample, KeepsThePixelArtAtAnySize) {
    EXPECT_EQ(Resample({"ab", "cd"}, 6, 4), (std::vector<std::string>{"aaabbb", "aaabbb", "cccddd", "cccddd"}));
    EXPECT_EQ(Resample({"abcdef"}, 4, 1), std::vector<std::string>{"acdf"});
    for (const std::string row : {"abcddcba", "abcba"})
        for (int width = 1; width <= 20; ++width) {
            const std::string out = Resample({row}, width, 1).front();
            EXPECT_EQ(out, std::string(out.rbegin(), out.rend())) << row << " at " << width;
        }
}

struct BitmapCase { const char* name; int width, height, bits; };
class BitmapShape : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapShape, HasItsSizeDepthAndKeyInThePalette) {
    const BitmapCase& c = GetParam();
    const DecodedBmp bmp = Committed(c.name);
    EXPECT_EQ(std::vector<int>({int(bmp.headerSize), bmp.width, bmp.height, bmp.bits}), std::vector<int>({40, c.width, c.height, c.bits}));
    const bool isBase = std::string(c.name) == "109.bmp";
    const Rgb key = isBase ? kBlack : kRed;
    EXPECT_TRUE(bmp.bits != 4 || (bmp.palette.size() == 16u && std::ranges::find(bmp.palette, key) != bmp.palette.end()));
    // The frame goes to a window keyed on black: a black pixel in any layer would be a hole.
    for (const Rgb& p : bmp.image.pixels) ASSERT_TRUE(isBase || p != kBlack) << c.name;
    // Every layer is transparent in its corners, so it cannot paint a box over the frame.
    const Image& i = bmp.image;
    EXPECT_TRUE(i.at(0, 0) == key && i.at(i.width - 1, 0) == key && i.at(i.width - 1, i.height - 1) == key);
}

INSTANTIATE_TEST_SUITE_P(Resources, BitmapShape, ::testing::Values(
    BitmapCase{"101.bmp", 40, 32, 4}, BitmapCase{"102.bmp", 40, 32, 4}, BitmapCase{"109.bmp", 77, 126, 4}, BitmapCase{"110.bmp", 2, 2, 4},
    BitmapCase{"111.bmp", 70, 112, 4}, BitmapCase{"112.bmp", 76, 41, 4}, BitmapCase{"150.bmp", 2, 2, 4}, BitmapCase{"151.bmp", 50, 123, 24},
    BitmapCase{"152.bmp", 50, 89, 4}, BitmapCase{"153.bmp", 50, 89, 4}, BitmapCase{"154.bmp", 56, 96, 4}, BitmapCase{"155.bmp", 56, 96, 4}),
    [](const auto& param) { return std::string(param.param.name).substr(0, 3); });

}  // namespace
