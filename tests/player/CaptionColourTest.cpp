#include <gtest/gtest.h>

#include "player/CaptionColour.h"

namespace {

TEST(CaptionColour, TextIsBlackOrWhiteWhicheverContrastsMore) {
    struct Case {
        raster::Rgb bar, text;
    } cases[] = {
        {0x000080, 0xFFFFFF},                        // navy
        {0x000000, 0xFFFFFF}, {0x800080, 0xFFFFFF},  // purple
        {0xFF0000, 0x000000},  // pure red is light enough for black (5.3 against 4.0)
        {0xFFFF00, 0x000000},  // yellow
        {0xFFFFFF, 0x000000}, {0xC0C0C0, 0x000000},  // silver
        {0x777777, 0x000000},                        // mid grey, just on black's side
        {0x757575, 0xFFFFFF},                        // and just on white's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bar);
        EXPECT_EQ(player::CaptionTextColour(c.bar), c.text);
    }
}

}  // namespace
