#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "EffectHarness.h"
#include "core/Random.h"
#include "raster/Blit.h"
#include "transitions/BlockGrid.h"
#include "transitions/BlockOrder.h"
#include "transitions/BlockTransition.h"
#include "transitions/EffectTable.h"
#include "transitions/HeadlessControl.h"
#include "transitions/PuzzlePieces.h"

namespace {

using namespace transitions;
using namespace transitions::harness;
using raster::Bitmap;
using raster::PixelFormat;
using Cell = std::pair<int, int>;  // column, row

struct Grid {
    int cols, rows;
};
constexpr Grid kGrids[] = {{1, 1}, {7, 7}, {30, 26}, {10, 3}, {3, 10}};

// The cells of steps 1 .. total in one order.
std::vector<Cell> Walk(BlockOrder& order, int style, int subStyle) {
    std::vector<Cell> cells;
    for (int s = 1; s <= order.Total(); ++s) {
        core::Point p;
        EXPECT_TRUE(order.CellOf(style, subStyle, s, p))
            << style << "/" << subStyle << " step " << s;
        cells.emplace_back(p.X, p.Y);
    }
    return cells;
}

std::string Name(int style, int subStyle, Grid g) {
    return std::to_string(style) + "/" + std::to_string(subStyle) + " on " +
           std::to_string(g.cols) + "x" + std::to_string(g.rows);
}

TEST(BlockOrderTest, EveryFixedOrderVisitsEachCellOnce) {
    const std::pair<int, int> counts[] = {{2, 8}, {3, 4}, {4, 4}};
    for (Grid g : kGrids)
        for (auto [style, subStyles] : counts)
            for (int sub = 1; sub <= subStyles; ++sub) {
                SCOPED_TRACE(Name(style, sub, g));
                BlockOrder order(g.cols, g.rows);
                std::vector<Cell> cells = Walk(order, style, sub);
                std::set<Cell> seen(cells.begin(), cells.end());
                EXPECT_EQ(seen.size(), cells.size());
                for (auto [c, r] : cells) {
                    ASSERT_TRUE(c >= 1 && c <= g.cols && r >= 1 && r <= g.rows) << c << "," << r;
                }
                // The even sub-styles draw the odd ones backwards, and so do the outward
                // spirals the inward ones.
                if (sub % 2 == 0) {
                    BlockOrder forward(g.cols, g.rows);
                    std::vector<Cell> backwards = Walk(forward, style, sub - 1);
                    std::reverse(backwards.begin(), backwards.end());
                    EXPECT_EQ(cells, backwards);
                }
            }
}

TEST(BlockOrderTest, FirstCellsOfEachOrder) {
    struct Row {
        int style, sub;
        std::vector<Cell> start;  // on a 4 x 3 grid
    } rows[] = {
        {2, 1, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2}}},
        {2, 2, {{4, 3}, {3, 3}}},
        {2, 3, {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {1, 2}}},
        {2, 5, {{1, 1}, {1, 2}, {1, 3}, {2, 1}}},
        {2, 7, {{4, 1}, {4, 2}, {4, 3}, {3, 1}}},
        {3, 1, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {3, 2}}},
        {3, 3, {{1, 1}, {1, 2}, {1, 3}, {2, 3}, {2, 2}}},
        {4,
         1,
         {{1, 1},
          {2, 1},
          {3, 1},
          {4, 1},
          {4, 2},
          {4, 3},
          {3, 3},
          {2, 3},
          {1, 3},
          {1, 2},
          {2, 2},
          {3, 2}}},
        {4,
         3,
         {{4, 1},
          {3, 1},
          {2, 1},
          {1, 1},
          {1, 2},
          {1, 3},
          {2, 3},
          {3, 3},
          {4, 3},
          {4, 2},
          {3, 2},
          {2, 2}}},
        // Outward from the centre: counter-clockwise (left, then down) and clockwise.
        {4, 2, {{3, 2}, {2, 2}, {1, 2}, {1, 3}}},
        {4, 4, {{2, 2}, {3, 2}, {4, 2}, {4, 3}}},
    };
    for (const Row& row : rows) {
        BlockOrder order(4, 3);
        std::vector<Cell> cells = Walk(order, row.style, row.sub);
        cells.resize(row.start.size());
        EXPECT_EQ(cells, row.start) << row.style << "/" << row.sub;
    }
}

