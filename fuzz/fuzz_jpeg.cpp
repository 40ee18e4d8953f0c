// Feeds arbitrary bytes to the JPEG binding. The first byte chooses the scale (bits 0-1),
// palette output (bit 2), grey scale (bit 3) and best speed (bit 4); the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "codecs/JpegPicture.h"
#include "core/Error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    codecs::JpegSettings settings;
    settings.Scale = static_cast<codecs::JpegScale>(data[0] & 3);
    if (data[0] & 4) settings.PixelFormat = codecs::JpegPixelFormat::Bits8;
    settings.GrayScale = (data[0] & 8) != 0;
    if (data[0] & 16) settings.Performance = codecs::JpegPerformance::BestSpeed;
    try {
        auto picture =
            codecs::ReadJpeg(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
        // Pictures up to the program's limit of 2^28 pixels decode, only slowly; the
        // fuzzer is after faults, so it skips the large ones (by their full size, which
        // also bounds libjpeg's coefficient buffers).
        picture->SetScale(codecs::JpegScale::Full);
        if (uint64_t(picture->Width()) * uint64_t(picture->Height()) > (uint64_t(1) << 22))
            return 0;
        picture->SetScale(settings.Scale);
        picture->DecodeNow();
        // Drawing reads every decoded pixel.
        raster::Bitmap target(16, 16, raster::PixelFormat::Bits24);
        picture->Draw(target, core::Rect::FromSize(0, 0, 16, 16));
    } catch (const core::Error&) {
    }
    return 0;
}
