// Figures for the costume folders, run by hand under Wine: the scan of both folders at start-up with 0 and 100
// costumes in each, decoding a worn costume and scaling it (scale 1 and 3, from 1x and 4x art), and what the
// watch costs while nothing changes.
#include <wincodec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <vector>

#include "costumes/folder.h"
#include "costumes/picture.h"
#include "imaging/pixel_art.h"
#include "platform/layered.h"
#include "platform/window.h"

namespace fs = std::filesystem;

namespace {

// Microseconds of `work`: the first run and the median of `runs`.
std::pair<double, double> Time(int runs, const std::function<void()>& work) {
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        us.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    const double first = us.front();
    std::sort(us.begin(), us.end());
    return {first, us[us.size() / 2]};
}

// A costume-like picture: an outline of noise around a see-through background, as a PNG with alpha.
void SavePng(const fs::path& file, int detail, unsigned seed) {
    const int w = 77 * detail, h = 126 * detail;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x > w / 5 && x < 4 * w / 5 && y > h / 3) pixels[static_cast<size_t>(y) * w + x] = 0xFF000000u | (rng() & 0x3F3F3F) << 2;
    IWICImagingFactory* factory;
    IWICStream* stream;
    IWICBitmapEncoder* encoder;
    IWICBitmapFrameEncode* frame;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    factory->CreateStream(&stream), stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE);
    factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), encoder->Initialize(stream, WICBitmapEncoderNoCache);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    encoder->CreateNewFrame(&frame, nullptr), frame->Initialize(nullptr), frame->SetSize(w, h), frame->SetPixelFormat(&format);
    frame->WritePixels(h, 4 * w, 4 * w * h, reinterpret_cast<BYTE*>(pixels.data())), frame->Commit(), encoder->Commit();
    frame->Release(), encoder->Release(), stream->Release(), factory->Release();
}

// The microseconds of the first scan of both folders in a process of its own, as at the program's start, 7 times.
std::vector<DWORD> FirstScans(const fs::path& root) {
    std::wstring commandLine = L"costumes_bench scan \"" + root.wstring() + L"\"";
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<DWORD> us;
    for (int i = 0; i < 7; ++i) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) break;
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess), CloseHandle(process.hThread);
        us.push_back(code);
    }
    return us;
}

void PrintFirstScans(const char* what, std::vector<DWORD> us, DWORD& median) {
    std::printf("first scan of both folders in a fresh process, %s:", what);
    for (DWORD u : us) std::printf(" %lu", u);
    std::sort(us.begin(), us.end());
    median = us.empty() ? 0 : us[us.size() / 2];
    std::printf(" us; median %lu us\n", median);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"scan") {
        const auto start = std::chrono::steady_clock::now();
        for (const wchar_t* layer : {L"\\Costume 1", L"\\Costume 2"}) costumes::ScanFolder(argv[2] + std::wstring(layer));
        return static_cast<int>(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const fs::path root = fs::temp_directory_path() / "pellory-costumes-bench";
    fs::remove_all(root);
    const std::wstring folders[] = {(root / "Costume 1").wstring(), (root / "Costume 2").wstring()};
    for (const std::wstring& folder : folders) fs::create_directories(folder);
    DWORD emptyStart = 0, fullStart = 0;
    PrintFirstScans("0 costumes each", FirstScans(root), emptyStart);

    size_t listed = 0;
    auto scanBoth = [&] {
        listed = 0;
        for (const std::wstring& folder : folders) listed += costumes::ScanFolder(folder).costumes.size();
    };
    const auto [emptyFirst, emptyMedian] = Time(21, scanBoth);
    std::printf("scan of both folders, 0 costumes each:   first %8.0f us, median %8.0f us (%zu listed)\n", emptyFirst,
                emptyMedian, listed);

    // Every detail, as artists would mix them; the files' contents are written before the first scan reads them.
    for (int n = 0; n < 100; ++n)
        for (unsigned f = 0; f < 2; ++f) SavePng(fs::path(folders[f]) / ("costume " + std::to_string(n) + ".png"), 1 + n % 4, unsigned(n) + 100 * f);
    const auto [fullFirst, fullMedian] = Time(21, scanBoth);
    std::printf("scan of both folders, 100 costumes each: first %8.0f us, median %8.0f us (%zu listed)\n", fullFirst,
                fullMedian, listed);
    PrintFirstScans("100 costumes each", FirstScans(root), fullStart);
    std::printf("start-up cost of 100 costumes in each folder: %.1f ms (medians of fresh processes), %.1f ms (medians of "
                "repeated scans)\n", (double(fullStart) - emptyStart) / 1000, (fullMedian - emptyMedian) / 1000);

    cDIBSection scaled;
    for (const auto& [name, detail] : {std::pair("costume 0.png", 1), {"costume 3.png", 4}}) {
        for (double scale : {1.0, 3.0}) {
            costumes::CostumePicture worn;
            const auto [decodeFirst, decode] = Time(15, [&] { worn = costumes::LoadCostume(folders[0], name); });
            const auto [scaleFirst, scaling] = Time(15, [&] {
                scaled.ClearUp();
                imaging::ScaleArt(*worn.picture, scaled, scale, platform::PictureColourKey, worn.detail);
            });
            std::printf("%dx art (%dx%d) at scale %.0f (%dx%d): decode %6.0f us, ScaleArt %6.0f us, together %6.0f us\n",
                        detail, worn.picture->Width(), worn.picture->Height(), scale, scaled.Width(), scaled.Height(), decode,
                        scaling, decode + scaling);
        }
    }

    // The loop with both folders watched and nothing changing, for two seconds.
    std::vector<platform::UniqueChangeNotification> watches;
    std::vector<platform::WaitedHandle> waited;
    int wakeUps = 0;
    for (const std::wstring& folder : folders) {
        watches.push_back(costumes::WatchFolder(folder));
        waited.push_back({watches.back().get(), [&wakeUps, h = watches.back().get()] { ++wakeUps, FindNextChangeNotification(h); }});
    }
    FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernelBefore, &userBefore);
    SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
    platform::RunMessageLoop(waited);
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernelAfter, &userAfter);
    auto ms = [](FILETIME a, FILETIME b) {
        auto ticks = [](FILETIME t) { return double(ULARGE_INTEGER{{t.dwLowDateTime, t.dwHighDateTime}}.QuadPart); };
        return (ticks(b) - ticks(a)) / 1e4;
    };
    std::printf("watching both folders, nothing changing, 2 s: %d wake-ups, %.1f ms CPU\n", wakeUps,
                ms(kernelBefore, kernelAfter) + ms(userBefore, userAfter));
    watches.clear();
    fs::remove_all(root);
    return 0;
}
