#include "settings/ShowSettings.h"

#include <charconv>
#include <stdexcept>

namespace settings {

const core::StringList& StartDefaults() {
    static const core::StringList values = {
        "2",    "80",    "Random", "No music", "$00D5E7EA_clWhite",
        "Loop", "Color", "Tile",   "No",       "Shadow"};
    return values;
}

const core::StringList& SetDefaultsValues() {
    static const core::StringList values = {
        "2",    "100",   "Random", "No music", "$00281800_$00281800",
        "Loop", "Color", "Tile",   "No",       "No"};
    return values;
}

const core::StringList& StandardEffectSet() {
    static const core::StringList set = {"1",  "2",  "4",  "6",  "9",  "11", "12",
                                         "13", "14", "15", "17", "19", "20"};
    return set;
}

void ShowSettings::SetSlot(int index, std::string text) {
    if (index == Count()) {
        m_slots.push_back(std::move(text));
        return;
    }
    if (index < 0 || index > Count()) throw std::out_of_range("show settings slot index");
    m_slots[static_cast<size_t>(index)] = std::move(text);
}

void ShowSettings::WriteAll(const core::StringList& values) {
    for (int i = 0; i < kSlotCount; ++i) SetSlot(i, values[static_cast<size_t>(i)]);
}

std::optional<int> ParseWholeNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace settings
