#include "core/Random.h"

#include <chrono>

namespace core {

void Random::Randomize() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto day = floor<days>(now);
    m_seed = static_cast<uint32_t>(duration_cast<milliseconds>(now - day).count());
}

Random& ProgramRandom() {
    static Random generator;
    return generator;
}

}  // namespace core
