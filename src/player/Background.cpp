#include "player/Background.h"

#include <optional>

#include "core/Error.h"
#include "core/Rounding.h"
#include "raster/Blit.h"
#include "raster/Shapes.h"
#include "raster/StretchDraw.h"
#include "settings/ColorText.h"
#include "settings/ShowSettings.h"

namespace player {
namespace {

raster::Rgb ColourOf(const std::string& text) {
    std::optional<raster::ColorValue> colour = settings::StringToColor(text);
    if (!colour) {
        throw core::Error(core::Format("The background colour \"%s\" is not a colour.", text));
    }
    return raster::ColorToRgb(*colour);
}

}  // namespace

BackgroundColours ParseBackgroundColours(std::string_view pair) {
    settings::ColorPairTexts texts = settings::SplitColorPair(pair);
    BackgroundColours colours;
    colours.Top = ColourOf(texts.Top);
    colours.Plain = texts.Top == texts.Bottom;
    colours.Bottom = colours.Plain ? colours.Top : ColourOf(texts.Bottom);
    return colours;
}

void PaintGradient(raster::Bitmap& target, raster::Rgb top, raster::Rgb bottom) {
    const int height = target.Height();
    const int dr = int(raster::RedOf(bottom)) - raster::RedOf(top);
    const int dg = int(raster::GreenOf(bottom)) - raster::GreenOf(top);
    const int db = int(raster::BlueOf(bottom)) - raster::BlueOf(top);
    for (int i = 0; i < 256; ++i) {
        raster::Rgb colour =
            raster::MakeRgb(uint8_t(raster::RedOf(top) + core::MulDiv(i, dr, 255)),
                            uint8_t(raster::GreenOf(top) + core::MulDiv(i, dg, 255)),
                            uint8_t(raster::BlueOf(top) + core::MulDiv(i, db, 255)));
        core::Rect band{0, core::MulDiv(i, height, 256), target.Width(),
                        core::MulDiv(i + 1, height, 256)};
        raster::FillRect(target, band, colour);
    }
}

void BackgroundPlacement::Apply(std::string_view placementSlot) {
    if (placementSlot == settings::kTile) {
        Tiled = true;
    } else if (placementSlot == settings::kCenter) {
        Tiled = false;
        Centred = true;
        Stretched = false;
    } else if (placementSlot == settings::kStretch) {
        Tiled = false;
        Centred = false;
        Stretched = true;
    }
}

core::Rect BackgroundRect(int cw, int ch, int pw, int ph, const BackgroundPlacement& placement) {
    if (placement.Stretched) return {0, 0, cw, ch};
    if (placement.Centred)
        return core::Rect::FromSize(core::HalfTrunc(cw - pw), core::HalfTrunc(ch - ph), pw, ph);
    return core::Rect::FromSize(0, 0, pw, ph);
}

void DrawBackground(raster::Bitmap& target, const raster::Bitmap& picture,
                    const BackgroundPlacement& placement) {
    const int cw = target.Width();
    const int ch = target.Height();
    const int pw = picture.Width();
    const int ph = picture.Height();
    // Tiling steps by the picture's size, so a picture without pixels has nothing to repeat.
    if (picture.Empty() || target.Empty()) return;
    if (placement.Tiled) {
        // One conversion to the target's format, then plain copies per tile.
        const raster::Bitmap converted = picture.Format() == target.Format()
                                             ? raster::Bitmap()
                                             : picture.ConvertTo(target.Format(), target.Palette());
        const raster::Bitmap& tile = converted.Empty() ? picture : converted;
        for (int x = 0; x < cw; x += pw) {
            for (int y = 0; y < ch; y += ph) {
                raster::Blit(target, x, y, pw, ph, tile, 0, 0, raster::Rop::SrcCopy);
            }
        }
        return;
    }
    const core::Rect rect = BackgroundRect(cw, ch, pw, ph, placement);
    raster::StretchDraw(target, rect, picture);
}

}  // namespace player
