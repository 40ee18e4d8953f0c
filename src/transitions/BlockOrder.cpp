#include "transitions/BlockOrder.h"

#include <algorithm>
#include <numeric>

namespace transitions {

BlockOrder::BlockOrder(int cols, int rows) : m_cols(cols), m_rows(rows) {}

std::vector<int> BlockOrder::RandomPermutation(int n, core::Random& random) {
    std::vector<int> order(size_t(std::max(n, 0)), 0);
    for (int value = 1; value <= n; ++value) {
        // The generator's period covers every slot, so a free one always turns up.
        size_t slot;
        do slot = random.Next(uint32_t(n));
        while (order[slot] != 0);
        order[slot] = value;
    }
    return order;
}

void BlockOrder::DrawRandomOrders(core::Random& random) {
    m_columnOrder = RandomPermutation(m_cols, random);
    m_rowOrder = RandomPermutation(m_rows, random);
    m_orderCycle = m_cols > 0 && m_rows > 0 ? std::lcm(int64_t(m_cols), int64_t(m_rows)) : 1;
}

bool BlockOrder::CellOf(int style, int subStyle, int step, core::Point& cell) {
    const int64_t total = Total();
    if (step < 1 || step > total) return false;
    const int C = m_cols, R = m_rows;

    switch (style) {
        case 1: {
            if (subStyle != 1 || m_columnOrder.empty()) return false;
            // The column order moves on by one after each full cycle, so that the cycles
            // (each a different coset of the diagonal) together reach every cell.
            const int64_t k = step - 1, shift = step / m_orderCycle;
            cell = {m_columnOrder[size_t((k + shift) % C)], m_rowOrder[size_t(k % R)]};
            return true;
        }
        case 2: {
            if (subStyle < 1 || subStyle > 8) return false;
            const int64_t s = subStyle % 2 == 0 ? total - step + 1 : step;
            const int k = int(s - 1);
            switch ((subStyle + 1) / 2) {
                case 1:
                    cell = {k % C + 1, k / C + 1};
                    break;
                case 2:
                    cell = {k % C + 1, R - k / C};
                    break;
                case 3:
                    cell = {k / R + 1, k % R + 1};
                    break;
                default:
                    cell = {C - k / R, k % R + 1};
                    break;
            }
            return true;
        }
        case 3: {
            if (subStyle < 1 || subStyle > 4) return false;
            const int64_t s = subStyle % 2 == 0 ? total - step + 1 : step;
            const int k = int(s - 1);
            if (subStyle <= 2) {
                const int n = k / C + 1;
                cell = {n % 2 != 0 ? k % C + 1 : C - k % C, n};
            } else {
                const int n = k / R + 1;
                cell = {n, n % 2 != 0 ? k % R + 1 : R - k % R};
            }
            return true;
        }
        case 4:
            if (subStyle < 1 || subStyle > 4) return false;
            return SpiralCell(subStyle, step, cell);
        default:
            return false;
    }
}

bool BlockOrder::SpiralCell(int subStyle, int step, core::Point& cell) {
    if (subStyle != m_spiralSubStyle || step < m_spiralStep || m_spiralStep == 0)
        StartSpiral(subStyle);
    while (m_spiralStep < step) {
        TurnSpiral();
        m_lastCol += m_moveCol;
        m_lastRow += m_moveRow;
        ++m_spiralStep;
    }
    cell = {m_lastCol, m_lastRow};
    return true;
}

void BlockOrder::StartSpiral(int subStyle) {
    const int C = m_cols, R = m_rows;
    int col, row;
    auto set = [&](int c, int r, int moveCol, int moveRow) {
        col = c;
        row = r;
        m_moveCol = moveCol;
        m_moveRow = moveRow;
    };
    auto bounds = [&](int left, int top, int right, int bottom) {
        m_left = left;
        m_top = top;
        m_right = right;
        m_bottom = bottom;
    };
    switch (subStyle) {
        case 1:  // clockwise inward from the top-left cell
            set(1, 1, 1, 0);
            bounds(0, 1, C + 1, R + 1);
            break;
        case 3:  // counter-clockwise inward from the top-right cell
            set(C, 1, -1, 0);
            bounds(0, 1, C + 1, R + 1);
            break;
        default:  // outward from the centre: 2 counter-clockwise, 4 clockwise
            if (C < R) {
                if (C % 2 != 0) {
                    set(C / 2 + 1, R - C / 2, 0, -1);
                    bounds(col, R - row + 1, col, row);
                } else {
                    set(subStyle == 2 ? C / 2 : C / 2 + 1, C / 2 + 1, 0, 1);
                    bounds(col, row, col, R + 2 - row);
                }
            } else if (subStyle == 2) {
                if (R % 2 != 0) {
                    set(C - R / 2, R / 2 + 1, -1, 0);
                    bounds(C - col, row, col, row);
                } else {
                    set(R - R / 2, R / 2 + 1, 1, 0);
                    bounds(col, row, C - col + 1, row);
                }
            } else {
                if (R % 2 == 0) {
                    set(C + R / 2 + 1 - R, R / 2 + 1, -1, 0);
                    bounds(C - col + 1, row, col, row);
                } else {
                    set(R / 2 + 1, R / 2 + 1, 1, 0);
                    bounds(col, row, C + 2 - col, row);
                }
            }
            break;
    }
    m_spiralSubStyle = subStyle;
    m_spiralStep = 1;
    m_lastCol = col;
    m_lastRow = row;
}

// Looks at the cell of the step just walked and turns at the limits. The inward spirals
// pull a limit in behind them; the outward ones push the next limit out.
void BlockOrder::TurnSpiral() {
    const int c = m_lastCol, r = m_lastRow;
    auto go = [&](int moveCol, int moveRow) {
        m_moveCol = moveCol;
        m_moveRow = moveRow;
    };
    const bool right = m_moveCol > 0, left = m_moveCol<0, down = m_moveRow> 0, up = m_moveRow < 0;
    switch (m_spiralSubStyle) {
        case 1:
            if (right && c + 1 == m_right) {
                go(0, 1);
                m_right = c;
            } else if (down && r + 1 == m_bottom) {
                go(-1, 0);
                m_bottom = r;
            } else if (left && c == m_left + 1) {
                go(0, -1);
                m_left = c;
            } else if (up && r == m_top + 1) {
                go(1, 0);
                m_top = r;
            }
            break;
        case 3:
            if (left && c == m_left + 1) {
                go(0, 1);
                m_left = c;
            } else if (down && r + 1 == m_bottom) {
                go(1, 0);
                m_bottom = r;
            } else if (right && c + 1 == m_right) {
                go(0, -1);
                m_right = c;
            } else if (up && r == m_top + 1) {
                go(-1, 0);
                m_top = r;
            }
            break;
        case 2:
            if (up && r == m_top) {
                go(-1, 0);
                --m_left;
            } else if (left && c == m_left) {
                go(0, 1);
                ++m_bottom;
            } else if (down && r == m_bottom) {
                go(1, 0);
                ++m_right;
            } else if (right && c == m_right) {
                go(0, -1);
                --m_top;
            }
            break;
        default:
            if (up && r == m_top) {
                go(1, 0);
                ++m_right;
            } else if (right && c == m_right) {
                go(0, 1);
                ++m_bottom;
            } else if (down && r == m_bottom) {
                go(-1, 0);
                --m_left;
            } else if (left && c == m_left) {
                go(0, -1);
                --m_top;
            }
            break;
    }
}

}  // namespace transitions
