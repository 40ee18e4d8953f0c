#pragma once

#include <string>
#include <vector>

namespace pack {

// How the show player was started. Screen savers are started with "/s" to run, "/c" (or
// "/c:window") to configure and "/p window" to draw a preview; anything else plays the
// show as an application.
enum class ShowPlayerMode { Application, ScreenSaver, Configure, Preview };

ShowPlayerMode ParseShowPlayerMode(const std::vector<std::string>& args);

}  // namespace pack
