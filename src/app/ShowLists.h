#pragma once

#include <utility>

#include "core/StringList.h"
#include "settings/ShowSettings.h"

namespace app {

// The show's effect set and music list. Their dialogs own them (the effect chooser and the
// options dialog); the editor's model reads and replaces them through this, so it needs no
// widget.
class ShowLists {
public:
    virtual ~ShowLists() = default;

    virtual const core::StringList& EffectSet() const = 0;
    virtual void SetEffectSet(core::StringList set) = 0;
    virtual const core::StringList& MusicList() const = 0;
    virtual void SetMusicList(core::StringList paths) = 0;
};

// The two lists in memory, starting as the chooser starts: the standard set, no music.
class MemoryShowLists final : public ShowLists {
public:
    const core::StringList& EffectSet() const override { return m_effects; }
    void SetEffectSet(core::StringList set) override { m_effects = std::move(set); }
    const core::StringList& MusicList() const override { return m_music; }
    void SetMusicList(core::StringList paths) override { m_music = std::move(paths); }

private:
    core::StringList m_effects = settings::StandardEffectSet();
    core::StringList m_music;
};

}  // namespace app
