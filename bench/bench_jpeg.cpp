// Decoding a 4000 x 3000 JPEG at full size, at 1/4 (the preview's scale) and to an 8-bit
// palette bitmap. The picture is made in memory at start; the ratios against the full
// decode are printed at the end, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CpuTimeReporter.h"
#include "codecs/JpegPicture.h"

namespace {

// Smooth gradients with some texture, so the file is photo-sized (a few MB at quality 90).
const std::string& PhotoJpeg() {
    static const std::string bytes = [] {
        const int width = 4000, height = 3000;
        raster::Bitmap pixels(width, height, raster::PixelFormat::Bits24);
        uint32_t seed = 12345;
        for (int y = 0; y < height; ++y) {
            uint8_t* p = pixels.Scanline(y);
            for (int x = 0; x < width; ++x, p += 3) {
                seed = seed * 134775813u + 1;
                const int noise = int(seed >> 28) - 8;
                p[0] = uint8_t(std::clamp(((x * y) >> 12) % 256 + noise, 0, 255));
                p[1] = uint8_t(std::clamp(y * 255 / height + noise, 0, 255));
                p[2] = uint8_t(std::clamp(x * 255 / width + noise, 0, 255));
            }
        }
        return codecs::EncodeJpeg(pixels, 90);
    }();
    return bytes;
}

void Decode(benchmark::State& state, codecs::JpegScale scale, codecs::JpegPixelFormat format) {
    codecs::JpegSettings settings;
    settings.Scale = scale;
    settings.PixelFormat = format;
    const std::string& bytes = PhotoJpeg();
    for (auto _ : state) {
        auto picture = codecs::ReadJpeg(bytes, settings);
        picture->DecodeNow();
        benchmark::DoNotOptimize(picture->Decoded().Bits());
    }
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
}

void BM_JpegDecodeFull(benchmark::State& state) {
    Decode(state, codecs::JpegScale::Full, codecs::JpegPixelFormat::Bits24);
}
void BM_JpegDecodeQuarter(benchmark::State& state) {
    Decode(state, codecs::JpegScale::Quarter, codecs::JpegPixelFormat::Bits24);
}
void BM_JpegDecodeFullPalette(benchmark::State& state) {
    Decode(state, codecs::JpegScale::Full, codecs::JpegPixelFormat::Bits8);
}
BENCHMARK(BM_JpegDecodeFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeFullPalette)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PhotoJpeg();  // made before timing starts
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [name, time] : reporter.Times()) {
        std::optional<double> ratio = reporter.Ratio(name, "BM_JpegDecodeFull");
        if (ratio && name != "BM_JpegDecodeFull")
            std::printf("%s / BM_JpegDecodeFull = %.3f\n", name.c_str(), *ratio);
    }
    benchmark::Shutdown();
    return 0;
}
