#pragma once

#include <cstdint>

namespace core {

// The program-wide pseudo-random generator: one 32-bit seed shared by the player's
// effect choice, the block orders and the wipe's band mask. Those parts reseed it at
// fixed moments, so its sequence is part of what the program draws.
class Random {
public:
    uint32_t Seed() const { return m_seed; }
    void SetSeed(uint32_t seed) { m_seed = seed; }

    // Reseeds from the clock: the milliseconds since midnight.
    void Randomize();

    // A whole number in 0 .. n - 1 (0 when n is 0).
    uint32_t Next(uint32_t n) {
        Step();
        return static_cast<uint32_t>((static_cast<uint64_t>(m_seed) * n) >> 32);
    }

    // A fraction in [0, 1).
    double NextFraction() {
        Step();
        return static_cast<double>(m_seed) / 4294967296.0;
    }

private:
    void Step() { m_seed = m_seed * 134775813u + 1u; }

    uint32_t m_seed = 0;
};

// The one generator every part of the program draws from.
Random& ProgramRandom();

}  // namespace core
