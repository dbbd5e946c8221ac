// Resample throughput against a plain copy of the destination's bytes, the memory-bound limit, and the
// frame set's pixel-art scaling against a copy of the same bytes. Run by hand.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "imaging/cDIBSection.h"
#include "imaging/pixel_art.h"
#include "imaging/pixels.h"

namespace {

double Now() {
    static const double period = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * period;
}

// Best time per call over several batches of roughly a tenth of a second each.
template <typename F>
double SecondsPerCall(F&& f) {
    int calls = 1;
    for (;;) {  // find a batch size
        const double start = Now();
        for (int i = 0; i < calls; ++i) f();
        if (Now() - start > 0.1) break;
        calls *= 2;
    }
    double best = 1e30;
    for (int batch = 0; batch < 5; ++batch) {
        const double start = Now();
        for (int i = 0; i < calls; ++i) f();
        best = std::min(best, (Now() - start) / calls);
    }
    return best;
}

// Median time of one call over many calls timed one by one: steadier than a mean against the odd slow run.
template <typename F>
double MedianSeconds(F&& f) {
    std::vector<double> times(301);
    for (double& t : times) {
        const double start = Now();
        f();
        t = Now() - start;
    }
    std::nth_element(times.begin(), times.begin() + 150, times.end());
    return times[150];
}

// The frame set's case: six 77 x 126 frames (a third key, the rest noise, the worst case for blending)
// scaled at once into new target buffers, into kept ones, and as the pixel loop alone, against a copy of the
// scaled bytes.
void RunPixelArt() {
    std::mt19937 rng(1);
    cDIBSection frames[6];
    for (cDIBSection& frame : frames) {
        if (!frame.Create(77, 126)) return;
        auto* bits = static_cast<uint8_t*>(frame.DIBSectionBitsPtr());
        for (int32_t i = 0; i < 126 * frame.BytesPerScanLine(); i += 3) {
            const uint32_t colour = rng() % 3 == 0 ? 0 : static_cast<uint32_t>(rng());
            std::memcpy(bits + i, &colour, 3);
        }
    }
    auto bits = [](const cDIBSection& b) { return static_cast<uint8_t*>(b.DIBSectionBitsPtr()); };
    const COLORREF key = RGB(0, 0, 0);
    for (double scale : {1.0, 1.5, 2.0, 3.0}) {
        cDIBSection scaled[6], copies[6];
        for (int i = 0; i < 6; ++i)
            if (!imaging::ScaleArt(frames[i], scaled[i], scale, key) ||
                !copies[i].Create(scaled[i].Width(), scaled[i].Height()))
                return;
        // A change of scale: the old targets go, new ones are made, their fresh pages touched and drawn.
        const double fresh = MedianSeconds([&] {
            for (int i = 0; i < 6; ++i) scaled[i].ClearUp(), imaging::ScaleArt(frames[i], scaled[i], scale, key);
        });
        const double kept = MedianSeconds([&] {
            for (int i = 0; i < 6; ++i) imaging::ScaleArt(frames[i], scaled[i], scale, key);
        });
        const int32_t w = scaled[0].Width(), h = scaled[0].Height();
        const double loop = MedianSeconds([&] {
            for (int i = 0; i < 6; ++i)
                imaging::ScalePixelArt({bits(frames[i]), 77, 126, frames[i].BytesPerScanLine()},
                                       {bits(scaled[i]), w, h, scaled[i].BytesPerScanLine()}, key);
        });
        const size_t bytes = static_cast<size_t>(h) * scaled[0].BytesPerScanLine();
        const double plain = MedianSeconds([&] {
            for (int i = 0; i < 6; ++i) std::memcpy(bits(copies[i]), bits(scaled[i]), bytes);
        });
        std::printf("six 77x126 frames at %.2f (%dx%d each): ScaleArt into new buffers %7.1f us, into kept ones"
                    " %7.1f us, pixel loop %7.1f us; copy of the bytes %6.1f us\n",
                    scale, w, h, fresh * 1e6, kept * 1e6, loop * 1e6, plain * 1e6);
    }
}

void Run(int32_t ws, int32_t hs, int32_t wd, int32_t hd) {
    cDIBSection source;
    if (!source.Create(ws, hs)) {
        std::printf("%dx%d: cannot create the source\n", ws, hs);
        return;
    }
    std::mt19937 rng(1);
    auto* bits = static_cast<uint8_t*>(source.DIBSectionBitsPtr());
    for (int32_t i = 0; i < hs * source.BytesPerScanLine(); ++i) bits[i] = static_cast<uint8_t>(rng());

    cDIBSection target, copy;
    if (!target.Create(wd, hd) || !copy.Create(wd, hd)) return;
    const imaging::SourcePixels from{bits, ws, hs, source.BytesPerScanLine()};
    const imaging::TargetPixels to{static_cast<uint8_t*>(target.DIBSectionBitsPtr()), wd, hd, target.BytesPerScanLine()};
    const size_t bytes = static_cast<size_t>(hd) * target.BytesPerScanLine();
    volatile int32_t sink = 0;

    const double whole = SecondsPerCall([&] { sink = source.Resample(hd, wd)->Width(); });
    const double core = SecondsPerCall([&] { imaging::ResampleBilinear(from, to); });
    const double create = SecondsPerCall([&] {
        cDIBSection fresh;
        sink = fresh.Create(wd, hd);
    });
    // A one-row source of the same width keeps the vertical stage cached: what is left is the horizontal one.
    cDIBSection flat;
    if (!flat.Create(ws, 1)) return;
    const imaging::SourcePixels oneRow{static_cast<uint8_t*>(flat.DIBSectionBitsPtr()), ws, 1, flat.BytesPerScanLine()};
    const double horizontal = SecondsPerCall([&] { imaging::ResampleBilinear(oneRow, to); });
    const double plain = SecondsPerCall([&] { std::memcpy(copy.DIBSectionBitsPtr(), to.bits, bytes); });
    (void)sink;

    const double megapixels = static_cast<double>(wd) * hd / 1e6;
    std::printf("%4dx%-4d -> %4dx%-4d  Resample %8.1f MP/s (%9.1f us)  core %8.1f MP/s (%9.1f us)"
                "  new buffer %7.1f us  copy %8.1f MP/s (%8.1f us)  copy/core %5.1f x\n"
                "%24s core split: vertical stage %.0f%%, horizontal stage %.0f%%\n",
                ws, hs, wd, hd, megapixels / whole, whole * 1e6, megapixels / core, core * 1e6, create * 1e6,
                megapixels / plain, plain * 1e6, core / plain, "", 100.0 * (core - horizontal) / core,
                100.0 * horizontal / core);
}

}  // namespace

int main() {
    Run(77, 126, 154, 252);
    Run(2048, 2048, 1024, 1024);
    RunPixelArt();
    return 0;
}
