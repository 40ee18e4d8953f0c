// Feeds arbitrary bytes to the packed-show reader as a whole show file, then decodes
// every block the reader hands out, as the show player would.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codecs/JpegPicture.h"
#include "core/Error.h"
#include "pack/PackedShow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        pack::PackedShow show = pack::PackedShow::FromBytes(bytes);
        // Every block lies inside the input: touch its first and last bytes.
        volatile char sink = 0;
        auto touch = [&](std::string_view block) {
            if (block.empty()) return;
            if (block.data() < bytes.data() || block.data() + block.size() > bytes.data() + size)
                __builtin_trap();
            sink = sink + block.front() + block.back();
        };
        touch(show.SettingsBlock());
        touch(show.BackgroundBlock());
        for (size_t i = 0; i < show.MusicCount(); ++i) touch(show.MusicBlock(i));
        for (size_t i = 0; i < show.PictureCount(); ++i) {
            touch(show.PictureBlock(i));
            try {
                auto picture = show.DecodePicture(i);
                // Large pictures decode correctly, only slowly; the fuzzer is after faults.
                if (uint64_t(picture->Width()) * uint64_t(picture->Height()) > (uint64_t(1) << 20))
                    continue;
                if (auto* jpeg = dynamic_cast<codecs::JpegPicture*>(picture.get()))
                    jpeg->DecodeNow();
            } catch (const core::Error&) {
            }
        }
        try {
            show.DecodeBackground();
        } catch (const core::Error&) {
        }
    } catch (const core::Error&) {
    }
    return 0;
}
