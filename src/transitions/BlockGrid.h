#pragma once

#include <cstdint>

#include "core/Geometry.h"

namespace transitions {

// The grid the block effect divides a frame into: how many columns and rows, the size of
// a puzzle tongue, and the rectangle of each cell. Columns and rows are numbered from 1.
struct BlockGrid {
    int Width = 0;  // the frame
    int Height = 0;
    int Cols = 0;
    int Rows = 0;
    int Tab = 0;  // how far a puzzle tongue reaches into the neighbouring cell; 0 for blocks

    // The columns (or rows) used across a frame extent: `count` when it is above 0, else
    // as many cells of `cellSize` as fit, rounded to the nearest (halves to even); at least
    // 1; puzzle pieces at least 15 pixels wide; never more than the extent has pixels.
    static int CountFor(int extent, int32_t count, int32_t cellSize, bool puzzle);
    // The tongue size of puzzle pieces: the smaller cell side (whole pixels) / 3.5, rounded.
    static int TabFor(int width, int height, int cols, int rows);

    // Every cell is a single pixel.
    bool OnePixelCells() const { return Cols == Width && Rows == Height; }
    // The smaller of the two sizes each column (row) has; the others are one pixel more.
    int BaseCellWidth() const { return Width / Cols; }
    int BaseCellHeight() const { return Height / Rows; }

    // The plain cell: edges at the nearest pixel to W / Cols x (col - 1) and H / Rows x
    // (row - 1), the last column and row reaching the frame's right and bottom.
    core::Rect Cell(int col, int row) const;
    // The cell with the reach of its puzzle tongues: cells whose col + row is odd reach Tab
    // further left and right, the others Tab further up and down; never past the frame.
    core::Rect PuzzleCell(int col, int row) const;
};

}  // namespace transitions