TEST(BlockOrderTest, RandomOrderGivesANewCellAtEveryDrawnStep) {
    for (Grid g : kGrids)
        for (uint32_t seed : {1u, 0xDEADBEEFu}) {
            SCOPED_TRACE(Name(1, 1, g));
            core::Random random;
            random.SetSeed(seed);
            BlockOrder order(g.cols, g.rows);
            order.DrawRandomOrders(random);
            std::vector<Cell> cells = Walk(order, 1, 1);
            std::set<Cell> seen(cells.begin(), cells.end() - 1);
            EXPECT_EQ(seen.size(), cells.size() - 1);  // steps 1 .. total - 1
            // On a square grid the last step finds the one cell left.
            if (g.cols == g.rows) {
                EXPECT_EQ(std::set<Cell>(cells.begin(), cells.end()).size(), cells.size());
            }
        }
}

TEST(BlockOrderTest, PermutationsAndUnknownStyles) {
    core::Random random;
    random.SetSeed(42);
    std::vector<int> p = BlockOrder::RandomPermutation(50, random);
    std::vector<int> sorted = p;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 50; ++i) EXPECT_EQ(sorted[size_t(i)], i + 1);
    EXPECT_NE(p, sorted);

    BlockOrder order(5, 4);
    core::Point cell;
    EXPECT_FALSE(order.CellOf(1, 1, 1, cell));  // random order not drawn
    EXPECT_FALSE(order.CellOf(5, 1, 1, cell));
    EXPECT_FALSE(order.CellOf(2, 9, 1, cell));
    EXPECT_FALSE(order.CellOf(4, 0, 1, cell));
    EXPECT_FALSE(order.CellOf(2, 1, 0, cell));
    EXPECT_FALSE(order.CellOf(2, 1, 21, cell));
    // A spiral asked out of order walks again from the start.
    ASSERT_TRUE(order.CellOf(4, 1, 9, cell));
    ASSERT_TRUE(order.CellOf(4, 1, 2, cell));
    EXPECT_EQ(cell, (core::Point{2, 1}));
}

TEST(BlockGridTest, GridCountsAndTongueSizes) {
    struct Row {
        int extent;
        int32_t count, cellSize;
        bool puzzle;
        int expected;
    } rows[] = {
        {1024, 30, 0, true, 30},      {768, 30, 0, true, 30},    {400, 30, 0, true, 26},
        {1024, 2000, 0, false, 1024}, {1024, 2000, 0, true, 68}, {1024, 0, 50, false, 20},
        {100, 0, 40, false, 2},                              // 2.5 rounds to the even 2
        {140, 0, 40, false, 4},                              // 3.5 rounds to 4
        {10, 0, 50, false, 1},        {10, 30, 0, true, 1},  // under 15 pixels: still one cell
        {0, 30, 0, false, 0},         {5, 9, 0, false, 5},
    };
    for (const Row& row : rows)
        EXPECT_EQ(BlockGrid::CountFor(row.extent, row.count, row.cellSize, row.puzzle),
                  row.expected)
            << row.extent << " " << row.count << " " << row.cellSize << " " << row.puzzle;

    EXPECT_EQ(BlockGrid::TabFor(1024, 768, 30, 30), 7);   // nearest(25 / 3.5)
    EXPECT_EQ(BlockGrid::TabFor(1024, 768, 10, 10), 22);  // nearest(76 / 3.5)
}

TEST(BlockGridTest, CellsTileTheFrameAndTonguesStayInside) {
    BlockGrid g{1024, 768, 30, 30, 7};
    EXPECT_EQ(g.BaseCellWidth(), 34);
    EXPECT_EQ(g.BaseCellHeight(), 25);
    for (int r = 1; r <= g.Rows; ++r)
        for (int c = 1; c <= g.Cols; ++c) {
            core::Rect cell = g.Cell(c, r);
            ASSERT_TRUE(cell.Width() == 34 || cell.Width() == 35) << c;
            ASSERT_TRUE(cell.Height() == 25 || cell.Height() == 26) << r;
            if (c > 1) {
                ASSERT_EQ(cell.Left, g.Cell(c - 1, r).Right);
            }
            if (r > 1) {
                ASSERT_EQ(cell.Top, g.Cell(c, r - 1).Bottom);
            }
            core::Rect reach = g.PuzzleCell(c, r);
            bool across = (c + r) % 2 != 0;
            EXPECT_EQ(reach.Left, cell.Left - (across && c > 1 ? 7 : 0));
            EXPECT_EQ(reach.Right, cell.Right + (across && c < 30 ? 7 : 0));
            EXPECT_EQ(reach.Top, cell.Top - (!across && r > 1 ? 7 : 0));
            EXPECT_EQ(reach.Bottom, cell.Bottom + (!across && r < 30 ? 7 : 0));
        }
    EXPECT_EQ(g.Cell(1, 1).Left, 0);
    EXPECT_EQ(g.Cell(30, 30).Right, 1024);
    EXPECT_EQ(g.Cell(30, 30).Bottom, 768);
}

