#include "codecs/GifFile.h"

namespace codecs {

const GifGraphicControl* GifFrame::GraphicControl() const {
    const GifGraphicControl* found = nullptr;
    for (const GifExtension& ext : Extensions)
        if (const auto* gc = std::get_if<GifGraphicControl>(&ext)) found = gc;
    return found;
}

}  // namespace codecs
