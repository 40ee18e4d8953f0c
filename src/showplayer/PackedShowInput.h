#pragma once

#include "pack/PackedShow.h"
#include "pack/TemporaryFolder.h"
#include "player/qt/PlayerWindow.h"

namespace showplayer {

// The player's input for a packed show: its slots, picture paths (for the captions) and
// effect set; its music written as files into `musicFolder`; its pictures and background
// decoded from the show's own blocks when the player asks for them. `show` must outlive
// the input. Throws core::FileError when a music file cannot be written.
player::ShowInput MakeShowInput(const pack::PackedShow& show,
                                const pack::TemporaryFolder& musicFolder);

}  // namespace showplayer
