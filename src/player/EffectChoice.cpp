#include "player/EffectChoice.h"

#include "core/Rounding.h"
#include "settings/ShowSettings.h"

namespace player {

std::optional<int> ChooseEffect(const core::StringList& effectSet, core::Random& random) {
    double r = random.NextFraction();
    if (effectSet.empty()) return std::nullopt;
    int64_t k = core::RoundHalfEven(r * double(effectSet.size() - 1));
    std::optional<int> index = settings::ParseWholeNumber(effectSet[size_t(k)]);
    if (!index || *index < 0 || *index >= kPlayerEffectCount) return std::nullopt;
    return index;
}

}  // namespace player
