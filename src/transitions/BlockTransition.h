#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "transitions/MaskedTransition.h"

namespace transitions {

// Divides the frame into a grid of cells and reveals the new picture one cell per step: in
// a random order, in rows, in snaking rows or columns, or in a spiral (Style 1 to 4 and
// their sub-styles, see BlockOrder). With Puzzle the cells are jigsaw pieces whose round
// tongues reach into the neighbouring cells. A frame that needs just one plain cell copies
// it straight to the render window; anything more goes through the mask.
class BlockTransition : public MaskedTransition {
public:
    BlockTransition();
    ~BlockTransition() override;
    const char* ClassName() const override { return "BlockTransition"; }

    // A grid count and the matching cell size exclude each other: setting one to a new value
    // clears the other to 0, so the last one set wins. Values not above 0 are stored as 1.
    int32_t BlockHeight() const { return m_blockHeight; }  // used when Rows is 0
    void SetBlockHeight(int32_t value);
    int32_t BlockWidth() const { return m_blockWidth; }  // used when Cols is 0
    void SetBlockWidth(int32_t value);
    int32_t Cols() const { return m_cols; }  // 0 = derived from BlockWidth
    void SetCols(int32_t value);
    int32_t Rows() const { return m_rows; }  // 0 = derived from BlockHeight
    void SetRows(int32_t value);
    // The cells are jigsaw pieces.
    bool Puzzle = false;

    // From another block effect also copies Puzzle and the grid (a count where it has one,
    // else the cell size).
    void Assign(const TransitionEffect& source) override;
    // Adds "BlockHeight", "BlockWidth", "Cols", "Rows" and "Puzzle".
    bool SetProperty(std::string_view name, const PropertyValue& value) override;

    std::string GetDescription() const override { return "Blocks"; }
    // Style 2: 1<->2, 3<->4, 5<->6, 7<->8; styles 3 and 4: 1<->2, 3<->4.
    uint16_t ReverseSubStyle(uint16_t style, uint16_t subStyle) const override;
    // Style 1: 1, style 2: 8, styles 3 and 4: 4 (0 for style 0, 1 for others).
    uint16_t SubStyleCount(uint16_t style) const override;

protected:
    void PrepareSteps(PassData& data, int& totalSteps) override;
    void RenderStep(PassData& data, int step, int stepDelta, int totalSteps,
                    int previousStep) override;
    void FinishSteps(PassData& data) override;
    void PaintMask(raster::Bitmap& mask, int step, int stepDelta, int totalSteps, int previousStep,
                   PassData& data, bool& positive) override;

private:
    struct Run;

    void PaintCells(raster::Bitmap& mask, int firstStep, int lastStep);
    void CopyCellToWindow(int step, PassData& data);

    int32_t m_blockHeight = 50;
    int32_t m_blockWidth = 50;
    int32_t m_cols = 0;
    int32_t m_rows = 0;
    std::unique_ptr<Run> m_run;  // the grid, order and pieces of the pass running
};

}  // namespace transitions
