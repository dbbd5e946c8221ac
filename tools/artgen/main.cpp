// artgen write ART_DIR BITMAP_DIR   regenerates the committed bitmaps and icon from their text sources
// artgen previews ART_DIR OUT_DIR   writes PNGs of the character in every costume combination
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <string>

#include "art.h"

namespace {

using namespace artgen;

int Write(const std::filesystem::path& art, const std::filesystem::path& out) {
    const auto files = BuildAll(LoadDir(art));
    for (const auto& [name, bytes] : files) {
        WriteFile(out / name, bytes);
        std::printf("%s (%zu bytes)\n", (out / name).generic_string().c_str(), bytes.size());
    }
    return 0;
}

// The frame as it looks on a desktop: the key colour shows a pale wall above the seat and the
// window's blue caption below it, so the legs read as hanging in front of the window.
Image OnDesktop(const Image& frame) {
    Image out = frame;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            if (out.at(x, y) == kBlack) out.at(x, y) = y < kSeatY ? Rgb{206, 214, 228} : Rgb{58, 92, 164};
    return out;
}

int Previews(const std::filesystem::path& art, const std::filesystem::path& out) {
    std::map<std::string, Image> images;
    for (const auto& m : LoadDir(art))
        if (m.output.ends_with(".bmp")) images[m.output.substr(0, m.output.size() - 4)] = ToImage(m);
    const Image& base = images.at("109");
    std::filesystem::create_directories(out);

    const int cols = 6, gap = 4;
    Image sheet(cols * (base.width + gap) + gap, 4 * (base.height + gap) + gap, Rgb{255, 255, 255});
    auto place = [&](const Image& frame, int index) {
        const int ox = gap + (index % cols) * (base.width + gap), oy = gap + (index / cols) * (base.height + gap);
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) sheet.at(ox + x, oy + y) = frame.at(x, y);
    };
    auto save = [&](const std::string& name, const Image& frame) {
        WriteFile(out / (name + ".png"), EncodePng(Scale(frame, 4)));
        std::printf("%s\n", (out / (name + ".png")).generic_string().c_str());
    };

    int index = 0;
    for (int c1 = 110; c1 <= 112; ++c1)
        for (int c2 = 150; c2 <= 155; ++c2) {
            const Image frame = OnDesktop(ComposeFrame(base, &images.at(std::to_string(c2)), nullptr,
                                                       &images.at(std::to_string(c1))));
            save("costume-" + std::to_string(c1) + "-" + std::to_string(c2), frame);
            place(frame, index++);
        }
    for (const char* blink : {"101", "102"}) {
        const Image frame = OnDesktop(ComposeFrame(base, nullptr, &images.at(blink), nullptr));
        save(std::string("blink-") + blink, frame);
        place(frame, index++);
    }
    WriteFile(out / "all.png", EncodePng(Scale(sheet, 2)));
    std::printf("%s\n", (out / "all.png").generic_string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (argc == 4 && command == "write") return Write(argv[2], argv[3]);
        if (argc == 4 && command == "previews") return Previews(argv[2], argv[3]);
        std::fprintf(stderr, "usage: artgen write ART_DIR BITMAP_DIR | artgen previews ART_DIR OUT_DIR\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
}
