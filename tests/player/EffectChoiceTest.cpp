#include <gtest/gtest.h>

#include "player/EffectChoice.h"

namespace {

// The seed whose next step is `next`, so a case can name the fraction it draws.
uint32_t SeedBefore(uint32_t next) {
    uint32_t a = 134775813u;
    uint32_t inverse = a;  // Newton's iteration for the inverse modulo 2^32 (a is odd)
    for (int i = 0; i < 5; ++i) inverse *= 2u - a * inverse;
    return (next - 1u) * inverse;
}

struct ChoiceCase {
    const char* name;
    core::StringList set;
    uint32_t nextSeed;  // r = nextSeed / 2^32
    std::optional<int> expected;
};

TEST(EffectChoice, RoundsTheDrawToALineHalvesToEven) {
    const ChoiceCase cases[] = {
        {"r 0.25 of 3 lines: 0.5 -> line 0", {"1", "2", "3"}, 0x40000000u, 1},
        {"r 0.5 of 3 lines: 1.0 -> line 1", {"1", "2", "3"}, 0x80000000u, 2},
        {"r 0.75 of 3 lines: 1.5 -> line 2", {"1", "2", "3"}, 0xC0000000u, 3},
        {"r 0.5 of 2 lines: 0.5 -> line 0", {"4", "9"}, 0x80000000u, 4},
        {"r just below 1 of 2 lines", {"4", "9"}, 0xFFFFFFFFu, 9},
        {"one line always", {"12"}, 0xFFFFFFFFu, 12},
        {"last index of the list", {"21"}, 0u, 21},
        {"index past the list", {"22"}, 0u, std::nullopt},
        {"negative index", {"-1"}, 0u, std::nullopt},
        {"not a number", {"Puzzle"}, 0u, std::nullopt},
        {"empty set", {}, 0x80000000u, std::nullopt},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.name);
        core::Random random;
        random.SetSeed(SeedBefore(c.nextSeed));
        EXPECT_EQ(player::ChooseEffect(c.set, random), c.expected);
        EXPECT_EQ(random.Seed(), c.nextSeed);  // one draw, also for an empty set
    }
}

TEST(EffectChoice, DrawsFromTheProgramGenerator) {
    core::Random& shared = core::ProgramRandom();
    uint32_t saved = shared.Seed();
    shared.SetSeed(SeedBefore(0xC0000000u));
    EXPECT_EQ(player::ChooseEffect({"5", "6", "7"}), 7);
    EXPECT_EQ(shared.Seed(), 0xC0000000u);
    shared.SetSeed(saved);
}

}  // namespace
