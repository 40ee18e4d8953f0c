#include "transitions/BlockTransition.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "core/Random.h"
#include "raster/Blit.h"
#include "raster/Shapes.h"
#include "transitions/BlockGrid.h"
#include "transitions/BlockOrder.h"
#include "transitions/PuzzlePieces.h"

namespace transitions {

namespace {

constexpr raster::Rgb kWhite = 0xFFFFFF;

// Grows `area` to cover `add`; an empty area becomes `add`.
void Include(core::Rect& area, const core::Rect& add) {
    if (add.IsEmpty()) return;
    if (area.IsEmpty()) {
        area = add;
        return;
    }
    area = {std::min(area.Left, add.Left), std::min(area.Top, add.Top),
            std::max(area.Right, add.Right), std::max(area.Bottom, add.Bottom)};
}

}  // namespace

// What one pass fixes in PrepareSteps: the grid, the order and the puzzle pieces.
struct BlockTransition::Run {
    Run(const BlockGrid& grid) : Grid(grid), Order(grid.Cols, grid.Rows) {}

    BlockGrid Grid;
    BlockOrder Order;
    std::optional<PuzzlePieces> Pieces;
    // The rows the mask was painted in by the last off-screen step (all its set bits lie
    // there), so that clearing it afterwards touches only those.
    int PaintedTop = 0, PaintedBottom = 0;
};

BlockTransition::BlockTransition() {
    SetStyleCount(4);
}

BlockTransition::~BlockTransition() = default;

void BlockTransition::SetBlockHeight(int32_t value) {
    if (value == m_blockHeight) return;
    m_blockHeight = std::max(value, 1);
    m_rows = 0;
}

void BlockTransition::SetBlockWidth(int32_t value) {
    if (value == m_blockWidth) return;
    m_blockWidth = std::max(value, 1);
    m_cols = 0;
}

void BlockTransition::SetCols(int32_t value) {
    if (value == m_cols) return;
    m_cols = std::max(value, 1);
    m_blockWidth = 0;
}

void BlockTransition::SetRows(int32_t value) {
    if (value == m_rows) return;
    m_rows = std::max(value, 1);
    m_blockHeight = 0;
}

void BlockTransition::Assign(const TransitionEffect& source) {
    MaskedTransition::Assign(source);
    if (const auto* block = dynamic_cast<const BlockTransition*>(&source)) {
        Puzzle = block->Puzzle;
        if (block->Rows() != 0)
            SetRows(block->Rows());
        else
            SetBlockHeight(block->BlockHeight());
        if (block->Cols() != 0)
            SetCols(block->Cols());
        else
            SetBlockWidth(block->BlockWidth());
    }
}

bool BlockTransition::SetProperty(std::string_view name, const PropertyValue& value) {
    using Setter = void (BlockTransition::*)(int32_t);
    Setter setter = name == "BlockHeight"  ? &BlockTransition::SetBlockHeight
                    : name == "BlockWidth" ? &BlockTransition::SetBlockWidth
                    : name == "Cols"       ? &BlockTransition::SetCols
                    : name == "Rows"       ? &BlockTransition::SetRows
                                           : nullptr;
    if (setter) {
        const int32_t* v = std::get_if<int32_t>(&value);
        if (!v) return false;
        (this->*setter)(*v);
        return true;
    }
    if (name == "Puzzle") {
        const bool* v = std::get_if<bool>(&value);
        if (!v) return false;
        Puzzle = *v;
        return true;
    }
    return MaskedTransition::SetProperty(name, value);
}

uint16_t BlockTransition::ReverseSubStyle(uint16_t style, uint16_t subStyle) const {
    const uint16_t pairs = style == 2 ? 8 : (style == 3 || style == 4) ? 4 : 0;
    if (subStyle < 1 || subStyle > pairs) return subStyle;
    return subStyle % 2 != 0 ? subStyle + 1 : subStyle - 1;
}

uint16_t BlockTransition::SubStyleCount(uint16_t style) const {
    switch (style) {
        case 0:
            return 0;
        case 2:
            return 8;
        case 3:
        case 4:
            return 4;
        default:
            return 1;
    }
}

void BlockTransition::PrepareSteps(PassData& data, int& totalSteps) {
    MaskedTransition::PrepareSteps(data, totalSteps);
    totalSteps = 0;

    BlockGrid grid;
    grid.Width = data.Width;
    grid.Height = data.Height;
    grid.Cols = BlockGrid::CountFor(data.Width, m_cols, m_blockWidth, Puzzle);
    grid.Rows = BlockGrid::CountFor(data.Height, m_rows, m_blockHeight, Puzzle);
    if (grid.Cols <= 0 || grid.Rows <= 0) return;  // an empty frame: nothing to animate
    if (Puzzle && !grid.OnePixelCells())
        grid.Tab = BlockGrid::TabFor(grid.Width, grid.Height, grid.Cols, grid.Rows);

    m_run = std::make_unique<Run>(grid);
    totalSteps = int(std::min<int64_t>(m_run->Order.Total(), INT_MAX));
    if (ActualStyle() == 1) m_run->Order.DrawRandomOrders(core::ProgramRandom());
    if (Puzzle && !grid.OnePixelCells())
        m_run->Pieces.emplace(grid.BaseCellWidth(), grid.BaseCellHeight(), grid.Tab);
}

void BlockTransition::RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                                 int previousStep) {
    // A single plain cell is one block copy straight to the window; several cells, or a
    // puzzle piece reaching into its neighbours, are composed through the mask.
    m_drawOffscreen = Puzzle || stepDelta > 1;
    MaskedTransition::RenderStep(data, step, stepDelta, totalSteps, previousStep);
    if (m_drawOffscreen && m_run && m_mask) {
        // Each step's mask holds only its own cells; clear the rows they were painted in.
        const int top = std::clamp(m_run->PaintedTop, 0, m_mask->Height());
        const int bottom = std::clamp(m_run->PaintedBottom, top, m_mask->Height());
        std::memset(m_mask->Scanline(top), 0, size_t(bottom - top) * m_mask->Stride());
        m_run->PaintedTop = m_run->PaintedBottom = 0;
    }
}

