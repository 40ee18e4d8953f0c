#pragma once

#include <optional>

#include "core/Random.h"
#include "core/StringList.h"

namespace player {

// The number of effects in the player's list; the chooser never stores the last one.
constexpr int kPlayerEffectCount = 22;

// Draws the next effect from the effect set: k = round(r x (n - 1)), halves to even, with r
// from `random`, and answers the effect index on line k. The draw happens on every call, even
// for an empty set, so the generator's sequence does not depend on the set's contents. An
// empty set, or a line that is not an index 0 .. 21, answers nothing: the picture changes
// without animation.
std::optional<int> ChooseEffect(const core::StringList& effectSet,
                                core::Random& random = core::ProgramRandom());

}  // namespace player