// The set pixels of a piece placed at (x, y), as frame coordinates.
std::set<Cell> PiecePixels(const Bitmap& piece, int x, int y) {
    std::set<Cell> pixels;
    for (int j = 0; j < piece.Height(); ++j)
        for (int i = 0; i < piece.Width(); ++i)
            if (piece.GetIndex(i, j)) pixels.emplace(x + i, y + j);
    return pixels;
}

// Two neighbours: the tongue one piece puts into the other's cell is round, and the slot
// cut out of that cell takes it with at most one column or row to spare.
TEST(PuzzlePiecesTest, TonguesFitTheNeighboursSlots) {
    for (int t : {7, 8, 22}) {
        SCOPED_TRACE("tab " + std::to_string(t));
        const int cw = 4 * t, ch = 3 * t + 1;
        // Left cell across (horizontal tongues) at x = 0, right cell up-down at x = cw.
        Bitmap across = MakePuzzlePiece(PieceShape::HorizontalTongues, cw, ch, t);
        Bitmap upDown = MakePuzzlePiece(PieceShape::VerticalTongues, cw, ch, t);
        ASSERT_EQ(across.Width(), cw + 2 * t);
        ASSERT_EQ(upDown.Height(), ch + 2 * t);
        std::set<Cell> left = PiecePixels(across, -t, 0), right = PiecePixels(upDown, cw, -t);

        std::set<Cell> tongue, slot;
        for (auto [x, y] : left)
            if (x >= cw) tongue.emplace(x, y);
        for (int y = 0; y < ch; ++y)
            for (int x = cw; x < cw + t; ++x)
                if (!right.count({x, y})) slot.emplace(x, y);
        ASSERT_FALSE(slot.empty());
        for (const Cell& p : slot) EXPECT_TRUE(tongue.count(p)) << p.first << "," << p.second;
        EXPECT_LE(tongue.size() - slot.size(), size_t(t));
        // Round: the tongue's tip column is much shorter than the column where it joins.
        auto columnHeight = [&](int x) {
            int n = 0;
            for (auto [px, py] : tongue) n += px == x;
            return n;
        };
        EXPECT_EQ(columnHeight(cw), t);
        EXPECT_GT(columnHeight(cw + t - 1), 0);
        EXPECT_LE(columnHeight(cw + t - 1), t / 2);
        EXPECT_EQ(columnHeight(cw + t), 0);
        // Centred on the shared side, and the tongue does not touch the cells above or below.
        for (auto [x, y] : tongue) EXPECT_TRUE(y >= (ch - t) / 2 && y < (ch - t) / 2 + t);
    }
}

// --- Runs -----------------------------------------------------------------------------

// A block effect that plays a chosen list of steps instead of the paced loop, so that a test
// can mix single steps (the direct path) with skipped ones (through the mask), and look at
// the work bitmap after each frame.
class SteppedBlocks : public BlockTransition {
public:
    std::vector<int> Steps;
    std::function<void(PassData& data, int step)> AfterFrame;

    void PlaySteps(std::vector<int> steps) {
        Steps = std::move(steps);
        Milliseconds = 1;  // routes the run through PlayTimed
    }

protected:
    void PlayTimed(int totalSteps, PassData& data) override {
        int previous = 0;
        for (int step : Steps) {
            if (step > totalSteps) break;
            RenderStep(data, step, step - previous, totalSteps, previous);
            previous = step;
            PaintFrame(data, false);
            if (AfterFrame) AfterFrame(data, step);
        }
        ShowFinalFrame(data);
    }
};

