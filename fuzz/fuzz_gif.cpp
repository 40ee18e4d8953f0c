// libFuzzer target for the GIF reader and writer: every input either loads or gives
// core::Error. A picture that loads has its frames rendered and drawn, is written, and
// must read back as the same parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codecs/GifPicture.h"
#include "core/Error.h"

namespace {

// Small enough that the fuzzer spends its time parsing and decoding, not clearing huge
// bitmaps; the reader's own limit is the same check with a larger number.
constexpr uint64_t kFuzzMaxPixels = uint64_t(1) << 22;
constexpr size_t kFuzzMaxFramesDrawn = 8;

bool TooLarge(const codecs::GifFile& file) {
    if (uint64_t(file.ScreenWidth) * uint64_t(file.ScreenHeight) > kFuzzMaxPixels) return true;
    for (const codecs::GifFrame& frame : file.Frames)
        if (uint64_t(frame.Width) * uint64_t(frame.Height) > kFuzzMaxPixels) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        if (TooLarge(codecs::ParseGif(bytes))) return 0;
        auto picture = codecs::ReadGif(bytes);
        for (size_t i = 0; i < picture->FrameCount() && i < kFuzzMaxFramesDrawn; ++i) {
            try {
                picture->RenderFrame(i);
            } catch (const core::Error&) {
                // A damaged later frame: the others still draw.
            }
        }
        raster::Bitmap target(24, 16, raster::PixelFormat::Bits32);
        picture->Draw(target, core::Rect::FromSize(-3, 2, 29, 13));
        raster::Bitmap small(7, 5, raster::PixelFormat::Bits24);
        picture->Draw(small, core::Rect::FromSize(0, 0, 7, 5));
        raster::Bitmap palette(5, 4, raster::PixelFormat::Bits8);
        picture->Draw(palette, core::Rect::FromSize(1, -1, 5, 6));

        std::string saved = picture->Save();
        auto again = codecs::ReadGif(saved);
        codecs::GifFile expected = picture->File();
        if (!expected.Comments.empty()) expected.Version = "89a";
        if (expected.Frames.size() <= 1) expected.LoopCount.reset();
        if (!(again->File() == expected) || again->Save() != saved) std::abort();
    } catch (const core::Error&) {
    }
    return 0;
}
