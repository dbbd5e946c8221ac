#include <gtest/gtest.h>

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
std::filesystem::path Repo() { return std::filesystem::path(std::string("Z:") + PELLORY_SOURCE_DIR); }
std::filesystem::path ArtDir() { return Repo() / "resources" / "art"; }
std::filesystem::path BitmapDir() { return Repo() / "resources" / "bitmaps"; }

DecodedBmp Committed(const std::string& name) { return DecodeBmp(ReadFile(BitmapDir() / name)); }

bool HasColour(const std::vector<Rgb>& palette, Rgb c) {
    for (const Rgb& p : palette)
        if (p == c) return true;
    return false;
}

TEST(ArtFiles, CommittedFilesAreExactlyWhatTheSourcesMake) {
    const auto files = BuildAll(LoadDir(ArtDir()));
    std::set<std::string> names;
    for (const auto& [name, bytes] : files) {
        names.insert(name);
        EXPECT_EQ(ReadFile(BitmapDir() / name), bytes) << name << " differs from its source: run `make art`";
    }
    const std::set<std::string> expected{"101.bmp", "102.bmp", "109.bmp", "110.bmp", "111.bmp",
                                         "112.bmp", "150.bmp", "151.bmp", "152.bmp", "153.bmp",
                                         "154.bmp", "155.bmp", "distance.ico"};
    EXPECT_EQ(names, expected);
}

struct BitmapCase {
    const char* name;
    int width, height, bits;
};

class BitmapShape : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapShape, HasItsSizeDepthAndKeyInThePalette) {
    const BitmapCase& c = GetParam();
    const DecodedBmp bmp = Committed(c.name);
    EXPECT_EQ(bmp.headerSize, 40u);
    EXPECT_EQ(bmp.width, c.width);
    EXPECT_EQ(bmp.height, c.height);
    ASSERT_EQ(bmp.bits, c.bits);
    const bool isBase = std::string(c.name) == "109.bmp";
    if (c.bits == 4) {
        EXPECT_EQ(bmp.palette.size(), 16u);
        EXPECT_TRUE(HasColour(bmp.palette, isBase ? kBlack : kRed));
    }
    // The frame goes to a window keyed on black: a black pixel in any layer would be a hole.
    if (!isBase) {
        for (const Rgb& p : bmp.image.pixels) ASSERT_NE(p, kBlack) << c.name;
    }
    // Every layer is transparent in its corners, so it cannot paint a box over the frame.
    const Rgb key = isBase ? kBlack : kRed;
    EXPECT_EQ(bmp.image.at(0, 0), key);
    EXPECT_EQ(bmp.image.at(bmp.width - 1, 0), key);
    EXPECT_EQ(bmp.image.at(bmp.width - 1, bmp.height - 1), key);
}

INSTANTIATE_TEST_SUITE_P(Resources, BitmapShape,
                         ::testing::Values(BitmapCase{"101.bmp", 40, 32, 4}, BitmapCase{"102.bmp", 40, 32, 4},
                                           BitmapCase{"109.bmp", 77, 126, 4}, BitmapCase{"110.bmp", 2, 2, 4},
                                           BitmapCase{"111.bmp", 70, 112, 4}, BitmapCase{"112.bmp", 76, 41, 4},
                                           BitmapCase{"150.bmp", 2, 2, 4}, BitmapCase{"151.bmp", 50, 123, 24},
                                           BitmapCase{"152.bmp", 50, 89, 4}, BitmapCase{"153.bmp", 50, 89, 4},
                                           BitmapCase{"154.bmp", 56, 96, 4}, BitmapCase{"155.bmp", 56, 96, 4}),
                         [](const auto& param) { return std::string(param.param.name).substr(0, 3); });