// The frame's pixels of `canvas` are those of `expected`.
::testing::AssertionResult SamePixels(const Bitmap& canvas, const Bitmap& expected, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (canvas.GetIndex(x, y) != expected.GetIndex(x, y))
                return ::testing::AssertionFailure() << "differs at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

struct Observed {
    int frames = 0;
    Bitmap last;
};

// Prepare on A, switch to B, Execute, Unprepare. Checks every flushed area: each pixel shows
// the old or the new picture, and a pixel once new stays new.
Observed RunBlocks(TransitionEffect& effect, const Bitmap& a32, const Bitmap& b32) {
    const int w = a32.Width(), h = a32.Height();
    const PixelFormat format = DisplayPixelFormat();
    const Bitmap a = ConvertedForDisplay(a32, format), b = ConvertedForDisplay(b32, format);
    std::vector<char> isNew(size_t(w * h), 0);
    Observed seen;
    const auto check = [&](const Bitmap& canvas, const core::Rect& area) {
        ++seen.frames;
        for (int y = area.Top; y < area.Bottom; ++y)
            for (int x = area.Left; x < area.Right; ++x) {
                uint32_t v = canvas.GetIndex(x, y), va = a.GetIndex(x, y), vb = b.GetIndex(x, y);
                char& flag = isNew[size_t(y * w + x)];
                if (v == vb && v != va) flag = 1;
                ASSERT_TRUE(v == vb || (v == va && !flag))
                    << "frame " << seen.frames << " pixel " << x << "," << y;
            }
        seen.last = canvas;
    };
    EXPECT_TRUE(RunHeadless(effect, a32, b32, check));
    EXPECT_TRUE(SamePixels(seen.last, b, w, h));
    return seen;
}

std::vector<StoredEffect> ShowBlockEffects() {
    std::vector<StoredEffect> blocks;
    for (const auto& e : ShowEffectTable())
        if (e.ClassName == "BlockTransition") blocks.push_back(e);
    return blocks;
}

class BlockRunTest : public DisplayTest {};

TEST_F(BlockRunTest, ShowEffectsEndOnTheNewPictureInEveryFormat) {
    RegisterAllEffectClasses();
    const std::vector<StoredEffect> blocks = ShowBlockEffects();
    ASSERT_EQ(blocks.size(), 4u);
    TransitionList list;
    LoadEffectList(list, blocks);

    const int w = 101, h = 67;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    // Puzzles at this size shrink to 6 x 4 pieces of at least 15 pixels.
    struct Row {
        const char* name;
        int frames;  // every step but the last, then the final copy
    } rows[] = {{"Puzzle", 24}, {"LArgePuzzle", 24}, {"Blocks", 900}, {"NewBlocks", 49}};
    for (PixelFormat format : kDisplayFormats) {
        DisplayFormat display(format);
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + " format " + std::to_string(int(format)));
            auto* effect = dynamic_cast<BlockTransition*>(list.Transitions(list.IndexOf(row.name)));
            ASSERT_NE(effect, nullptr);
            effect->Milliseconds = 0;
            EXPECT_EQ(RunBlocks(*effect, a, b).frames, row.frames);
        }
    }
}

