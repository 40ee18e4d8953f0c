#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/StringList.h"

namespace settings {

// Slot indexes of the show settings.
enum Slot : int {
    kAdvanceSlot = 0,     // whole seconds, or "Manual"
    kSizeSlot = 1,        // percentage, or "No"
    kEffectModeSlot = 2,  // "Random" or "No effect"
    kMusicModeSlot = 3,   // "No music", "RepeatMusic" or "NoRepeat"
    kBackDataSlot = 4,    // colour pair, or the background picture's path
    kLoopSlot = 5,        // "Loop" or "No"
    kBackKindSlot = 6,    // "Color" or "BackFile"
    kPlacementSlot = 7,   // "Tile", "Center" or "Stretch"
    kCaptionSlot = 8,     // "No", or a colour text
    kShadowSlot = 9,      // "Shadow" or "No"
    kSlotCount = 10,
};

// The exact texts the slots are tested against.
inline constexpr std::string_view kManual = "Manual";
inline constexpr std::string_view kNo = "No";
inline constexpr std::string_view kNoEffect = "No effect";
inline constexpr std::string_view kRandom = "Random";
inline constexpr std::string_view kNoMusic = "No music";
inline constexpr std::string_view kRepeatMusic = "RepeatMusic";
inline constexpr std::string_view kNoRepeat = "NoRepeat";
inline constexpr std::string_view kLoop = "Loop";
inline constexpr std::string_view kColor = "Color";
inline constexpr std::string_view kBackFile = "BackFile";
inline constexpr std::string_view kTile = "Tile";
inline constexpr std::string_view kCenter = "Center";
inline constexpr std::string_view kStretch = "Stretch";
inline constexpr std::string_view kShadow = "Shadow";

// Written at program start and by New.
const core::StringList& StartDefaults();
// Written by the options dialog's "Set defaults".
const core::StringList& SetDefaultsValues();

// The show settings, `OptList`: ten text slots compared as whole, case-sensitive texts.
class ShowSettings {
public:
    ShowSettings() = default;

    int Count() const { return static_cast<int>(m_slots.size()); }
    const std::string& Slot(int index) const { return m_slots.at(static_cast<size_t>(index)); }
    // Replaces slot `index`; writing at the index equal to the count appends.
    void SetSlot(int index, std::string text);

    const core::StringList& Slots() const { return m_slots; }
    void Clear() { m_slots.clear(); }

    void WriteStartDefaults() { WriteAll(StartDefaults()); }
    void WriteSetDefaults() { WriteAll(SetDefaultsValues()); }

    // Readers of the slots, each testing the exact texts the program writes.
    bool ManualAdvance() const { return Slot(kAdvanceSlot) == kManual; }
    bool FitToScreen() const { return Slot(kSizeSlot) != kNo; }
    bool EffectsOn() const { return Slot(kEffectModeSlot) != kNoEffect; }
    bool MusicOn() const { return Slot(kMusicModeSlot) != kNoMusic; }
    bool RepeatMusic() const { return Slot(kMusicModeSlot) == kRepeatMusic; }
    bool Loops() const { return Slot(kLoopSlot) == kLoop; }
    bool BackgroundFile() const { return Slot(kBackKindSlot) == kBackFile; }
    bool CaptionOn() const { return Slot(kCaptionSlot) != kNo; }
    bool ShadowOn() const { return Slot(kShadowSlot) == kShadow; }

private:
    void WriteAll(const core::StringList& values);

    core::StringList m_slots;
};

// A slot read as a whole number ("2", "80"). Hand-edited files may hold anything, so a
// text that is not a number within int range answers nothing and the caller decides.
std::optional<int> ParseWholeNumber(std::string_view text);

// The effect set the program starts with: Puzzle, Large puzzle, Large blocks, Sweep
// clockwise, Drip down, the wipes down, left, right, up, down-left, up-left, in and out.
const core::StringList& StandardEffectSet();

}  // namespace settings
