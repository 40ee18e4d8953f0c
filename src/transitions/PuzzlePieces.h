#pragma once

#include <array>

#include "raster/Bitmap.h"

namespace transitions {

// Which way a jigsaw piece's tongues point. Neighbouring cells always have opposite
// shapes, so each tongue meets a slot of the same figure.
enum class PieceShape {
    VerticalTongues,    // tongues up and down, slots left and right
    HorizontalTongues,  // tongues left and right, slots up and down
};

// One jigsaw piece as a black and white mask (white = part of the piece) for a cell of
// cellWidth x cellHeight pixels. The mask is `tab` larger on both sides along the tongues
// (so it is placed `tab` up or left of the cell); each tongue is a disc of diameter `tab`
// joined to the body, centred on its side, and each slot is the same figure cut out.
raster::Bitmap MakePuzzlePiece(PieceShape shape, int cellWidth, int cellHeight, int tab);

// The eight pieces a puzzle grid needs: both shapes for each of the cell sizes
// (base, base + 1) in each direction.
class PuzzlePieces {
public:
    PuzzlePieces(int baseWidth, int baseHeight, int tab);

    // The piece for a cell of that size, which must be the base size or one more.
    const raster::Bitmap& Piece(PieceShape shape, int cellWidth, int cellHeight) const;
    int Tab() const { return m_tab; }

private:
    int m_baseWidth, m_baseHeight, m_tab;
    std::array<raster::Bitmap, 8> m_pieces;
};

}  // namespace transitions