TEST_F(BlockRunTest, ShowTableValuesAndProperties) {
    RegisterAllEffectClasses();
    TransitionList list;
    LoadEffectList(list, ShowBlockEffects());
    struct Row {
        const char* name;
        int32_t cols, rows;
        bool puzzle;
        uint16_t style, subStyle;
        int32_t ms;
    } rows[] = {{"Puzzle", 30, 30, true, 1, 1, 1500},
                {"LArgePuzzle", 10, 10, true, 4, 1, 1700},
                {"Blocks", 30, 30, false, 1, 1, 1700},
                {"NewBlocks", 7, 7, false, 1, 0, 1700}};
    for (const Row& row : rows) {
        auto* e = dynamic_cast<BlockTransition*>(list.Transitions(list.IndexOf(row.name)));
        ASSERT_NE(e, nullptr) << row.name;
        EXPECT_EQ(e->Cols(), row.cols) << row.name;
        EXPECT_EQ(e->Rows(), row.rows) << row.name;
        EXPECT_EQ(e->BlockWidth(), 0) << row.name;
        EXPECT_EQ(e->BlockHeight(), 0) << row.name;
        EXPECT_EQ(e->Puzzle, row.puzzle) << row.name;
        EXPECT_EQ(e->Style(), row.style) << row.name;
        EXPECT_EQ(e->SubStyle(), row.subStyle) << row.name;
        EXPECT_EQ(e->Milliseconds, row.ms) << row.name;
    }

    BlockTransition block;
    EXPECT_STREQ(block.ClassName(), "BlockTransition");
    EXPECT_EQ(block.GetDescription(), "Blocks");
    EXPECT_EQ(block.StyleCount(), 4);
    EXPECT_EQ(block.BlockWidth(), 50);
    EXPECT_EQ(block.Cols(), 0);
    // Read back in published order, the stored values give the same grid.
    for (const char* name : {"BlockHeight", "BlockWidth"})
        EXPECT_TRUE(block.SetProperty(name, int32_t(0)));
    for (const char* name : {"Cols", "Rows"}) EXPECT_TRUE(block.SetProperty(name, int32_t(30)));
    EXPECT_EQ(block.Cols(), 30);
    EXPECT_EQ(block.BlockHeight(), 0);
    EXPECT_TRUE(block.SetProperty("Puzzle", true));
    EXPECT_TRUE(block.SetProperty("Reversed", true));
    EXPECT_TRUE(block.SetProperty("Style", int32_t(3)));
    EXPECT_TRUE(block.SetProperty("SubStyle", int32_t(2)));
    EXPECT_FALSE(block.SetProperty("Cols", true));
    EXPECT_FALSE(block.SetProperty("Puzzle", int32_t(1)));
    EXPECT_FALSE(block.SetProperty("BlockSize", int32_t(3)));
    EXPECT_FALSE(block.SetProperty("Direction", int32_t(1)));
}

TEST_F(BlockRunTest, GridSettersExcludeEachOtherAndAssignCopiesTheGrid) {
    BlockTransition block;
    block.SetCols(12);
    EXPECT_EQ(block.BlockWidth(), 0);
    block.SetBlockWidth(-4);
    EXPECT_EQ(block.BlockWidth(), 1);
    EXPECT_EQ(block.Cols(), 0);
    block.SetBlockWidth(1);  // the same value: nothing changes
    block.SetRows(-3);       // stored as 1
    EXPECT_EQ(block.Rows(), 1);
    EXPECT_EQ(block.BlockHeight(), 0);

    BlockTransition source;
    source.SetRows(9);
    source.SetBlockWidth(33);
    source.Puzzle = true;
    source.SetStyle(2);
    source.SetSubStyle(7);
    source.Milliseconds = 900;
    block.Assign(source);
    EXPECT_EQ(block.Rows(), 9);
    EXPECT_EQ(block.BlockHeight(), 0);
    EXPECT_EQ(block.BlockWidth(), 33);
    EXPECT_EQ(block.Cols(), 0);
    EXPECT_TRUE(block.Puzzle);
    EXPECT_EQ(block.Style(), 2);
    EXPECT_EQ(block.SubStyle(), 7);
    EXPECT_EQ(block.Milliseconds, 900);

    struct Row {
        uint16_t style, sub, reversed, count;
    } rows[] = {{0, 0, 0, 0}, {1, 1, 1, 1}, {2, 1, 2, 8}, {2, 6, 5, 8}, {2, 8, 7, 8},
                {3, 3, 4, 4}, {4, 2, 1, 4}, {4, 5, 5, 4}, {5, 2, 2, 1}};
    for (const Row& row : rows) {
        EXPECT_EQ(block.ReverseSubStyle(row.style, row.sub), row.reversed) << row.style;
        EXPECT_EQ(block.SubStyleCount(row.style), row.count) << row.style;
    }
}