void BlockTransition::FinishSteps(PassData& data) {
    m_run.reset();
    m_drawOffscreen = true;
    MaskedTransition::FinishSteps(data);
}

void BlockTransition::PaintMask(raster::Bitmap& mask, int step, int stepDelta, int, int,
                                PassData& data, bool& positive) {
    positive = true;
    if (!m_run) return;
    if (m_drawOffscreen)
        PaintCells(mask, step - stepDelta + 1, step);
    else
        CopyCellToWindow(step, data);
}

// Paints the cells of steps firstStep .. lastStep into the mask and sets m_dirtyRect to
// what they cover, tongues included.
void BlockTransition::PaintCells(raster::Bitmap& mask, int firstStep, int lastStep) {
    Run& run = *m_run;
    const BlockGrid& grid = run.Grid;
    const uint16_t style = ActualStyle(), subStyle = ActualSubStyle();
    m_dirtyRect = {};
    for (int s = std::max(firstStep, 1); s <= lastStep; ++s) {
        core::Point cell;
        if (!run.Order.CellOf(style, subStyle, s, cell)) continue;
        const int c = cell.X, r = cell.Y;
        if (grid.OnePixelCells()) {
            mask.Scanline(r - 1)[(c - 1) >> 3] |= uint8_t(0x80u >> ((c - 1) & 7));
            Include(m_dirtyRect, {c - 1, r - 1, c, r});
            continue;
        }
        const core::Rect plain = grid.Cell(c, r);
        if (!run.Pieces) {
            raster::FillRect(mask, plain, kWhite);
            Include(m_dirtyRect, plain);
            continue;
        }
        // A piece's slots on the frame border have no neighbour's tongue to fill them, so
        // the border band is filled instead.
        const int t = grid.Tab;
        int x = plain.Left, y = plain.Top;
        PieceShape shape;
        if ((c + r) % 2 != 0) {
            shape = PieceShape::HorizontalTongues;
            x -= t;
            if (r == 1)
                raster::FillRect(mask, {plain.Left, plain.Top, plain.Right, plain.Top + t}, kWhite);
            if (r == grid.Rows)
                raster::FillRect(mask, {plain.Left, plain.Bottom - t, plain.Right, plain.Bottom},
                                 kWhite);
        } else {
            shape = PieceShape::VerticalTongues;
            y -= t;
            if (c == 1)
                raster::FillRect(mask, {plain.Left, plain.Top, plain.Left + t, plain.Bottom},
                                 kWhite);
            if (c == grid.Cols)
                raster::FillRect(mask, {plain.Right - t, plain.Top, plain.Right, plain.Bottom},
                                 kWhite);
        }
        const raster::Bitmap& piece = run.Pieces->Piece(shape, plain.Width(), plain.Height());
        raster::Blit(mask, x, y, piece.Width(), piece.Height(), piece, 0, 0, raster::Rop::SrcPaint);
        Include(m_dirtyRect, grid.PuzzleCell(c, r));
    }
    run.PaintedTop = m_dirtyRect.Top;
    run.PaintedBottom = m_dirtyRect.Bottom;
}

// The direct path for a frame of one plain cell: the cell goes from the new picture
// straight to the render window, which the frame then puts on screen (m_dirtyRect), and into
// the work bitmap as well, so that the work bitmap keeps matching the screen without going
// through the mask.
void BlockTransition::CopyCellToWindow(int step, PassData& data) {
    const BlockGrid& grid = m_run->Grid;
    core::Point cell;
    if (!m_run->Order.CellOf(ActualStyle(), ActualSubStyle(), step, cell)) return;
    const core::Rect area = grid.OnePixelCells()
                                ? core::Rect{cell.X - 1, cell.Y - 1, cell.X, cell.Y}
                                : grid.Cell(cell.X, cell.Y);
    if (!data.DstImage || !data.Window) return;
    raster::CopyBlock(data.Window->Canvas(), area.Left, area.Top, area.Width(), area.Height(),
                      *data.DstImage, area.Left, area.Top);
    if (data.WorkBitmap)
        raster::CopyBlock(*data.WorkBitmap, area.Left, area.Top, area.Width(), area.Height(),
                          *data.DstImage, area.Left, area.Top);
    m_dirtyRect = area;
}

}  // namespace transitions
