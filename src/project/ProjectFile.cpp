#include "project/ProjectFile.h"

#include "core/Error.h"

namespace project {

core::StringList BuildSettingsBlock(const settings::ShowSettings& slots,
                                    const core::StringList& pictures,
                                    const core::StringList& effects,
                                    const core::StringList& music) {
    core::StringList block;
    block.reserve(12 + pictures.size() + effects.size() + music.size());
    for (int i = 0; i < settings::kSlotCount; ++i) block.push_back(slots.Slot(i));
    block.insert(block.end(), pictures.begin(), pictures.end());
    block.emplace_back(kTransMarker);
    block.insert(block.end(), effects.begin(), effects.end());
    block.emplace_back(kMusicMarker);
    if (slots.Slot(settings::kMusicModeSlot) != settings::kNoMusic)
        block.insert(block.end(), music.begin(), music.end());
    return block;
}

ShowParts ParseSettingsBlock(const core::StringList& lines, const std::string& source) {
    // The last line that is exactly each marker, as the format defines them.
    std::optional<size_t> trans, music;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == kTransMarker) trans = i;
        if (lines[i] == kMusicMarker) music = i;
    }
    size_t slotCount = settings::kSlotCount;
    if (lines.size() < slotCount + 2 || !trans || !music || *trans < slotCount || *music < *trans)
        throw core::Error("The file \"" + source + "\" is not a Pictavo Pro project file.");

    using Diff = core::StringList::difference_type;
    auto at = [&](size_t i) { return lines.begin() + static_cast<Diff>(i); };
    ShowParts parts;
    parts.Slots.assign(lines.begin(), at(slotCount));
    parts.Pictures.assign(at(slotCount), at(*trans));
    parts.Effects.assign(at(*trans + 1), at(*music));
    if (parts.Slots[settings::kMusicModeSlot] != settings::kNoMusic)
        parts.Music = core::StringList(at(*music + 1), lines.end());
    return parts;
}

void WriteProjectFile(const std::string& path, const core::StringList& block) {
    core::SaveStringList(path, block);
}

void ReadProjectFile(const std::string& path, settings::ShowSettings& slots,
                     core::StringList& pictures, core::StringList& effects,
                     core::StringList& music) {
    ShowParts parts = ParseSettingsBlock(core::LoadStringList(path, kMaxProjectFileBytes), path);
    for (int i = 0; i < settings::kSlotCount; ++i)
        slots.SetSlot(i, std::move(parts.Slots[static_cast<size_t>(i)]));
    pictures = std::move(parts.Pictures);
    effects = std::move(parts.Effects);
    if (parts.Music) music = std::move(*parts.Music);
}

}  // namespace project
