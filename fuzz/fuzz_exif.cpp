// Feeds arbitrary bytes to the Exif orientation reader. The first byte chooses the entry:
// bit 0 set reads the rest as an Exif segment's contents (after "Exif\0\0", so the fuzzer
// starts inside the TIFF structure), clear as a whole JPEG file. The orientation found is
// applied to a small bitmap, which must come out with the right size and pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codecs/ExifReader.h"
#include "codecs/Orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    codecs::Orientation orientation;
    if (data[0] & 1)
        orientation = codecs::ReadExifOrientation(std::string("Exif\0\0", 6) + std::string(rest));
    else
        orientation = codecs::ReadJpegOrientation(rest);
    const int value = static_cast<int>(orientation);
    if (value < 1 || value > 8) std::abort();

    // Three by two pixels numbered 0..5: each orientation puts them in a different place,
    // and every pixel must survive.
    raster::Bitmap bitmap(3, 2, raster::PixelFormat::Bits24);
    for (int i = 0; i < 6; ++i) bitmap.SetPixel(i % 3, i / 3, raster::Rgb(i));
    codecs::MakeUpright(bitmap, orientation);
    const bool swapped = codecs::SwapsAxes(orientation);
    if (bitmap.Width() != (swapped ? 2 : 3) || bitmap.Height() != (swapped ? 3 : 2)) std::abort();
    int seen = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) seen |= 1 << bitmap.GetPixel(x, y);
    if (seen != 0x3F) std::abort();
    return 0;
}
