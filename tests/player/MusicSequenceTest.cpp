#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "player/MusicSequence.h"

namespace {

// Plays nothing: records the calls and lets the test move the play position.
class FakeDevice : public player::MusicDevice {
public:
    std::set<std::string> broken;  // files that do not open
    std::vector<std::string> log;
    int64_t position = 0;
    int64_t length = 3000;
    int queries = 0;

    bool Open(const std::string& path) override {
        log.push_back("open " + path);
        position = 0;
        return !broken.contains(path);
    }
    void Play() override { log.push_back("play"); }
    void Stop() override { log.push_back("stop"); }
    int64_t LengthMs() override { return ++queries, length; }
    int64_t PositionMs() override { return ++queries, position; }

    // The files started, in order.
    std::vector<std::string> Played() const {
        std::vector<std::string> played;
        for (size_t i = 0; i + 1 < log.size(); ++i) {
            if (log[i].starts_with("open ") && log[i + 1] == "play")
                played.push_back(log[i].substr(5));
        }
        return played;
    }
};

settings::ShowSettings Mode(const char* music) {
    settings::ShowSettings s;
    s.WriteStartDefaults();
    s.SetSlot(settings::kMusicModeSlot, music);
    return s;
}

const core::StringList kThree{"1.wav", "2.wav", "3.wav"};

// Lets each file play out `count` times, polling at its end.
void PlayOut(FakeDevice& device, player::MusicSequence& music, int count) {
    for (int i = 0; i < count; ++i) {
        device.position = device.length;
        music.Poll();
    }
}

TEST(MusicSequence, PlaysInListOrderRepeatingOrStopping) {
    struct Case {
        const char* mode;
        std::vector<std::string> played;
    };
    const Case cases[] = {
        {"RepeatMusic", {"1.wav", "2.wav", "3.wav", "1.wav", "2.wav", "3.wav", "1.wav"}},
        {"NoRepeat", {"1.wav", "2.wav", "3.wav"}},
        {"repeatmusic", {"1.wav", "2.wav", "3.wav"}},  // only the exact text repeats
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        FakeDevice device;
        player::MusicSequence music(device);
        music.Start(kThree, Mode(c.mode));
        EXPECT_TRUE(music.Polling());
        PlayOut(device, music, 6);
        EXPECT_EQ(device.Played(), c.played);
        EXPECT_TRUE(music.Polling());  // after the end the poll goes on quietly
    }
}

TEST(MusicSequence, NextFileStartsWithinTheLastTenUnits) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("NoRepeat"));
    device.position = device.length - 10;  // L >= P + 10: still playing
    music.Poll();
    EXPECT_EQ(device.Played(), std::vector<std::string>{"1.wav"});
    device.position = device.length - 9;
    music.Poll();
    EXPECT_EQ(device.Played(), (std::vector<std::string>{"1.wav", "2.wav"}));
    EXPECT_EQ(music.Position(), 2);
}

TEST(MusicSequence, FilesThatDoNotOpenAreSkipped) {
    FakeDevice device;
    device.broken = {"1.wav", "3.wav"};
    player::MusicSequence music(device);
    music.Start({"1.wav", "2.wav", "3.wav", "4.wav"}, Mode("RepeatMusic"));
    EXPECT_EQ(device.Played(), std::vector<std::string>{"2.wav"});
    PlayOut(device, music, 2);
    EXPECT_EQ(device.Played(), (std::vector<std::string>{"2.wav", "4.wav", "2.wav"}));

    // Nothing opens: the poll gives up after one round instead of retrying every 100 ms.
    device.broken = {"1.wav", "2.wav", "3.wav"};
    device.log.clear();
    device.queries = 0;
    music.Start(kThree, Mode("RepeatMusic"));
    music.Poll();
    EXPECT_FALSE(music.Polling());
    EXPECT_EQ(device.log.size(), 6u);  // three opens at the start, three on the poll
    EXPECT_EQ(device.queries, 0);      // no device was open to ask
    music.Close();
    EXPECT_TRUE(device.Played().empty());
}

TEST(MusicSequence, CloseStopsAtOnceAndTheNextShowStartsFromTheFirstFile) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("RepeatMusic"));
    PlayOut(device, music, 1);
    device.position = 100;  // in the middle of 2.wav
    music.Close();
    EXPECT_EQ(device.log.back(), "stop");
    EXPECT_FALSE(music.Polling());
    size_t calls = device.log.size();
    PlayOut(device, music, 1);  // a late tick does nothing
    EXPECT_EQ(device.log.size(), calls);

    music.Start(kThree, Mode("RepeatMusic"));
    EXPECT_EQ(device.Played().back(), "1.wav");
    EXPECT_EQ(music.Position(), 1);
}

TEST(MusicSequence, NoMusicOrAnEmptyListStaysIdle) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("No music"));
    EXPECT_FALSE(music.Polling());
    music.Start({}, Mode("RepeatMusic"));
    EXPECT_FALSE(music.Polling());
    music.Poll();
    music.Close();
    EXPECT_TRUE(device.log.empty());
}

}  // namespace
