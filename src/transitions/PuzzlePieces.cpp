#include "transitions/PuzzlePieces.h"

#include <stdexcept>

#include "raster/Shapes.h"

namespace transitions {

namespace {

constexpr raster::Rgb kWhite = 0xFFFFFF;
constexpr raster::Rgb kBlack = 0x000000;

// A disc in the box with the half box towards `bar` filled as well, which squares off the
// side where a tongue joins its piece (or a slot opens to the cell's edge).
void Tongue(raster::Bitmap& mask, const core::Rect& disc, const core::Rect& bar,
            raster::Rgb colour) {
    raster::FillEllipse(mask, disc, colour);
    raster::FillRect(mask, bar, colour);
}

}  // namespace

raster::Bitmap MakePuzzlePiece(PieceShape shape, int cellWidth, int cellHeight, int tab) {
    const int t = tab, h = t / 2;
    const bool vertical = shape == PieceShape::VerticalTongues;
    const int w = vertical ? cellWidth : cellWidth + 2 * t;
    const int ht = vertical ? cellHeight + 2 * t : cellHeight;
    const int x0 = (w - t) / 2, y0 = (ht - t) / 2;

    raster::Bitmap mask(w, ht, raster::PixelFormat::Bits1);
    mask.Palette() = {kBlack, kWhite};
    if (vertical) {
        Tongue(mask, {x0, 0, x0 + t, t}, {x0, h, x0 + t, t}, kWhite);  // top tongue
        raster::FillRect(mask, {0, t, w, ht - t}, kWhite);
        Tongue(mask, {x0, ht - t, x0 + t, ht}, {x0, ht - t, x0 + t, ht - h}, kWhite);  // bottom
        Tongue(mask, {0, y0, t, y0 + t}, {0, y0, h, y0 + t}, kBlack);                  // left slot
        Tongue(mask, {w - t, y0, w, y0 + t}, {w - h, y0, w, y0 + t}, kBlack);          // right slot
    } else {
        Tongue(mask, {0, y0, t, y0 + t}, {h, y0, t, y0 + t}, kWhite);  // left tongue
        raster::FillRect(mask, {t, 0, w - t, ht}, kWhite);
        Tongue(mask, {w - t, y0, w, y0 + t}, {w - t, y0, w - h, y0 + t}, kWhite);  // right
        Tongue(mask, {x0, 0, x0 + t, t}, {x0, 0, x0 + t, h}, kBlack);              // top slot
        Tongue(mask, {x0, ht - t, x0 + t, ht}, {x0, ht - h, x0 + t, ht}, kBlack);  // bottom slot
    }
    return mask;
}

PuzzlePieces::PuzzlePieces(int baseWidth, int baseHeight, int tab)
    : m_baseWidth(baseWidth), m_baseHeight(baseHeight), m_tab(tab) {
    for (int i = 0; i < 8; ++i) {
        const PieceShape shape =
            i < 4 ? PieceShape::VerticalTongues : PieceShape::HorizontalTongues;
        m_pieces[size_t(i)] =
            MakePuzzlePiece(shape, baseWidth + (i & 1), baseHeight + ((i >> 1) & 1), tab);
    }
}

const raster::Bitmap& PuzzlePieces::Piece(PieceShape shape, int cellWidth, int cellHeight) const {
    const int dw = cellWidth - m_baseWidth, dh = cellHeight - m_baseHeight;
    if (dw < 0 || dw > 1 || dh < 0 || dh > 1)
        throw std::invalid_argument("PuzzlePieces: no piece for that cell size");
    const int i = (shape == PieceShape::HorizontalTongues ? 4 : 0) + dw + 2 * dh;
    return m_pieces[size_t(i)];
}

}  // namespace transitions
