#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/Error.h"
#include "player/MusicSequence.h"

namespace {

// Plays nothing: records the calls and lets the test move the play position. Files in
// `broken` throw on open, as a real device does, and leave no file open.
class FakeDevice : public player::MusicDevice {
public:
    std::set<std::string> broken;
    std::vector<std::string> log;
    int64_t position = 0;
    int64_t length = 3000;
    bool open = false;

    void Open(const std::string& path) override {
        log.push_back("open " + path);
        position = 0;
        open = !broken.contains(path);
        if (!open) throw core::Error("The music file \"" + path + "\" cannot be opened.");
    }
    void Play() override { Use("play"); }
    void Stop() override { Use("stop"); }
    int64_t LengthMs() override { return Use("length"), length; }
    int64_t PositionMs() override { return Use("position"), position; }

    // The files started, in order.
    std::vector<std::string> Played() const {
        std::vector<std::string> played;
        for (size_t i = 0; i + 1 < log.size(); ++i) {
            if (log[i].starts_with("open ") && log[i + 1] == "play")
                played.push_back(log[i].substr(5));
        }
        return played;
    }
    // Every file the sequence tried to open, in order.
    std::vector<std::string> Opened() const {
        std::vector<std::string> opened;
        for (const std::string& entry : log)
            if (entry.starts_with("open ")) opened.push_back(entry.substr(5));
        return opened;
    }

private:
    // A real device fails every request but open while no file is open.
    void Use(const char* request) {
        EXPECT_TRUE(open) << request << " without an open file";
        log.push_back(request);
    }
};

settings::ShowSettings Mode(const char* music) {
    settings::ShowSettings s;
    s.WriteStartDefaults();
    s.SetSlot(settings::kMusicModeSlot, music);
    return s;
}

using Files = std::vector<std::string>;
const core::StringList kThree{"1.wav", "2.wav", "3.wav"};

// Lets the playing file run out `count` times, polling at its end.
void PlayOut(FakeDevice& device, player::MusicSequence& music, int count) {
    for (int i = 0; i < count; ++i) {
        device.position = device.length;
        music.Poll();
    }
}

TEST(MusicSequence, PlaysInListOrderRepeatingOrStopping) {
    struct Case {
        const char* mode;
        core::StringList files;
        Files played;
        int position;  // after the six polls
    };
    const Case cases[] = {
        {"RepeatMusic", kThree, {"1.wav", "2.wav", "3.wav", "1.wav", "2.wav", "3.wav", "1.wav"}, 1},
        {"NoRepeat", kThree, {"1.wav", "2.wav", "3.wav"}, 3},
        {"repeatmusic", kThree, {"1.wav", "2.wav", "3.wav"}, 3},  // only the exact text repeats
        {"RepeatMusic", {"1.wav"}, Files(7, "1.wav"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode + std::string(" ") + std::to_string(c.files.size()));
        FakeDevice device;
        player::MusicSequence music(device);
        music.Start(c.files, Mode(c.mode));
        EXPECT_TRUE(music.Polling());
        EXPECT_EQ(music.Position(), 1);
        PlayOut(device, music, 6);
        EXPECT_EQ(device.Played(), c.played);
        EXPECT_EQ(music.Position(), c.position);
        EXPECT_TRUE(music.Polling());  // after the end the poll goes on quietly
    }
}

TEST(MusicSequence, NextFileStartsWithinTheLastTenUnits) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("NoRepeat"));
    device.position = device.length - 10;  // L >= P + 10: still playing
    music.Poll();
    EXPECT_EQ(device.Played(), Files{"1.wav"});
    device.position = device.length - 9;
    music.Poll();
    EXPECT_EQ(device.Played(), (Files{"1.wav", "2.wav"}));
    EXPECT_EQ(music.Position(), 2);
}

TEST(MusicSequence, FirstFileThatDoesNotOpenFailsTheStart) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("NoRepeat"));  // a previous show leaves 1.wav open
    music.Close();
    device.broken = {"1.wav"};
    device.log.clear();
    try {
        music.Start(kThree, Mode("RepeatMusic"));
        ADD_FAILURE() << "no error";
    } catch (const core::Error& e) {
        EXPECT_NE(std::string(e.what()).find("1.wav"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(music.Polling());
    PlayOut(device, music, 1);  // a late tick and the close touch no device
    music.Close();
    EXPECT_EQ(device.log, Files{"open 1.wav"});
}

TEST(MusicSequence, FilesThatFailInTheMiddleOfAShowAreSkipped) {
    struct Case {
        const char* name;
        const char* mode;
        std::set<std::string> broken;  // from the first poll on
        int polls;
        Files opened;  // after the start's 1.wav
        bool polling;
        int position;
    };
    const Case cases[] = {
        {"skip to the next", "NoRepeat", {"2.wav"}, 2, {"2.wav", "3.wav"}, true, 3},
        {"nothing after", "NoRepeat", {"2.wav", "3.wav"}, 2, {"2.wav", "3.wav"}, true, 3},
        {"wrap past the end",
         "RepeatMusic",
         {"3.wav"},
         3,
         {"2.wav", "3.wav", "1.wav", "2.wav"},
         true,
         2},
        {"wrap past the first",
         "RepeatMusic",
         {"1.wav", "3.wav"},
         2,
         {"2.wav", "3.wav", "1.wav", "2.wav"},
         true,
         2},
        // Nothing opens any more: one round of tries, then the poll gives up.
        {"none left",
         "RepeatMusic",
         {"1.wav", "2.wav", "3.wav"},
         3,
         {"2.wav", "3.wav", "1.wav"},
         false,
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDevice device;
        player::MusicSequence music(device);
        music.Start(kThree, Mode(c.mode));
        device.broken = c.broken;
        device.log.clear();
        PlayOut(device, music, c.polls);
        EXPECT_EQ(device.Opened(), c.opened);
        EXPECT_EQ(music.Polling(), c.polling);
        EXPECT_EQ(music.Position(), c.position);
        music.Close();  // stops only a file that is open
        EXPECT_EQ(device.log.back() == "stop", device.open);
    }
}

TEST(MusicSequence, ActivationMakesTheSecondFileNext) {
    FakeDevice device;
    player::MusicSequence music(device);
    music.Start(kThree, Mode("NoRepeat"));
    PlayOut(device, music, 2);  // 3.wav plays
    device.position = 100;
    music.Activate();  // the help window closed: 3.wav goes on
    EXPECT_EQ(music.Position(), 1);
    music.Poll();
    PlayOut(device, music, 1);
    EXPECT_EQ(device.Played(), (Files{"1.wav", "2.wav", "3.wav", "2.wav"}));
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
    music.Activate();
    music.Poll();
    music.Close();
    EXPECT_TRUE(device.log.empty());
}

}  // namespace
