// libFuzzer target for the BMP reader: every input either loads or gives core::Error.
// A picture that loads is drawn, written, and must read back as the same bitmap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codecs/BmpPicture.h"
#include "core/Error.h"

namespace {

// Small enough that the fuzzer spends its time parsing, not clearing huge bitmaps;
// the real limit is the same check with a larger number.
constexpr uint64_t kFuzzMaxPixels = uint64_t(1) << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto picture = codecs::ReadBmp(bytes, kFuzzMaxPixels);
        raster::Bitmap target(24, 16, raster::PixelFormat::Bits32);
        picture->Draw(target, core::Rect::FromSize(-3, 2, 29, 13));
        raster::Bitmap small(7, 5, raster::PixelFormat::Bits16);
        picture->Draw(small, core::Rect::FromSize(0, 0, 7, 5));
        codecs::WriteBmp(target);

        std::string saved = picture->Save();
        if (!(codecs::ReadBmp(saved)->Bitmap() == picture->Bitmap())) std::abort();
    } catch (const core::Error&) {
    }
    return 0;
}
