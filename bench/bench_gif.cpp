// Decoding a 2000 x 1500 GIF: reading the file with its first frame decoded, the same LZW
// data through a classic prefix-chain decoder (the baseline), and composing the decoded
// frame into a 32-bit bitmap. Two pictures: photo-like (256 colours, dithered noise,
// poorly compressible) and graphic (16 colours in flat areas, long strings). The files
// are made in memory at start with our own LZW encoder; the ratios against the baseline
// are printed at the end, measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CpuTimeReporter.h"
#include "codecs/GifLzw.h"
#include "codecs/GifPicture.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 1500;

enum class Content { Photo, Graphic };

struct TestGif {
    std::string File;
    int MinCodeSize = 8;
    std::string ImageData;
};

const TestGif& MakeGif(Content content) {
    static std::map<Content, TestGif> made;
    auto found = made.find(content);
    if (found != made.end()) return found->second;

    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 134775813u + 1;
            uint8_t& p = pixels[size_t(y) * kWidth + x];
            if (content == Content::Photo) {
                // A diagonal ramp over the 256 colours with a few levels of noise.
                p = uint8_t(((x + y) * 255 / (kWidth + kHeight)) + (seed >> 30));
            } else {
                // Rectangles of 16 colours with a thin grid.
                p = uint8_t((x / 150 + 3 * (y / 110)) % 15);
                if (x % 97 == 0 || y % 61 == 0) p = 15;
            }
        }

    TestGif gif;
    gif.MinCodeSize = content == Content::Photo ? 8 : 4;
    gif.ImageData = codecs::EncodeGifLzw(gif.MinCodeSize, pixels.data(), pixels.size());
    codecs::GifFile file;
    file.ScreenWidth = kWidth;
    file.ScreenHeight = kHeight;
    file.GlobalColourTable = codecs::GifColourTable(size_t(1) << gif.MinCodeSize);
    for (size_t i = 0; i < file.GlobalColourTable->size(); ++i)
        (*file.GlobalColourTable)[i] = raster::Rgb(i * 0x010203u);
    codecs::GifFrame frame;
    frame.Width = kWidth;
    frame.Height = kHeight;
    frame.LzwMinCodeSize = uint8_t(gif.MinCodeSize);
    frame.ImageData = gif.ImageData;
    file.Frames.push_back(frame);
    gif.File = codecs::WriteGif(file);
    return made[content] = std::move(gif);
}

// The textbook decoder: each code's string is walked back through its prefix chain
// onto a stack and then popped into the output.
std::vector<uint8_t> ClassicLzwDecode(int minCodeSize, const std::string& subBlocks, size_t count) {
    std::vector<uint8_t> data;
    for (size_t pos = 0; pos < subBlocks.size();) {
        size_t n = uint8_t(subBlocks[pos++]);
        data.insert(data.end(), subBlocks.begin() + pos, subBlocks.begin() + pos + n);
        pos += n;
    }
    data.insert(data.end(), 4, 0);
    std::vector<uint8_t> out(count);
    uint16_t prefix[4096];
    uint8_t suffix[4096];
    uint8_t stack[4097];
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    uint32_t next = clear + 2, bits = minCodeSize + 1, old = 0;
    bool haveOld = false;
    uint8_t first = 0;
    uint64_t bitPos = 0, totalBits = uint64_t(data.size() - 4) * 8;
    size_t pos = 0;
    while (pos < count && bitPos + bits <= totalBits) {
        const uint8_t* p = data.data() + (bitPos >> 3);
        uint32_t code = ((p[0] | (p[1] << 8) | (p[2] << 16)) >> (bitPos & 7)) & ((1u << bits) - 1);
        bitPos += bits;
        if (code == clear) {
            next = clear + 2;
            bits = minCodeSize + 1;
            haveOld = false;
            continue;
        }
        if (code == end) break;
        if (!haveOld) {
            out[pos++] = uint8_t(code);
            old = code;
            first = uint8_t(code);
            haveOld = true;
        } else {
            uint32_t in = code;
            int sp = 0;
            if (code >= next) {
                stack[sp++] = first;
                code = old;
            }
            while (code >= clear) {
                stack[sp++] = suffix[code];
                code = prefix[code];
            }
            first = uint8_t(code);
            stack[sp++] = first;
            if (next < 4096) {
                prefix[next] = uint16_t(old);
                suffix[next] = first;
                ++next;
            }
            old = in;
            while (sp > 0 && pos < count) out[pos++] = stack[--sp];
        }
        if (next == (1u << bits) && bits < 12) ++bits;
    }
    return out;
}

void SetCounters(benchmark::State& state, const TestGif& gif) {
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
    state.counters["file_MB"] = double(gif.File.size()) / 1e6;
}

void BM_GifRead(benchmark::State& state, Content content) {
    const TestGif& gif = MakeGif(content);
    for (auto _ : state) {
        auto picture = codecs::ReadGif(gif.File);  // decodes the first frame
        benchmark::DoNotOptimize(picture->FrameIndexes(0).data());
    }
    SetCounters(state, gif);
}

void BM_GifClassicLzw(benchmark::State& state, Content content) {
    const TestGif& gif = MakeGif(content);
    for (auto _ : state) {
        auto pixels = ClassicLzwDecode(gif.MinCodeSize, gif.ImageData, size_t(kWidth) * kHeight);
        benchmark::DoNotOptimize(pixels.data());
    }
    SetCounters(state, gif);
}

void BM_GifRenderFrame(benchmark::State& state, Content content) {
    const TestGif& gif = MakeGif(content);
    auto picture = codecs::ReadGif(gif.File);
    for (auto _ : state) {
        raster::Bitmap frame = picture->RenderFrame(0);
        benchmark::DoNotOptimize(frame.Bits());
    }
    SetCounters(state, gif);
}

BENCHMARK_CAPTURE(BM_GifRead, photo, Content::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifClassicLzw, photo, Content::Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifRead, graphic, Content::Graphic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifClassicLzw, graphic, Content::Graphic)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GifRenderFrame, photo, Content::Photo)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MakeGif(Content::Photo);  // made before timing starts
    MakeGif(Content::Graphic);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const std::string content : {"photo", "graphic"}) {
        if (std::optional<double> ratio =
                reporter.Ratio("BM_GifRead/" + content, "BM_GifClassicLzw/" + content))
            std::printf("%s: BM_GifRead / BM_GifClassicLzw = %.3f\n", content.c_str(), *ratio);
    }
    benchmark::Shutdown();
    return 0;
}