TEST(ArtBase, EveryBlackPixelIsBackgroundReachableFromTheBorder) {
    const Image base = Committed("109.bmp").image;
    std::vector<bool> seen(base.pixels.size(), false);
    std::deque<std::pair<int, int>> todo;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= base.width || y >= base.height) return;
        const auto i = static_cast<std::size_t>(y) * base.width + x;
        if (seen[i] || base.at(x, y) != kBlack) return;
        seen[i] = true;
        todo.emplace_back(x, y);
    };
    for (int x = 0; x < base.width; ++x) visit(x, 0), visit(x, base.height - 1);
    for (int y = 0; y < base.height; ++y) visit(0, y), visit(base.width - 1, y);
    while (!todo.empty()) {
        const auto [x, y] = todo.front();
        todo.pop_front();
        visit(x + 1, y), visit(x - 1, y), visit(x, y + 1), visit(x, y - 1);
    }
    int character = 0;
    for (int y = 0; y < base.height; ++y)
        for (int x = 0; x < base.width; ++x) {
            if (base.at(x, y) == kBlack) {
                EXPECT_TRUE(seen[static_cast<std::size_t>(y) * base.width + x]) << x << "," << y;
            } else {
                ++character;
            }
        }
    EXPECT_GT(character, base.width * base.height / 4);
}

TEST(ArtBase, LegsHangBelowTheSeatWithinTheNarrowLayers) {
    const Image base = Committed("109.bmp").image;
    // Below the skirt's hem only legs and shoes remain; the booties of layer 2 must reach them.
    int below = 0;
    for (int y = kSeatY + 4; y < base.height; ++y)
        for (int x = 0; x < base.width; ++x)
            if (base.at(x, y) != kBlack) {
                ++below;
                EXPECT_LT(x, 50) << "leg pixel outside the 50-pixel-wide costume layers at " << x << "," << y;
            }
    EXPECT_GT(below, 200);
}

TEST(ArtBlink, BlinkFramesDrawOnlyOverTheFace) {
    const Image base = Committed("109.bmp").image;
    for (const char* name : {"101.bmp", "102.bmp"}) {
        const Image blink = Committed(name).image;
        int drawn = 0, changed = 0;
        for (int y = 0; y < blink.height; ++y)
            for (int x = 0; x < blink.width; ++x) {
                const Rgb p = blink.at(x, y);
                if (p == kRed) continue;
                ++drawn;
                const Rgb under = base.at(kBlinkX + x, kBlinkY + y);
                EXPECT_NE(under, kBlack) << name << " draws outside the character at " << x << "," << y;
                if (p != under) ++changed;
            }
        EXPECT_GT(changed, 20) << name << " does not close the eyes";
        EXPECT_LT(drawn, blink.width * blink.height / 3) << name << " paints more than the eyes";
    }
}

TEST(ArtIcon, HoldsSixImagesWithMasks) {
    const auto entries = DecodeIcon(ReadFile(BitmapDir() / "distance.ico"));
    std::set<std::pair<int, int>> found;
    for (const auto& e : entries) {
        found.emplace(e.width, e.bits);
        EXPECT_EQ(e.height, e.width);
        EXPECT_EQ(e.xorImage.width, e.width);
        EXPECT_EQ(e.xorImage.height, e.height);
        EXPECT_EQ(e.xorImage.bits, e.bits);
        EXPECT_EQ(e.colourCount, e.bits == 4 ? 16 : 0);
        EXPECT_EQ(e.xorImage.palette.size(), e.bits == 4 ? 16u : 256u);
        int opaque = 0;
        for (std::size_t i = 0; i < e.transparent.size(); ++i) {
            if (e.transparent[i]) {
                EXPECT_EQ(e.xorImage.image.pixels[i], kBlack) << "masked pixels must not tint";
            } else {
                ++opaque;
            }
        }
        EXPECT_GT(opaque, e.width * e.height / 2);
        EXPECT_LT(opaque, e.width * e.height) << "the icon has a transparent outline";
    }
    const std::set<std::pair<int, int>> expected{{16, 4}, {16, 8}, {32, 4}, {32, 8}, {48, 4}, {48, 8}};
    EXPECT_EQ(found, expected);
}

