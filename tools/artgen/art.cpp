#include "art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace artgen {
namespace {

[[noreturn]] void Fail(const std::string& source, int line, const std::string& what) {
    throw std::runtime_error(source + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int ReadInt(std::istringstream& in, const std::string& source, int line, int lo, int hi) {
    int v = 0;
    if (!(in >> v) || v < lo || v > hi)
        Fail(source, line, "expected a number from " + std::to_string(lo) + " to " + std::to_string(hi));
    return v;
}

void Put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Put32BE(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>((v >> s) & 0xFF));
}
std::uint32_t Get16(const Bytes& b, std::size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("truncated file");
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return Get16(b, at) | (Get16(b, at + 2) << 16);
}

std::uint32_t Stride(int width, int bits) {
    return static_cast<std::uint32_t>(((width * bits + 31) / 32) * 4);
}
int PaletteSize(int bits) { return bits <= 8 ? 1 << bits : 0; }

// BITMAPINFOHEADER, palette and bottom-up pixel rows; icons double the height and append the AND mask.
Bytes EncodeDib(const PixelMap& map, bool icon) {
    const std::uint32_t stride = Stride(map.width, map.bits);
    const std::uint32_t maskStride = icon ? Stride(map.width, 1) : 0;
    const std::uint32_t imageSize = (stride + maskStride) * static_cast<std::uint32_t>(map.height);
    Bytes b;
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(map.width));
    Put32(b, static_cast<std::uint32_t>(map.height * (icon ? 2 : 1)));
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(map.bits));
    Put32(b, 0);  // BI_RGB
    Put32(b, imageSize);
    Put32(b, icon ? 0 : 3780);  // 96 dots per inch
    Put32(b, icon ? 0 : 3780);
    Put32(b, 0);
    Put32(b, 0);
    for (int i = 0; i < PaletteSize(map.bits); ++i) {
        const Rgb c = i < static_cast<int>(map.legend.size()) ? map.legend[static_cast<std::size_t>(i)].second : kBlack;
        b.insert(b.end(), {c.b, c.g, c.r, 0});
    }
    for (int y = map.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < map.width; ++x) {
            const char ch = map.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            if (map.bits == 24) {
                const Rgb c = map.ColourAt(x, y);
                row[static_cast<std::size_t>(x) * 3] = c.b;
                row[static_cast<std::size_t>(x) * 3 + 1] = c.g;
                row[static_cast<std::size_t>(x) * 3 + 2] = c.r;
            } else if (map.bits == 8) {
                row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(map.IndexOf(ch));
            } else {
                const auto index = static_cast<std::uint8_t>(map.IndexOf(ch));
                row[static_cast<std::size_t>(x) / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
            }
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    if (icon) {
        for (int y = map.height - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < map.width; ++x)
                if (map.mask && map.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == *map.mask)
                    row[static_cast<std::size_t>(x) / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
    }
    return b;
}

DecodedBmp DecodeDib(const Bytes& file, std::size_t at, bool icon) {
    DecodedBmp d;
    d.headerSize = Get32(file, at);
    if (d.headerSize != 40) throw std::runtime_error("not a BITMAPINFOHEADER");
    d.width = static_cast<int>(Get32(file, at + 4));
    const auto rawHeight = static_cast<std::int32_t>(Get32(file, at + 8));
    if (d.width <= 0 || d.width > 4096 || rawHeight <= 0 || rawHeight > 8192)
        throw std::runtime_error("unsupported size (top-down or empty)");
    d.height = icon ? rawHeight / 2 : rawHeight;
    d.bits = static_cast<int>(Get16(file, at + 14));
    if (Get16(file, at + 12) != 1 || Get32(file, at + 16) != 0) throw std::runtime_error("compressed or multi-plane");
    if (d.bits != 1 && d.bits != 4 && d.bits != 8 && d.bits != 24) throw std::runtime_error("unsupported depth");
    const std::uint32_t used = Get32(file, at + 32);
    const int colours = d.bits <= 8 ? (used != 0 ? static_cast<int>(used) : 1 << d.bits) : 0;
    std::size_t p = at + 40;
    for (int i = 0; i < colours; ++i, p += 4) {
        if (p + 4 > file.size()) throw std::runtime_error("truncated palette");
        d.palette.push_back(Rgb{file[p + 2], file[p + 1], file[p]});
    }
    d.image = Image(d.width, d.height, kBlack);
    const std::uint32_t stride = Stride(d.width, d.bits);
    if (p + static_cast<std::size_t>(stride) * d.height > file.size()) throw std::runtime_error("truncated pixels");
    for (int y = 0; y < d.height; ++y) {
        const std::size_t row = p + static_cast<std::size_t>(stride) * (d.height - 1 - y);
        for (int x = 0; x < d.width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            if (d.bits == 24) {
                d.image.at(x, y) = Rgb{file[row + ux * 3 + 2], file[row + ux * 3 + 1], file[row + ux * 3]};
                continue;
            }
            int index = 0;
            if (d.bits == 8) index = file[row + ux];
            else if (d.bits == 4) index = (file[row + ux / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
            else index = (file[row + ux / 8] >> (7 - x % 8)) & 1;
            if (index >= colours) throw std::runtime_error("pixel outside the palette");
            d.image.at(x, y) = d.palette[static_cast<std::size_t>(index)];
        }
    }
    return d;
}

std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t n) {
    static const auto table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

// Deflate's bit stream: values low bit first, Huffman codes high bit first.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void Put(std::uint32_t value, int bits) {
        pending_ |= value << count_;
        for (count_ += bits; count_ >= 8; count_ -= 8, pending_ >>= 8) out_.push_back(static_cast<std::uint8_t>(pending_));
    }
    void PutCode(std::uint32_t code, int bits) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < bits; ++i) reversed |= ((code >> i) & 1) << (bits - 1 - i);
        Put(reversed, bits);
    }
    void Flush() { if (count_ > 0) Put(0, 8 - count_); }

private:
    Bytes& out_;
    std::uint32_t pending_ = 0;
    int count_ = 0;
};

// A literal byte, the end of the block (256) or a length code (257 to 285) in the fixed Huffman code.
void PutSymbol(BitWriter& bits, int symbol) {
    const auto s = static_cast<std::uint32_t>(symbol);
    if (s < 144) bits.PutCode(0x30 + s, 8);
    else if (s < 256) bits.PutCode(0x190 + s - 144, 9);
    else if (s < 280) bits.PutCode(s - 256, 7);
    else bits.PutCode(0xC0 + s - 280, 8);
}

void PutMatch(BitWriter& bits, int length, int distance) {
    static constexpr std::array<int, 29> lengthBase{3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static constexpr std::array<int, 30> distanceBase{1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    int l = 28;
    while (lengthBase[static_cast<std::size_t>(l)] > length) --l;
    PutSymbol(bits, 257 + l);
    bits.Put(static_cast<std::uint32_t>(length - lengthBase[static_cast<std::size_t>(l)]), l < 8 || l == 28 ? 0 : (l - 4) / 4);
    int d = 29;
    while (distanceBase[static_cast<std::size_t>(d)] > distance) --d;
    bits.PutCode(static_cast<std::uint32_t>(d), 5);
    bits.Put(static_cast<std::uint32_t>(distance - distanceBase[static_cast<std::size_t>(d)]), d < 4 ? 0 : (d - 2) / 2);
}

// A zlib stream of one fixed-Huffman block: the longest earlier match of each position (greedy, hash chains
// over the last 32 KB), else the literal. Plenty for pixel art, whose rows and runs repeat.
Bytes Zlib(const Bytes& data) {
    constexpr int window = 32768, minMatch = 3, maxMatch = 258, maxTries = 64;
    Bytes out{0x78, 0x01};
    BitWriter bits(out);
    bits.Put(1, 1);  // the last block
    bits.Put(1, 2);  // fixed Huffman codes
    std::vector<int> head(1 << 15, -1), previous(data.size(), -1);
    const auto hash = [&](std::size_t i) { return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & 0x7FFF; };
    const auto insert = [&](std::size_t i) {
        if (i + minMatch > data.size()) return;
        previous[i] = head[static_cast<std::size_t>(hash(i))];
        head[static_cast<std::size_t>(hash(i))] = static_cast<int>(i);
    };
    for (std::size_t i = 0; i < data.size();) {
        int bestLength = 0, bestDistance = 0;
        if (i + minMatch <= data.size()) {
            const int limit = static_cast<int>(std::min<std::size_t>(maxMatch, data.size() - i));
            int tries = maxTries;
            for (int c = head[static_cast<std::size_t>(hash(i))]; c >= 0 && static_cast<int>(i) - c <= window && tries-- > 0;
                 c = previous[static_cast<std::size_t>(c)]) {
                int n = 0;
                while (n < limit && data[static_cast<std::size_t>(c + n)] == data[i + static_cast<std::size_t>(n)]) ++n;
                if (n > bestLength) bestLength = n, bestDistance = static_cast<int>(i) - c;
            }
        }
        if (bestLength >= minMatch) {
            PutMatch(bits, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i++);
        } else {
            PutSymbol(bits, data[i]);
            insert(i++);
        }
    }
    PutSymbol(bits, 256);
    bits.Flush();
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t v : data) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32BE(out, (b << 16) | a);
    return out;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data) {
    Put32BE(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32BE(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

int PixelMap::IndexOf(char c) const {
    for (std::size_t i = 0; i < legend.size(); ++i)
        if (legend[i].first == c) return static_cast<int>(i);
    return -1;
}

Rgb PixelMap::ColourAt(int x, int y) const {
    return legend[static_cast<std::size_t>(IndexOf(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]))].second;
}

PixelMap ParseMap(std::string_view text, const std::string& source) {
    PixelMap m;
    m.source = source;
    bool inPixels = false;
    int lineNo = 0;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view raw = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        if (inPixels) {
            if (raw.empty()) continue;
            if (static_cast<int>(m.rows.size()) == m.height) Fail(source, lineNo, "more rows than the height");
            if (static_cast<int>(raw.size()) != m.width) Fail(source, lineNo, "row length is not the width");
            for (const char c : raw)
                if (m.IndexOf(c) < 0) Fail(source, lineNo, std::string("character '") + c + "' is not in the legend");
            m.rows.emplace_back(raw);
            continue;
        }
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line == "pixels:") {
            if (m.recipe) Fail(source, lineNo, "a map made from another has no pixels of its own");
            if (m.output.empty() || m.width == 0 || m.bits == 0 || m.legend.empty())
                Fail(source, lineNo, "output, size, bits and colours must come before the pixels");
            if (m.bits != 24 && static_cast<int>(m.legend.size()) > PaletteSize(m.bits))
                Fail(source, lineNo, "more colours than the bit depth holds");
            if (m.mask && m.IndexOf(*m.mask) < 0) Fail(source, lineNo, "mask character is not in the legend");
            inPixels = true;
            continue;
        }
        std::istringstream in{std::string(line)};
        std::string key;
        in >> key;
        if (key == "output:") {
            in >> m.output;
        } else if (key == "size:") {
            m.width = ReadInt(in, source, lineNo, 1, 1024);
            m.height = ReadInt(in, source, lineNo, 1, 1024);
        } else if (key == "bits:") {
            m.bits = ReadInt(in, source, lineNo, 1, 24);
            if (m.bits != 4 && m.bits != 8 && m.bits != 24) Fail(source, lineNo, "bits must be 4, 8 or 24");
        } else if (key == "mask:") {
            std::string c;
            in >> c;
            if (c.size() != 1) Fail(source, lineNo, "mask is one character");
            m.mask = c[0];
        } else if (key == "alpha:") {
            m.alpha = ReadInt(in, source, lineNo, 0, 255);
        } else if (key == "from:") {
            if (!m.recipe) m.recipe.emplace();
            in >> m.recipe->from;
        } else if (key == "scale:") {
            double times = 0;
            if (!(in >> times) || times < 1 || times > 16 || std::abs(times * 100 - std::round(times * 100)) > 1e-9)
                Fail(source, lineNo, "expected a scale from 1 to 16 in hundredths at most");
            if (!m.recipe) m.recipe.emplace();
            m.recipe->scalePercent = static_cast<int>(std::lround(times * 100));
        } else if (key == "fill:") {
            std::string c;
            in >> c;
            if (c.size() != 1) Fail(source, lineNo, "fill is one character");
            if (!m.recipe) m.recipe.emplace();
            m.recipe->fill = c[0];
        } else if (key == "colour") {
            std::string c;
            in >> c;
            if (c.size() != 1 || c[0] == '#') Fail(source, lineNo, "a colour is named by one character other than #");
            if (m.IndexOf(c[0]) >= 0) Fail(source, lineNo, "colour character used twice");
            Rgb rgb;
            rgb.r = static_cast<std::uint8_t>(ReadInt(in, source, lineNo, 0, 255));
            rgb.g = static_cast<std::uint8_t>(ReadInt(in, source, lineNo, 0, 255));
            rgb.b = static_cast<std::uint8_t>(ReadInt(in, source, lineNo, 0, 255));
            m.legend.emplace_back(c[0], rgb);
        } else {
            Fail(source, lineNo, "unknown header line");
        }
    }
    if (m.recipe) {
        if (m.recipe->from.empty() || m.output.empty() || m.width == 0)
            Fail(source, 0, "a map made from another needs from, output and size");
        return m;
    }
    if (!inPixels) Fail(source, 0, "no pixels");
    if (static_cast<int>(m.rows.size()) != m.height) Fail(source, 0, "fewer rows than the height");
    return m;
}

namespace {

// The source pixel under the centre of output pixel `at`. A centre on the boundary of two source
// pixels would always pick the right-hand one; taking the left half's pick mirrored for the right
// half keeps a symmetric face symmetric.
int SourceIndex(int at, int from, int to) {
    if (2 * at + 1 > to) return from - 1 - SourceIndex(to - 1 - at, from, to);
    return (2 * at + 1) * from / (2 * to);
}

// Rows of characters at another size by nearest neighbour: exact at whole scales, and at fractional
// ones made only of the source's own pixels, mirrored about the middle so symmetric art stays so.
std::vector<std::string> Resample(const std::vector<std::string>& rows, int width, int height) {
    const int fromHeight = static_cast<int>(rows.size());
    const int fromWidth = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    if (fromWidth == 0) throw std::runtime_error("nothing to resample");
    std::vector<std::string> out;
    for (int y = 0; y < height; ++y) {
        const std::string& row = rows[static_cast<std::size_t>(SourceIndex(y, fromHeight, height))];
        std::string line;
        for (int x = 0; x < width; ++x) line += row[static_cast<std::size_t>(SourceIndex(x, fromWidth, width))];
        out.push_back(std::move(line));
    }
    return out;
}

}  // namespace

PixelMap MakeFrom(const PixelMap& source, const PixelMap& made) {
    if (source.recipe) Fail(made.source, 0, source.source + " is itself made from another map");
    PixelMap m = made;
    m.legend = source.legend;
    for (const auto& [c, rgb] : made.legend) {
        const int i = source.IndexOf(c);
        if (i < 0) Fail(made.source, 0, std::string("colour '") + c + "' is not one of " + source.source + "'s");
        m.legend[static_cast<std::size_t>(i)].second = rgb;
    }
    if (m.bits == 0) m.bits = source.bits;
    if (m.bits != 24 && static_cast<int>(m.legend.size()) > PaletteSize(m.bits))
        Fail(made.source, 0, "more colours than the bit depth holds");
    if (!m.mask) m.mask = source.mask;
    if (m.mask && m.IndexOf(*m.mask) < 0) Fail(made.source, 0, "mask character is not in the legend");

    // At a fractional scale a half pixel is rounded up: 77 at 2.5 is 193.
    const int percent = made.recipe->scalePercent;
    const int width = percent > 0 ? (source.width * percent + 50) / 100 : m.width;
    const int height = percent > 0 ? (source.height * percent + 50) / 100 : m.height;
    const std::optional<char> fill = made.recipe->fill;
    if (std::pair(width, height) != std::pair(m.width, m.height) && !(fill && m.IndexOf(*fill) >= 0))
        Fail(made.source, 0, "a picture of another size needs a fill character from the legend");
    m.rows.assign(static_cast<std::size_t>(m.height), std::string(static_cast<std::size_t>(m.width), fill.value_or(' ')));
    const std::vector<std::string> picture = Resample(source.rows, width, height);
    // Centred by what it shows, the box of its pixels other than the fill, whose margins may be cut.
    int x0 = width, x1 = -1, y0 = height, y1 = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (picture[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] != fill.value_or(' '))
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    if (x1 - x0 >= m.width || y1 - y0 >= m.height) Fail(made.source, 0, "the enlarged picture does not fit the size");
    const int left = (m.width - (x1 - x0 + 1)) / 2 - x0, top = (m.height - (y1 - y0 + 1)) / 2 - y0;
    for (int y = std::max(0, -top); y < std::min(height, m.height - top); ++y)
        for (int x = std::max(0, -left); x < std::min(width, m.width - left); ++x)
            m.rows[static_cast<std::size_t>(top + y)][static_cast<std::size_t>(left + x)] =
                picture[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
    return m;
}

std::vector<PixelMap> LoadDir(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<PixelMap> maps;
    for (const auto& f : files) {
        const Bytes b = ReadFile(f);
        maps.push_back(ParseMap(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()),
                                f.filename().string()));
    }
    // Made from the sources as read, so one made map never feeds another.
    const std::vector<PixelMap> read = maps;
    for (auto& m : maps) {
        if (!m.recipe) continue;
        const auto source = std::ranges::find(read, m.recipe->from, &PixelMap::source);
        if (source == read.end()) Fail(m.source, 0, "no source named " + m.recipe->from);
        m = MakeFrom(*source, m);
    }
    return maps;
}

Image ToImage(const PixelMap& map) {
    Image img(map.width, map.height, kBlack);
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x) img.at(x, y) = map.ColourAt(x, y);
    return img;
}

Bytes EncodeBmp(const PixelMap& map) {
    const Bytes dib = EncodeDib(map, false);
    const auto offBits = static_cast<std::uint32_t>(14 + 40 + PaletteSize(map.bits) * 4);
    Bytes b{'B', 'M'};
    Put32(b, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(b, 0);
    Put32(b, offBits);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

Bytes EncodeIcon(std::vector<PixelMap> images) {
    std::sort(images.begin(), images.end(), [](const PixelMap& a, const PixelMap& b) {
        return std::pair(a.width, a.bits) < std::pair(b.width, b.bits);
    });
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<std::uint32_t>(images.size()));
    std::vector<Bytes> dibs;
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const auto& m : images) {
        if (m.bits == 24 || m.width != m.height || m.width > 256)
            throw std::runtime_error(m.source + ": icon images are square, 4 or 8 bits, at most 256 pixels");
        const bool png = m.width == 256;
        std::vector<bool> transparent;
        for (const std::string& row : m.rows)
            for (const char c : row) transparent.push_back(m.mask == c);
        dibs.push_back(png ? EncodePng(ToImage(m), transparent) : EncodeDib(m, true));
        b.push_back(static_cast<std::uint8_t>(m.width & 0xFF));  // 0 stands for 256
        b.push_back(static_cast<std::uint8_t>(m.height & 0xFF));
        b.push_back(static_cast<std::uint8_t>(m.bits == 4 ? 16 : 0));
        b.push_back(0);
        Put16(b, 1);
        Put16(b, static_cast<std::uint32_t>(png ? 32 : m.bits));
        Put32(b, static_cast<std::uint32_t>(dibs.back().size()));
        Put32(b, offset);
        offset += static_cast<std::uint32_t>(dibs.back().size());
    }
    for (const auto& d : dibs) b.insert(b.end(), d.begin(), d.end());
    return b;
}

std::map<std::string, Bytes> BuildAll(const std::vector<PixelMap>& maps) {
    std::map<std::string, std::vector<PixelMap>> byOutput;
    for (const auto& m : maps) byOutput[m.output].push_back(m);
    std::map<std::string, Bytes> files;
    for (auto& [name, group] : byOutput) {
        const PixelMap& m = group.front();
        if (!name.ends_with(".ico") && group.size() != 1) throw std::runtime_error(name + " has more than one source");
        if (name.ends_with(".ico")) {
            files[name] = EncodeIcon(group);
        } else if (name.ends_with(".bmp")) {
            files[name] = EncodeBmp(m);
        } else if (name.ends_with(".png")) {
            std::vector<bool> transparent;
            for (const std::string& row : m.rows)
                for (const char c : row) transparent.push_back(m.mask == c);
            files[name] = EncodePng(ToImage(m), transparent, static_cast<std::uint8_t>(m.alpha));
        } else {
            throw std::runtime_error(m.source + ": output must be a .bmp, .ico or .png");
        }
    }
    return files;
}

DecodedBmp DecodeBmp(const Bytes& file) {
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') throw std::runtime_error("not a BMP");
    if (Get32(file, 2) != file.size()) throw std::runtime_error("BMP size field does not match the file");
    DecodedBmp d = DecodeDib(file, 14, false);
    if (Get32(file, 10) != 14 + 40 + 4 * d.palette.size()) throw std::runtime_error("pixels do not follow the palette");
    return d;
}

std::vector<IconEntry> DecodeIcon(const Bytes& file) {
    if (Get16(file, 0) != 0 || Get16(file, 2) != 1) throw std::runtime_error("not an icon");
    const std::uint32_t count = Get16(file, 4);
    std::vector<IconEntry> out;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        if (e + 16 > file.size()) throw std::runtime_error("truncated icon directory");
        IconEntry entry;
        entry.width = file[e] == 0 ? 256 : file[e];
        entry.height = file[e + 1] == 0 ? 256 : file[e + 1];
        entry.colourCount = file[e + 2];
        entry.bits = static_cast<int>(Get16(file, e + 6));
        const std::uint32_t size = Get32(file, e + 8);
        const std::uint32_t at = Get32(file, e + 12);
        if (static_cast<std::size_t>(at) + size > file.size()) throw std::runtime_error("icon image outside the file");
        if (size >= 24 && file[at] == 0x89 && file[at + 1] == 'P' && file[at + 12] == 'I' && file[at + 15] == 'R') {  // IHDR
            entry.png = true;
            const auto be32 = [&](std::size_t p) { return file[p] << 24 | file[p + 1] << 16 | file[p + 2] << 8 | file[p + 3]; };
            entry.xorImage.width = be32(at + 16);
            entry.xorImage.height = be32(at + 20);
            out.push_back(std::move(entry));
            continue;
        }
        entry.xorImage = DecodeDib(file, at, true);
        const std::uint32_t xorStride = Stride(entry.xorImage.width, entry.xorImage.bits);
        const std::uint32_t maskStride = Stride(entry.xorImage.width, 1);
        const std::size_t maskAt = at + 40 + 4 * entry.xorImage.palette.size() +
                                   static_cast<std::size_t>(xorStride) * entry.xorImage.height;
        if (maskAt + static_cast<std::size_t>(maskStride) * entry.xorImage.height != static_cast<std::size_t>(at) + size)
            throw std::runtime_error("icon image size does not match its bits and mask");
        const int w = entry.xorImage.width, h = entry.xorImage.height;
        entry.transparent.resize(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint8_t byte = file[maskAt + static_cast<std::size_t>(maskStride) * (h - 1 - y) + static_cast<std::size_t>(x) / 8];
                entry.transparent[static_cast<std::size_t>(y) * w + x] = ((byte >> (7 - x % 8)) & 1) != 0;
            }
        out.push_back(std::move(entry));
    }
    return out;
}

