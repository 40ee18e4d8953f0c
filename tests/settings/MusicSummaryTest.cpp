#include <gtest/gtest.h>

#include "settings/MusicSummary.h"

namespace {

using settings::FormatPlayingTime;
using settings::MusicSummaryInput;
using settings::MusicSummaryText;

TEST(MusicSummary, PlayingTimeRoundsToSecondsAndShowsHoursFromAnHourOn) {
    const struct {
        int64_t Ms;
        const char* Text;
    } cases[] = {
        {0, "0:00"},       {499, "0:00"},        {59'499, "0:59"},       {59'500, "1:00"},
        {462'000, "7:42"}, {3'599'499, "59:59"}, {3'599'500, "1:00:00"}, {3'723'000, "1:02:03"},
        {-5, "0:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatPlayingTime(c.Ms), c.Text) << c.Ms;
}

TEST(MusicSummary, MusicTotalAndShowTime) {
    const struct {
        MusicSummaryInput Input;
        const char* Text;
    } cases[] = {
        {{{420'000, 42'000}, 24, 5}, "Music 7:42 · show 2:00 (24 pictures × 5 s)"},
        {{{420'000, std::nullopt, 42'000}, 24, 5},
         "Music 7:42 + ? · show 2:00 (24 pictures × 5 s)"},
        {{{std::nullopt}, 3, 100}, "Music ? · show 5:00 (3 pictures × 100 s)"},
        {{{}, 1, 2}, "Music 0:00 · show 0:02 (1 picture × 2 s)"},
        {{{61'000}, 24, std::nullopt}, "Music 1:01 · show manual (24 pictures)"},
        {{{}, 0, std::nullopt}, "Music 0:00 · show manual (0 pictures)"},
        {{{}, 2000, 100}, "Music 0:00 · show 55:33:20 (2000 pictures × 100 s)"},
    };
    for (const auto& c : cases) EXPECT_EQ(MusicSummaryText(c.Input), c.Text);
}

}  // namespace
