// Feeds arbitrary bytes to the project reader's line splitter and block parser.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Error.h"
#include "core/StringList.h"
#include "project/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    core::StringList lines = core::SplitLines(bytes);
    try {
        project::ShowParts parts = project::ParseSettingsBlock(lines, "fuzz.orv");
        settings::ShowSettings opt;
        for (int i = 0; i < settings::kSlotCount; ++i) opt.SetSlot(i, parts.Slots[size_t(i)]);
        core::StringList music = parts.Music.value_or(core::StringList{});
        core::StringList again =
            project::BuildSettingsBlock(opt, parts.Pictures, parts.Effects, music);
        // What the writer makes of a parsed block parses back to the same parts.
        project::ShowParts reread =
            project::ParseSettingsBlock(core::SplitLines(core::JoinLines(again)), "x");
        if (reread.Slots != parts.Slots || reread.Effects != parts.Effects) __builtin_trap();
    } catch (const core::Error&) {
    }
    return 0;
}
