#pragma once

#include <memory>
#include <string>
#include <vector>

#include "transitions/TransitionEffect.h"

namespace transitions {

// An ordered list of effects that owns them.
class TransitionList {
public:
    TransitionList() = default;
    ~TransitionList();
    TransitionList(const TransitionList&) = delete;
    TransitionList& operator=(const TransitionList&) = delete;

    int Count() const { return int(m_effects.size()); }
    // The effect at `index` in list order; none when its class is not available.
    TransitionEffect* Transitions(int index) const { return m_effects.at(size_t(index)); }
    // The name of the effect at `index` as the table gave it (also for a missing class).
    const std::string& NameAt(int index) const { return m_names.at(size_t(index)); }
    const std::string& ClassNameAt(int index) const { return m_classes.at(size_t(index)); }
    int IndexOf(const std::string& name) const;

    // Takes ownership; `effect` may be null for a class that is not available.
    void Add(std::unique_ptr<TransitionEffect> effect, std::string name, std::string className);
    // Called by an effect leaving the list.
    void Remove(TransitionEffect* effect);

private:
    std::vector<TransitionEffect*> m_effects;
    std::vector<std::string> m_names;
    std::vector<std::string> m_classes;
};

}  // namespace transitions
