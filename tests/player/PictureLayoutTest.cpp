#include <gtest/gtest.h>

#include "player/PictureLayout.h"

namespace {

using player::LayOutPicture;

struct LayoutCase {
    const char* name;
    int w, h, sw, sh;
    std::optional<int> percent;
    core::Rect expected;
};

TEST(PictureLayout, SizesAndCentresWithHalvesToEven) {
    const LayoutCase cases[] = {
        // Equal ratios take the height branch: 768 x 0.8 = 614.4 -> 614 + 3 = 617,
        // 617 x 4 / 3 = 822.67 -> 823; left (1024 - 823) / 2 = 100.5 -> 100, top 75.5 -> 76.
        {"worked figure", 1600, 1200, 1024, 768, 80, core::Rect::FromSize(100, 76, 823, 617)},
        // Wider than the screen: 1024 + 3 = 1027 wide, 513.5 -> 514 high, left -1.5 -> -2.
        {"wide", 2000, 1000, 1024, 768, 100, core::Rect::FromSize(-2, 127, 1027, 514)},
        // A small picture is enlarged to fill the height.
        {"small enlarged", 100, 100, 1024, 768, 100, core::Rect::FromSize(126, -2, 771, 771)},
        // 1025 x 0.5 = 512.5 -> 512 (even) + 3; 515 / 4 = 128.75 -> 129; top 185.5 -> 186.
        {"half percent", 4000, 1000, 1025, 500, 50, core::Rect::FromSize(255, 186, 515, 129)},
        // Own size: offsets 461.5 -> 462 and 358.5 -> 358.
        {"own size", 101, 51, 1024, 768, std::nullopt, core::Rect::FromSize(462, 358, 101, 51)},
        {"no pixels", 0, 0, 1024, 768, 80, core::Rect::FromSize(512, 384, 0, 0)},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        player::PictureLayout layout = LayOutPicture(c.w, c.h, c.sw, c.sh, c.percent);
        EXPECT_EQ(layout.Picture, c.expected);
        core::Rect shadow = c.expected;
        shadow.Left += 10, shadow.Right += 10, shadow.Top += 10, shadow.Bottom += 10;
        EXPECT_EQ(layout.Shadow, shadow);
    }
}

TEST(PictureLayout, SizeSlotReadsNoOrAPercentage) {
    EXPECT_EQ(player::PictureSizePercent("No"), std::nullopt);
    EXPECT_EQ(player::PictureSizePercent("80"), 80);
    EXPECT_EQ(player::PictureSizePercent("no"), std::nullopt);  // not a number: own size
    EXPECT_EQ(player::PictureSizePercent("0"), 1);
    EXPECT_EQ(player::PictureSizePercent("2147483647"), 1000);
    EXPECT_EQ(player::PictureSizePercent("-50"), 1);
}

}  // namespace
