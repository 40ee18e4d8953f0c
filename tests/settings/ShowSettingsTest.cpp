#include <gtest/gtest.h>

#include "settings/ColorText.h"
#include "settings/ShowSettings.h"

namespace {

using settings::ShowSettings;

TEST(ShowSettings, DefaultColumnsDifferInSizeBackgroundAndShadow) {
    ShowSettings opt;
    opt.WriteStartDefaults();
    EXPECT_EQ(opt.Slots(), (core::StringList{"2", "80", "Random", "No music", "$00D5E7EA_clWhite",
                                             "Loop", "Color", "Tile", "No", "Shadow"}));
    opt.SetSlot(settings::kAdvanceSlot, "Manual");
    opt.WriteSetDefaults();
    EXPECT_EQ(opt.Slots(),
              (core::StringList{"2", "100", "Random", "No music", "$00281800_$00281800", "Loop",
                                "Color", "Tile", "No", "No"}));
    EXPECT_EQ(opt.Count(), 10);
}

TEST(ShowSettings, ReadersCompareWholeTextsExactly) {
    ShowSettings opt;
    opt.WriteStartDefaults();
    EXPECT_TRUE(opt.Loops());
    EXPECT_TRUE(opt.ShadowOn());
    EXPECT_FALSE(opt.MusicOn());
    opt.SetSlot(settings::kLoopSlot,
                "loop");  // small letters: the show ends after the last picture
    EXPECT_FALSE(opt.Loops());
    opt.SetSlot(settings::kMusicModeSlot, "NoRepeat");
    EXPECT_TRUE(opt.MusicOn());
    EXPECT_FALSE(opt.RepeatMusic());
    opt.SetSlot(settings::kMusicModeSlot, "RepeatMusic");
    EXPECT_TRUE(opt.RepeatMusic());
    opt.SetSlot(settings::kEffectModeSlot, "no effect");  // any other text animates
    EXPECT_TRUE(opt.EffectsOn());
    opt.SetSlot(settings::kAdvanceSlot, "manual");
    EXPECT_FALSE(opt.ManualAdvance());
    EXPECT_THROW(opt.SetSlot(11, "x"), std::out_of_range);
}

TEST(ShowSettings, WholeNumbersFromHandEditedSlots) {
    struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {{"2", 2},
                 {"100", 100},
                 {"+7", 7},
                 {"-3", -3},
                 {"", std::nullopt},
                 {"2 ", std::nullopt},
                 {"x", std::nullopt},
                 {"99999999999", std::nullopt}};
    for (auto c : cases) EXPECT_EQ(settings::ParseWholeNumber(c.text), c.value) << c.text;
}

TEST(ColorText, WritesNamesOrEightHexDigits) {
    struct {
        raster::ColorValue value;
        const char* text;
    } cases[] = {
        {0x00FFFFFF, "clWhite"},
        {0x00D5E7EA, "$00D5E7EA"},
        {0x000000FF, "clRed"},
        {0x00FF0000, "clBlue"},
        {0x00281800, "$00281800"},
        {int32_t(0x8000000F), "clBtnFace"},
        {int32_t(0x80000018), "clInfoBk"},
        {int32_t(0x80000019), "$80000019"},
        {0x1FFFFFFF, "clNone"},
        {0x00000001, "$00000001"},
        {-1, "$FFFFFFFF"},
    };
    for (auto c : cases) {
        EXPECT_EQ(settings::ColorToString(c.value), c.text);
        EXPECT_EQ(settings::StringToColor(c.text), c.value) << c.text;
    }
}

TEST(ColorText, ReadsNamesHexAndDecimalAndRejectsTheRest) {
    struct {
        const char* text;
        std::optional<raster::ColorValue> value;
    } cases[] = {
        {"clAqua", 0xFFFF00},
        {"$ff", 0xFF},
        {"16777215", 0xFFFFFF},
        {"0x10", 16},
        {"-1", -1},
        {"clwhite", std::nullopt},
        {"", std::nullopt},
        {"$", std::nullopt},
        {"$1FFFFFFFF", std::nullopt},
        {"12ab", std::nullopt},
        {"White", std::nullopt},
    };
    for (auto c : cases) EXPECT_EQ(settings::StringToColor(c.text), c.value) << c.text;
}

TEST(ColorText, PairsSplitAtTheLastUnderscore) {
    auto p = settings::SplitColorPair("$00D5E7EA_clWhite");
    EXPECT_EQ(p.Top, "$00D5E7EA");
    EXPECT_EQ(p.Bottom, "clWhite");
    EXPECT_EQ(settings::StringToColor(p.Top), 0x00D5E7EA);
    EXPECT_EQ(settings::StringToColor(p.Bottom), raster::kClWhite);
    auto q = settings::SplitColorPair("a_b_c");
    EXPECT_EQ(q.Top, "a_b");
    EXPECT_EQ(q.Bottom, "c");
    auto plain = settings::SplitColorPair("$00281800_$00281800");
    EXPECT_EQ(plain.Top, plain.Bottom);
    auto none = settings::SplitColorPair("clRed");
    EXPECT_EQ(none.Top, "clRed");
    EXPECT_EQ(none.Bottom, "clRed");
    EXPECT_EQ(settings::JoinColorPair(0x00D5E7EA, raster::kClWhite), "$00D5E7EA_clWhite");
    // Drawing colours swap the byte order: 0x00BBGGRR becomes 0x00RRGGBB.
    EXPECT_EQ(raster::ColorToRgb(0x00D5E7EA), 0x00EAE7D5u);
}

TEST(EffectSet, StandardSetIsAscendingWithoutThePlainCut) {
    EXPECT_EQ(settings::StandardEffectSet(),
              (core::StringList{"1", "2", "4", "6", "9", "11", "12", "13", "14", "15", "17", "19",
                                "20"}));
}

}  // namespace
