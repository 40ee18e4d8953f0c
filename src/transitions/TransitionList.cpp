#include "transitions/TransitionList.h"

#include <algorithm>

namespace transitions {

TransitionList::~TransitionList() {
    // Destroying the list destroys every effect still in it, last first.
    while (!m_effects.empty()) {
        TransitionEffect* effect = m_effects.back();
        m_effects.pop_back();
        m_names.pop_back();
        m_classes.pop_back();
        if (effect) {
            effect->m_list = nullptr;
            delete effect;
        }
    }
}

int TransitionList::IndexOf(const std::string& name) const {
    auto it = std::find(m_names.begin(), m_names.end(), name);
    return it == m_names.end() ? -1 : int(it - m_names.begin());
}

void TransitionList::Add(std::unique_ptr<TransitionEffect> effect, std::string name,
                         std::string className) {
    TransitionEffect* raw = effect.release();
    if (raw) {
        if (raw->m_list) raw->m_list->Remove(raw);
        raw->m_list = this;
        raw->Name = name;
    }
    m_effects.push_back(raw);
    m_names.push_back(std::move(name));
    m_classes.push_back(std::move(className));
}

void TransitionList::Remove(TransitionEffect* effect) {
    auto it = std::find(m_effects.begin(), m_effects.end(), effect);
    if (it == m_effects.end()) return;
    size_t i = size_t(it - m_effects.begin());
    m_effects.erase(it);
    m_names.erase(m_names.begin() + long(i));
    m_classes.erase(m_classes.begin() + long(i));
    effect->m_list = nullptr;
}

}  // namespace transitions
