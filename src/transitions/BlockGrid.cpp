#include "transitions/BlockGrid.h"

#include <algorithm>

namespace transitions {

namespace {

// num / den rounded to the nearest whole number, halves to the even neighbour, for
// num >= 0 and den > 0. Done on whole numbers so that a cell edge never depends on how a
// floating quotient happened to round.
int64_t NearestQuotient(int64_t num, int64_t den) {
    const int64_t q = num / den, twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1))) return q + 1;
    return q;
}

// Edge `index` (0 .. count) of `count` cells across `extent` pixels.
int Edge(int extent, int count, int index) {
    if (index <= 0) return 0;
    if (index >= count) return extent;
    return int(NearestQuotient(int64_t(extent) * index, count));
}

}  // namespace

int BlockGrid::CountFor(int extent, int32_t count, int32_t cellSize, bool puzzle) {
    int64_t n = count;
    if (n <= 0) n = extent > 0 ? NearestQuotient(extent, std::max<int32_t>(cellSize, 1)) : 0;
    n = std::max<int64_t>(n, 1);
    // Pieces narrower than 15 pixels leave no room for tongues. A frame under 15 pixels
    // still gets one cell rather than none.
    if (puzzle && extent / n < 15) n = std::max(extent / 15, 1);
    return int(std::min<int64_t>(n, std::max(extent, 0)));
}

int BlockGrid::TabFor(int width, int height, int cols, int rows) {
    if (cols <= 0 || rows <= 0) return 0;
    const int side = std::min(height / rows, width / cols);
    // side / 3.5 = 2 side / 7, which is never a half.
    return int(NearestQuotient(int64_t(side) * 2, 7));
}

core::Rect BlockGrid::Cell(int col, int row) const {
    return {Edge(Width, Cols, col - 1), Edge(Height, Rows, row - 1), Edge(Width, Cols, col),
            Edge(Height, Rows, row)};
}

core::Rect BlockGrid::PuzzleCell(int col, int row) const {
    core::Rect r = Cell(col, row);
    if ((col + row) % 2 != 0) {
        if (col > 1) r.Left -= Tab;
        if (col < Cols) r.Right += Tab;
    } else {
        if (row > 1) r.Top -= Tab;
        if (row < Rows) r.Bottom += Tab;
    }
    return r;
}

}  // namespace transitions
