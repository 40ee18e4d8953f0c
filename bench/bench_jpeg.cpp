// Decoding a 4000 x 3000 JPEG at full size, at 1/4 (the preview's scale) and to an 8-bit
// palette bitmap; the same file stored sideways (Exif orientation 6), decoded upright; and
// turning the decoded bitmap upright on its own, for a mirror, a half turn and the quarter
// turns; and refusing a tiny file that claims 16000 x 16000 pixels. The picture is made in memory
// at start; the ratios against the full decode are printed at the end, measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CpuTimeReporter.h"
#include "codecs/JpegPicture.h"
#include "codecs/Orientation.h"
#include "core/Error.h"
#include "core/Memory.h"

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

// The same file with an Exif segment saying it is stored turned a quarter anticlockwise.
const std::string& SidewaysJpeg() {
    static const std::string bytes = [] {
        const std::string tiff("MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0",
                               26);
        const std::string exif = std::string("Exif\0\0", 6) + tiff;
        const size_t length = exif.size() + 2;
        const std::string app1 =
            std::string{'\xFF', '\xE1', char(length >> 8), char(length)} + exif;
        return PhotoJpeg().substr(0, 2) + app1 + PhotoJpeg().substr(2);
    }();
    return bytes;
}

// A 16 x 16 picture whose frame header claims 16000 x 16000 pixels.
const std::string& HugeClaimJpeg() {
    static const std::string bytes = [] {
        raster::Bitmap small(16, 16, raster::PixelFormat::Bits24);
        small.Fill(0x3060A0);
        std::string jpeg = codecs::EncodeJpeg(small, 10);
        const size_t sof = jpeg.find("\xFF\xC0");
        jpeg.replace(sof + 5, 4, "\x3E\x80\x3E\x80");
        return jpeg;
    }();
    return bytes;
}

const raster::Bitmap& DecodedPhoto() {
    static const raster::Bitmap bitmap = [] {
        auto picture = codecs::ReadJpeg(PhotoJpeg());
        picture->DecodeNow();
        return picture->Decoded();
    }();
    return bitmap;
}

void Decode(benchmark::State& state, codecs::JpegScale scale, codecs::JpegPixelFormat format,
            const std::string& bytes = PhotoJpeg()) {
    codecs::JpegSettings settings;
    settings.Scale = scale;
    settings.PixelFormat = format;
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
void BM_JpegDecodeFullSideways(benchmark::State& state) {
    Decode(state, codecs::JpegScale::Full, codecs::JpegPixelFormat::Bits24, SidewaysJpeg());
}
void BM_JpegDecodeQuarterSideways(benchmark::State& state) {
    Decode(state, codecs::JpegScale::Quarter, codecs::JpegPixelFormat::Bits24, SidewaysJpeg());
}

// Refused from the header, before anything of the claimed size is allocated.
void BM_JpegRefuseHugeClaim(benchmark::State& state) {
    for (auto _ : state) {
        try {
            codecs::ReadJpeg(HugeClaimJpeg())->DecodeNow();
            state.SkipWithError("a file claiming 16000 x 16000 pixels was not refused");
        } catch (const core::Error&) {
        }
    }
}

// Turns the decoded 24-bit picture; the quarter turns make a new bitmap each time, the
// mirror and the half turn work in place, so every iteration does one whole turn.
void Upright(benchmark::State& state, codecs::Orientation orientation) {
    raster::Bitmap bitmap = DecodedPhoto();
    for (auto _ : state) {
        codecs::MakeUpright(bitmap, orientation);
        benchmark::DoNotOptimize(bitmap.Bits());
    }
}
void BM_UprightMirror(benchmark::State& state) {
    Upright(state, codecs::Orientation::MirrorHorizontal);
}
void BM_UprightHalfTurn(benchmark::State& state) {
    Upright(state, codecs::Orientation::Rotate180);
}
void BM_UprightQuarterTurn(benchmark::State& state) {
    Upright(state, codecs::Orientation::Rotate90);
}
void BM_UprightQuarterTurnBack(benchmark::State& state) {
    Upright(state, codecs::Orientation::Rotate270);
}

BENCHMARK(BM_JpegDecodeFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeFullPalette)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeFullSideways)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegDecodeQuarterSideways)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegRefuseHugeClaim)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UprightMirror)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UprightHalfTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UprightQuarterTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UprightQuarterTurnBack)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // As the programs run: freed picture-sized bitmaps are reused, not faulted in anew.
    core::KeepLargeAllocations();
    DecodedPhoto();  // made before timing starts
    SidewaysJpeg();
    HugeClaimJpeg();
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
