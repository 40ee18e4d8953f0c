#pragma once

#include <cstdint>
#include <vector>

#include "core/Geometry.h"
#include "core/Random.h"

namespace transitions {

// The order in which the block effect reveals the cells of a Cols x Rows grid, one cell per
// step (steps 1 .. Cols x Rows), by style and sub-style:
//   1/1      random: a column and a row permutation walked together, the column one shifted
//            by one after every full cycle (lcm(Cols, Rows) steps); every step below the last
//            gives a new cell (the last step is never drawn, the final picture replaces it)
//   2/1..8   rows top to bottom, rows bottom to top, columns left to right, columns right to
//            left, each left to right or top to bottom; even sub-styles the exact reverse
//   3/1..4   snaking rows, snaking columns, from the top-left; even sub-styles reversed
//   4/1..4   spirals: clockwise inward from the top-left cell, counter-clockwise outward
//            from the centre, counter-clockwise inward from the top-right cell, clockwise
//            outward from the centre
class BlockOrder {
public:
    BlockOrder(int cols, int rows);

    // Draws the random order's two permutations, as the program always has: 1, 2, ... each
    // put into a slot chosen by random(n), drawn again while that slot is taken.
    void DrawRandomOrders(core::Random& random);
    static std::vector<int> RandomPermutation(int n, core::Random& random);

    // The cell (X = column, Y = row, from 1) of `step` in the order of style/sub-style;
    // false for a pair outside the table (or the random order before DrawRandomOrders).
    // Any step may be asked, but asking them in increasing order is cheapest: the spirals
    // walk from the last step asked.
    bool CellOf(int style, int subStyle, int step, core::Point& cell);

    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }
    int64_t Total() const { return int64_t(m_cols) * m_rows; }

private:
    bool SpiralCell(int subStyle, int step, core::Point& cell);
    void StartSpiral(int subStyle);
    void TurnSpiral();

    int m_cols, m_rows;
    // 1-based column and row numbers of the random order.
    std::vector<int> m_columnOrder, m_rowOrder;
    int64_t m_orderCycle = 1;

    // The spiral walk: the sub-style and step it stands at, the cell of that step, its
    // direction and its turning limits.
    int m_spiralSubStyle = 0;
    int m_spiralStep = 0;
    int m_lastCol = 0, m_lastRow = 0;
    int m_moveCol = 0, m_moveRow = 0;
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
};

}  // namespace transitions