void DrawKeyed(Image& frame, const Image& layer, int x, int y, Rgb key) {
    for (int ly = 0; ly < layer.height; ++ly)
        for (int lx = 0; lx < layer.width; ++lx) {
            const int fx = x + lx, fy = y + ly;
            if (fx < 0 || fy < 0 || fx >= frame.width || fy >= frame.height) continue;
            if (layer.at(lx, ly) != key) frame.at(fx, fy) = layer.at(lx, ly);
        }
}

Image Scale(const Image& image, int factor) {
    Image out(image.width * factor, image.height * factor, kBlack);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.at(x, y) = image.at(x / factor, y / factor);
    return out;
}

Bytes EncodePng(const Image& image, const std::vector<bool>& transparent, std::uint8_t opacity) {
    const bool alpha = !transparent.empty();
    Bytes raw;
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter: none; rows and runs repeat, which the matches take up
        for (int x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
            if (alpha) raw.push_back(transparent[static_cast<std::size_t>(y) * image.width + x] ? 0 : opacity);
        }
    }
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Put32BE(ihdr, static_cast<std::uint32_t>(image.width));
    Put32BE(ihdr, static_cast<std::uint32_t>(image.height));
    ihdr.insert(ihdr.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});  // 8-bit RGB(A)
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", Zlib(raw));
    PngChunk(out, "IEND", {});
    return out;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace artgen

namespace artgen {

Image ComposeFrame(const Image& base, const Image* layer2, const Image* blink, const Image* layer1) {
    Image frame = base;
    if (layer2) DrawKeyed(frame, *layer2, 0, 0, kRed);
    if (blink) DrawKeyed(frame, *blink, kBlinkX, kBlinkY, kRed);
    if (layer1) DrawKeyed(frame, *layer1, 0, 0, kRed);
    return frame;
}

}  // namespace artgen
