#include <gtest/gtest.h>

#include "core/Random.h"
#include "core/Rounding.h"

namespace {

TEST(Random, FollowsTheLinearCongruentialSequence) {
    core::Random r;
    r.SetSeed(0);
    EXPECT_EQ(r.Next(100), 0u);  // seed 1: (1 * 100) >> 32
    EXPECT_EQ(r.Seed(), 1u);
    r.SetSeed(1642000);
    uint32_t expected = 1642000u * 134775813u + 1u;
    uint32_t v = r.Next(1000);
    EXPECT_EQ(r.Seed(), expected);
    EXPECT_EQ(v, uint32_t((uint64_t(expected) * 1000) >> 32));
    r.SetSeed(0xFFFFFFFFu);
    double f = r.NextFraction();
    EXPECT_EQ(f, double(0xFFFFFFFFu * 134775813u + 1u) / 4294967296.0);
    EXPECT_LT(f, 1.0);
    EXPECT_EQ(r.Next(0), 0u);
}

TEST(Random, ProgramGeneratorIsShared) {
    core::ProgramRandom().SetSeed(42);
    EXPECT_EQ(core::ProgramRandom().Seed(), 42u);
    EXPECT_EQ(&core::ProgramRandom(), &core::ProgramRandom());
}

TEST(Rounding, HalvesFollowTheirRules) {
    struct {
        double v;
        int64_t even;
    } round[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2}, {2.5001, 3}};
    for (auto c : round) EXPECT_EQ(core::RoundHalfEven(c.v), c.even) << c.v;

    EXPECT_EQ(core::HalfTrunc(7), 3);
    EXPECT_EQ(core::HalfTrunc(-7), -3);

    struct {
        int a, b, c, r;
    } muldiv[] = {
        {1, 1, 2, 1},
        {3, 1, 2, 2},
        {-1, 1, 2, -1},
        {-3, 1, 2, -2},
        {5, 1, 3, 2},
        {255, 128, 255, 128},
        {100000, 100000, 3, -1 /* overflow */},
        {1, 1, 0, -1},
        {7, -3, 2, -11},
        {2147483647, 2, 2, 2147483647},
    };
    for (auto c : muldiv)
        EXPECT_EQ(core::MulDiv(c.a, c.b, c.c), c.r) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