const char* const kGood =
    "# test\n"
    "output: t.bmp\n"
    "size: 3 2\n"
    "bits: 4\n"
    "colour - 255 0 0  key\n"
    "colour a 1 2 3\n"
    "pixels:\n"
    "-a-\n"
    "aa-\n";

TEST(ArtSource, ParsesAndEncodesBottomUp) {
    const PixelMap m = ParseMap(kGood, "t.txt");
    const Bytes bmp = EncodeBmp(m);
    ASSERT_EQ(bmp.size(), 14u + 40 + 64 + 2 * 4);
    // Bottom row first: "aa-" = indices 1 1 0, then "-a-" = 0 1 0.
    EXPECT_EQ(bmp[118], 0x11);
    EXPECT_EQ(bmp[119], 0x00);
    EXPECT_EQ(bmp[122], 0x01);
    const DecodedBmp back = DecodeBmp(bmp);
    EXPECT_EQ(back.image.at(1, 0), (Rgb{1, 2, 3}));
    EXPECT_EQ(back.image.at(2, 1), kRed);
}

TEST(ArtSource, RejectsMalformedMaps) {
    const std::pair<std::string, std::string> cases[] = {
        {"unknown pixel", "output: t.bmp\nsize: 2 1\nbits: 4\ncolour a 0 0 0\npixels:\nab\n"},
        {"short row", "output: t.bmp\nsize: 3 1\nbits: 4\ncolour a 0 0 0\npixels:\naa\n"},
        {"missing row", "output: t.bmp\nsize: 1 2\nbits: 4\ncolour a 0 0 0\npixels:\na\n"},
        {"extra row", "output: t.bmp\nsize: 1 1\nbits: 4\ncolour a 0 0 0\npixels:\na\na\n"},
        {"no size", "output: t.bmp\nbits: 4\ncolour a 0 0 0\npixels:\na\n"},
        {"bad depth", "output: t.bmp\nsize: 1 1\nbits: 5\ncolour a 0 0 0\npixels:\na\n"},
        {"colour twice", "output: t.bmp\nsize: 1 1\nbits: 4\ncolour a 0 0 0\ncolour a 1 1 1\npixels:\na\n"},
        {"colour out of range", "output: t.bmp\nsize: 1 1\nbits: 4\ncolour a 0 0 256\npixels:\na\n"},
        {"mask not in legend", "output: t.ico\nsize: 1 1\nbits: 4\nmask: .\ncolour a 0 0 0\npixels:\na\n"},
        {"unknown key", "output: t.bmp\nsize: 1 1\nbits: 4\nframe: 2\ncolour a 0 0 0\npixels:\na\n"},
    };
    for (const auto& [what, text] : cases) EXPECT_THROW(ParseMap(text, "t.txt"), std::runtime_error) << what;

    std::string tooMany = "output: t.bmp\nsize: 1 1\nbits: 4\n";
    for (int i = 0; i < 17; ++i) tooMany += "colour " + std::string(1, static_cast<char>('a' + i)) + " 0 0 0\n";
    tooMany += "pixels:\na\n";
    EXPECT_THROW(ParseMap(tooMany, "t.txt"), std::runtime_error);
}

TEST(ArtCompose, LayersStackThroughTheRedKey) {
    Image base(4, 1, Rgb{1, 1, 1});
    Image layer2(2, 1, kRed);
    layer2.at(1, 0) = Rgb{2, 2, 2};
    Image layer1(4, 1, kRed);
    layer1.at(3, 0) = Rgb{3, 3, 3};
    const Image frame = ComposeFrame(base, &layer2, nullptr, &layer1);
    EXPECT_EQ(frame.at(0, 0), (Rgb{1, 1, 1}));
    EXPECT_EQ(frame.at(1, 0), (Rgb{2, 2, 2}));
    EXPECT_EQ(frame.at(2, 0), (Rgb{1, 1, 1}));
    EXPECT_EQ(frame.at(3, 0), (Rgb{3, 3, 3}));
}

}  // namespace
