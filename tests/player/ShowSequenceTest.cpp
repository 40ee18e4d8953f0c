#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/ShowSequence.h"

namespace {

using player::ShowSequence;

settings::ShowSettings Settings(const char* advance, const char* loop) {
    settings::ShowSettings s;
    s.WriteStartDefaults();
    s.SetSlot(settings::kAdvanceSlot, advance);
    s.SetSlot(settings::kLoopSlot, loop);
    return s;
}

const core::StringList kThree{"/photos/a.jpg", "/photos/b.jpg", "/photos/c.jpg"};

// Runs `steps` steps, each picture loading fine; "close" marks a closing step.
std::vector<std::string> Steps(ShowSequence& show, int steps) {
    std::vector<std::string> seen;
    for (int i = 0; i < steps; ++i) {
        ShowSequence::Step step = show.NextStep();
        if (step.Close) {
            seen.push_back("close");
            continue;
        }
        seen.push_back(step.Caption);
        show.PictureShown();
    }
    return seen;
}

TEST(ShowSequence, CaptionIsNumberAndFileName) {
    EXPECT_EQ(player::CaptionText(2, "/home/me/holiday/beach.jpg"), "3. beach.jpg");
    EXPECT_EQ(player::CaptionText(0, "beach.jpg"), "1. beach.jpg");
    EXPECT_EQ(player::CaptionText(9, "/pictures/"), "10. ");
}

TEST(ShowSequence, EndOfListLoopsOrCloses) {
    ShowSequence show;
    show.Start(kThree, Settings("2", "Loop"));
    EXPECT_EQ(Steps(show, 5), (std::vector<std::string>{"1. a.jpg", "2. b.jpg", "3. c.jpg",
                                                        "1. a.jpg", "2. b.jpg"}));
    EXPECT_TRUE(show.TimerOn());

    show.Start(kThree, Settings("2", "No"));
    EXPECT_EQ(Steps(show, 4),
              (std::vector<std::string>{"1. a.jpg", "2. b.jpg", "3. c.jpg", "close"}));
    EXPECT_FALSE(show.TimerOn());
    EXPECT_EQ(show.Position(), 0);

    show.Start({"/one.bmp"}, Settings("2", "Loop"));
    EXPECT_EQ(Steps(show, 3), (std::vector<std::string>{"1. one.bmp", "1. one.bmp", "1. one.bmp"}));

    show.Start({}, Settings("2", "Loop"));  // nothing to wrap to
    EXPECT_TRUE(show.NextStep().Close);
}

TEST(ShowSequence, StepBackShowsThePreviousPictureAndStaysOnTheFirst) {
    ShowSequence show;
    show.Start(kThree, Settings("Manual", "Loop"));
    Steps(show, 2);
    show.StepBack();
    EXPECT_EQ(Steps(show, 1), std::vector<std::string>{"1. a.jpg"});
    show.StepBack();  // from the first picture
    EXPECT_EQ(Steps(show, 1), std::vector<std::string>{"1. a.jpg"});
    Steps(show, 2);  // the last picture on screen
    show.StepBack();
    EXPECT_EQ(Steps(show, 1), std::vector<std::string>{"2. b.jpg"});

    show.Activate();  // back from the help window: the show begins again
    EXPECT_EQ(Steps(show, 1), std::vector<std::string>{"1. a.jpg"});
}

TEST(ShowSequence, AdvanceSlotSetsTheTimer) {
    EXPECT_EQ(player::AdvanceIntervalMs("2"), 2000);
    EXPECT_EQ(player::AdvanceIntervalMs("Manual"), std::nullopt);
    EXPECT_EQ(player::AdvanceIntervalMs("0"), std::nullopt);
    EXPECT_EQ(player::AdvanceIntervalMs("two"), std::nullopt);
    EXPECT_EQ(player::AdvanceIntervalMs("2147483647"), 2'000'000'000);

    ShowSequence show;
    show.Start(kThree, Settings("Manual", "Loop"));
    EXPECT_FALSE(show.TimerOn());
    EXPECT_EQ(show.IntervalMs(), 500);  // no automatic show yet
    show.Start(kThree, Settings("3", "Loop"));
    EXPECT_TRUE(show.TimerOn());
    EXPECT_EQ(show.IntervalMs(), 3000);
    show.Start(kThree, Settings("Manual", "Loop"));  // keeps the last interval
    EXPECT_FALSE(show.TimerOn());
    EXPECT_EQ(show.IntervalMs(), 3000);

    EXPECT_TRUE(show.TogglePause());  // Ctrl in a manual show: step now and run
    EXPECT_TRUE(show.TimerOn());
    EXPECT_FALSE(show.TogglePause());  // Ctrl again pauses
    EXPECT_FALSE(show.TimerOn());
}

TEST(ShowSequence, HelpWindowStopsTheTimerAndClosingItRestartsAutomaticShows) {
    ShowSequence show;
    show.Start(kThree, Settings("2", "Loop"));
    show.StopTimer();
    show.HelpClosed();
    EXPECT_TRUE(show.TimerOn());
    show.Start(kThree, Settings("Manual", "Loop"));
    show.StopTimer();
    show.HelpClosed();
    EXPECT_FALSE(show.TimerOn());
}

TEST(ShowSequence, FailedPictureIsSkippedAndReportedOnceWhileTheTimerRuns) {
    ShowSequence show;
    show.Start(kThree, Settings("2", "Loop"));
    std::vector<std::string> seen;
    int reports = 0;
    for (int i = 0; i < 6; ++i) {
        ShowSequence::Step step = show.NextStep();
        if (step.Index == 1) {
            reports += show.PictureFailed();
        } else {
            seen.push_back(step.Caption);
            show.PictureShown();
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1. a.jpg", "3. c.jpg", "1. a.jpg", "3. c.jpg"}));
    EXPECT_EQ(reports, 1);

    // By hand the same picture is asked for again, and reported every time.
    show.Start(kThree, Settings("Manual", "Loop"));
    Steps(show, 1);
    EXPECT_EQ(show.NextStep().Index, 1);
    EXPECT_TRUE(show.PictureFailed());
    EXPECT_EQ(show.NextStep().Index, 1);
    EXPECT_TRUE(show.PictureFailed());
}

}  // namespace
