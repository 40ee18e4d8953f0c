// Loading a 4000 x 3000 BMP file against just reading its bytes into memory, in the same
// run. The files are written to the temporary folder at start and removed at the end; the
// ratios against the plain read are printed at the end.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CpuTimeReporter.h"
#include "codecs/BmpPicture.h"
#include "core/StringList.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("pictavo-bench-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// The test files made so far, by pixel format.
std::map<raster::PixelFormat, std::string>& PhotoFiles() {
    static std::map<raster::PixelFormat, std::string> paths;
    return paths;
}

const std::string& PhotoFile(raster::PixelFormat format) {
    std::string& path = PhotoFiles()[format];
    if (path.empty()) {
        raster::Bitmap pixels(kWidth, kHeight, format);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.SetIndex(x, y, uint32_t(x * 7 + y * 13 + ((x * y) >> 9)) * 2654435761u);
        path = TempPath(format == raster::PixelFormat::Bits24 ? "24.bmp" : "32.bmp");
        core::WriteFileAtomically(path, codecs::WriteBmp(pixels));
    }
    return path;
}

std::string ReadWhole(const std::string& path) {
    return core::ReadFileBytes(path, codecs::kMaxPictureFileBytes);
}

// The baseline: the file's bytes into memory, nothing else.
void ReadFileBytes(benchmark::State& state, raster::PixelFormat format) {
    const std::string& path = PhotoFile(format);
    for (auto _ : state) benchmark::DoNotOptimize(ReadWhole(path).data());
}

// What the loader does: read the file, then decode it into a bitmap.
void ReadFileAndDecode(benchmark::State& state, raster::PixelFormat format) {
    const std::string& path = PhotoFile(format);
    for (auto _ : state) {
        auto picture = codecs::ReadBmp(ReadWhole(path));
        benchmark::DoNotOptimize(picture->Bitmap().Bits());
    }
}

// The decode alone, from bytes already in memory.
void DecodeFromMemory(benchmark::State& state, raster::PixelFormat format) {
    const std::string bytes = ReadWhole(PhotoFile(format));
    for (auto _ : state) {
        auto picture = codecs::ReadBmp(bytes);
        benchmark::DoNotOptimize(picture->Bitmap().Bits());
    }
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
}

void BM_Bmp24_ReadFileBytes(benchmark::State& s) {
    ReadFileBytes(s, raster::PixelFormat::Bits24);
}
void BM_Bmp24_ReadFileAndDecode(benchmark::State& s) {
    ReadFileAndDecode(s, raster::PixelFormat::Bits24);
}
void BM_Bmp24_DecodeFromMemory(benchmark::State& s) {
    DecodeFromMemory(s, raster::PixelFormat::Bits24);
}
void BM_Bmp32_ReadFileBytes(benchmark::State& s) {
    ReadFileBytes(s, raster::PixelFormat::Bits32);
}
void BM_Bmp32_ReadFileAndDecode(benchmark::State& s) {
    ReadFileAndDecode(s, raster::PixelFormat::Bits32);
}
BENCHMARK(BM_Bmp24_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp24_ReadFileAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp24_DecodeFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp32_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp32_ReadFileAndDecode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (auto [name, baseline] : {
             std::pair{"BM_Bmp24_ReadFileAndDecode", "BM_Bmp24_ReadFileBytes"},
             std::pair{"BM_Bmp24_DecodeFromMemory", "BM_Bmp24_ReadFileBytes"},
             std::pair{"BM_Bmp32_ReadFileAndDecode", "BM_Bmp32_ReadFileBytes"},
         }) {
        if (std::optional<double> ratio = reporter.Ratio(name, baseline))
            std::printf("%s / %s = %.2f\n", name, baseline, *ratio);
    }
    for (const auto& [format, path] : PhotoFiles()) std::filesystem::remove(path);
    benchmark::Shutdown();
    return 0;
}
