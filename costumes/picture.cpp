#include "costumes/picture.h"

#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "costumes/costume_file.h"
#include "costumes/header.h"
#include "platform/error.h"
#include "platform/layered.h"
#include "platform/text.h"

namespace costumes {
namespace {

// COM for the time of one decode; a thread that has it already (in either model) keeps it as it is.
class ComApartment {
public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (joined_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool joined_;
};

template <typename T>
void** Out(platform::UniqueCom<T>& owner) {
    return reinterpret_cast<void**>(owner.put());
}

bool HasTransparency(IWICImagingFactory& factory, IWICBitmapFrameDecode& frame) {
    WICPixelFormatGUID format{};
    if (FAILED(frame.GetPixelFormat(&format))) return false;
    for (const GUID& withAlpha : {GUID_WICPixelFormat32bppBGRA, GUID_WICPixelFormat32bppRGBA, GUID_WICPixelFormat32bppPBGRA,
                                  GUID_WICPixelFormat32bppPRGBA, GUID_WICPixelFormat64bppRGBA, GUID_WICPixelFormat64bppBGRA,
                                  GUID_WICPixelFormat64bppPRGBA, GUID_WICPixelFormat16bppBGRA5551})
        if (IsEqualGUID(format, withAlpha)) return true;
    // An indexed picture (every GIF) has transparency when a colour of its palette has.
    platform::UniqueCom<IWICPalette> palette;
    BOOL alpha = FALSE;
    return SUCCEEDED(factory.CreatePalette(palette.put())) && SUCCEEDED(frame.CopyPalette(palette.get())) &&
           SUCCEEDED(palette.get()->HasAlpha(&alpha)) && alpha;
}

// Rows of 4-byte blue, green, red, alpha pixels, top row first, into the picture's bottom-up rows of 3 bytes.
void DrawCostumePixels(const std::vector<uint8_t>& bgra, bool transparency, cDIBSection& picture) {
    const int32_t width = picture.Width(), height = picture.Height();
    constexpr COLORREF key = platform::PictureColourKey, windowKey = platform::CharacterColourKey;
    auto* const bits = static_cast<uint8_t*>(picture.DIBSectionBitsPtr());
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = bgra.data() + 4 * static_cast<size_t>(width) * static_cast<size_t>(y);
        uint8_t* out = bits + static_cast<ptrdiff_t>(height - 1 - y) * picture.BytesPerScanLine();
        for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
            COLORREF colour = RGB(in[2], in[1], in[0]);
            if (transparency ? in[3] < 128 : colour == key) colour = key;
            else if (colour == key) colour = RGB(254, 0, 0);
            else if (colour == windowKey) colour = RGB(1, 1, 1);
            out[0] = GetBValue(colour), out[1] = GetGValue(colour), out[2] = GetRValue(colour);
        }
    }
}

}  // namespace

CostumePicture LoadCostume(const std::wstring& folder, const std::string& fileName) {
    CostumePicture result;
    result.refusal.fileName = fileName;
    auto refuse = [&](Problem problem, int64_t width = 0, int64_t height = 0) {
        result.refusal.problem = problem, result.refusal.width = width, result.refusal.height = height;
        return std::move(result);
    };
    const OpenedFile opened = OpenCostumeFile(folder + L'\\' + platform::Widen(fileName), FinalPathOfFolder(folder));
    if (!opened.file) return refuse(opened.problem);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(opened.file.get(), &size)) return refuse(Problem::Unreadable);
    if (size.QuadPart == 0) return refuse(Problem::Empty);
    if (static_cast<uint64_t>(size.QuadPart) > MostBytes) return refuse(Problem::TooLarge);
    std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(opened.file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size())
        return refuse(Problem::Unreadable);

    const ImageHeader header = ReadImageHeader(bytes);
    if (header.format == ImageFormat::None) return refuse(Problem::NotAnImage);
    const int detail = DetailOf(header.width, header.height);
    if (detail == 0) return refuse(Problem::WrongSize, header.width, header.height);

    const ComApartment com;
    platform::UniqueCom<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, Out(factory))))
        platform::RaiseCreateFailed("the picture decoder");
    // The decoder of the format the header names, and no other, reads the bytes already checked.
    const GUID container = header.format == ImageFormat::Png   ? GUID_ContainerFormatPng
                           : header.format == ImageFormat::Bmp ? GUID_ContainerFormatBmp
                                                               : GUID_ContainerFormatGif;
    platform::UniqueCom<IWICStream> stream;
    platform::UniqueCom<IWICBitmapDecoder> decoder;
    platform::UniqueCom<IWICBitmapFrameDecode> frame;
    platform::UniqueCom<IWICFormatConverter> converter;
    if (FAILED(factory.get()->CreateStream(stream.put())) || FAILED(factory.get()->CreateDecoder(container, nullptr, decoder.put())) ||
        FAILED(factory.get()->CreateFormatConverter(converter.put())))
        platform::RaiseCreateFailed("the picture decoder");
    UINT width = 0, height = 0;
    if (FAILED(stream.get()->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()))) ||
        FAILED(decoder.get()->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)) || FAILED(decoder.get()->GetFrame(0, frame.put())) ||
        FAILED(frame.get()->GetSize(&width, &height)))
        return refuse(Problem::Damaged);
    if (width != header.width || height != header.height)
        return refuse(header.format == ImageFormat::Gif ? Problem::PartFrame : Problem::Damaged);
    const bool transparency = HasTransparency(*factory.get(), *frame.get());
    std::vector<uint8_t> bgra(4 * static_cast<size_t>(width) * height);
    if (FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter.get()->CopyPixels(nullptr, 4 * width, static_cast<UINT>(bgra.size()), bgra.data())))
        return refuse(Problem::Damaged);

    result.picture = std::make_unique<cDIBSection>();
    if (!result.picture->Create(static_cast<int32_t>(width), static_cast<int32_t>(height)))
        platform::RaiseCreateFailed("the costume's picture");
    DrawCostumePixels(bgra, transparency, *result.picture);
    result.detail = detail;
    return result;
}

}  // namespace costumes