// Rows order on a plain grid, step by step: single steps go straight to the window, skipped
// ones through the mask; either way the screen and the work bitmap show exactly the cells
// drawn so far, and after the last cell the whole frame is new before the final copy.
TEST_F(BlockRunTest, EveryFrameShowsExactlyTheCellsDrawn) {
    const int w = 45, h = 23;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    struct Row {
        bool puzzle, reversed;
        int cols, rows;
    } rows[] = {
        {false, false, 5, 4}, {false, true, 5, 4}, {true, false, 3, 1}, {false, false, 45, 23}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.cols) + "x" + std::to_string(row.rows) +
                     (row.puzzle ? " puzzle" : "") + (row.reversed ? " reversed" : ""));
        SteppedBlocks effect;
        effect.SetCols(row.cols);
        effect.SetRows(row.rows);
        effect.Puzzle = row.puzzle;
        effect.Reversed = row.reversed;
        effect.SetStyle(2);
        const int total = row.cols * row.rows;
        std::vector<int> steps;
        for (int s = 1, delta = 1; s <= total; s += delta, delta = delta % 3 + 1)
            steps.push_back(s);
        if (steps.back() != total) steps.push_back(total);
        effect.PlaySteps(steps);
        BlockGrid grid{w, h, row.cols, row.rows, 0};
        effect.AfterFrame = [&](PassData& data, int step) {
            const Bitmap& canvas = data.Window->Canvas();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(canvas.GetIndex(x, y), data.WorkBitmap->GetIndex(x, y))
                        << "step " << step << " pixel " << x << "," << y;
            if (row.puzzle) return;
            for (int s = 1; s <= total; ++s) {
                int k = row.reversed ? total - s : s - 1;
                core::Rect cell = grid.Cell(k % row.cols + 1, k / row.cols + 1);
                const Bitmap& expected = s <= step ? b : a;
                ASSERT_EQ(canvas.GetIndex(cell.Left, cell.Top),
                          expected.GetIndex(cell.Left, cell.Top))
                    << "step " << step << " cell " << s;
                ASSERT_EQ(canvas.GetIndex(cell.Right - 1, cell.Bottom - 1),
                          expected.GetIndex(cell.Right - 1, cell.Bottom - 1))
                    << "step " << step << " cell " << s;
            }
            if (step == total) {
                ASSERT_TRUE(SamePixels(canvas, b, w, h));
            }
        };
        RunBlocks(effect, a, b);
    }
}

// A puzzle drawn piece by piece in a fixed order leaves no gap: after its last piece the
// work bitmap is the new picture, on grids whose border cells have either shape.
TEST_F(BlockRunTest, PuzzlePiecesCoverTheWholeFrame) {
    struct Row {
        int w, h, cols, rows, style, sub;
    } rows[] = {
        {101, 67, 6, 4, 2, 1}, {97, 80, 5, 5, 4, 1}, {64, 90, 4, 5, 3, 3}, {150, 16, 10, 1, 2, 5}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.w) + "x" + std::to_string(row.h));
        const Bitmap a = PictureA(row.w, row.h), b = PictureB(row.w, row.h);
        SteppedBlocks effect;
        effect.SetCols(row.cols);
        effect.SetRows(row.rows);
        effect.Puzzle = true;
        effect.SetStyle(uint16_t(row.style));
        effect.SetSubStyle(uint16_t(row.sub));
        const int total = row.cols * row.rows;
        std::vector<int> steps;
        for (int s = 1; s <= total; ++s) steps.push_back(s);
        effect.PlaySteps(steps);
        bool checked = false;
        effect.AfterFrame = [&](PassData& data, int step) {
            if (step != total) return;
            checked = true;
            EXPECT_TRUE(SamePixels(*data.WorkBitmap, b, row.w, row.h));
            EXPECT_TRUE(SamePixels(data.Window->Canvas(), b, row.w, row.h));
        };
        RunBlocks(effect, a, b);
        EXPECT_TRUE(checked);
    }
}

// One-pixel cells: a single step changes one pixel on screen, and every step is a new one.
TEST_F(BlockRunTest, OnePixelCells) {
    const int w = 13, h = 5;
    const Bitmap a = PictureA(w, h), b = PictureB(w, h);
    for (bool skipping : {false, true}) {
        SteppedBlocks effect;
        effect.SetCols(w);
        effect.SetRows(h);
        std::vector<int> steps;
        for (int s = 1; s < w * h; s += skipping ? 4 : 1) steps.push_back(s);
        effect.PlaySteps(steps);
        std::vector<core::Rect> areas;
        ASSERT_TRUE(RunHeadless(
            effect, a, b, [&](const Bitmap&, const core::Rect& area) { areas.push_back(area); }));
        ASSERT_EQ(areas.size(), steps.size() + 1);
        if (!skipping) {
            std::set<Cell> pixels;
            for (size_t i = 0; i + 1 < areas.size(); ++i) {
                EXPECT_EQ(areas[i].Width() * areas[i].Height(), 1) << i;
                pixels.emplace(areas[i].Left, areas[i].Top);
            }
            EXPECT_EQ(pixels.size(), steps.size());
        }
        RunBlocks(effect, a, b);  // and the frames themselves
    }
}

}  // namespace
