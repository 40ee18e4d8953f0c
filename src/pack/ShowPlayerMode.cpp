#include "pack/ShowPlayerMode.h"

namespace pack {

ShowPlayerMode ParseShowPlayerMode(const std::vector<std::string>& args) {
    if (args.empty()) return ShowPlayerMode::Application;
    const std::string& first = args[0];
    // Screen-saver hosts write the switch in either case and with '-' or '/', and may
    // append the window handle after a colon.
    if (first.size() < 2 || (first[0] != '/' && first[0] != '-'))
        return ShowPlayerMode::Application;
    if (first.size() > 2 && first[2] != ':') return ShowPlayerMode::Application;
    switch (first[1]) {
        case 's':
        case 'S':
            return ShowPlayerMode::ScreenSaver;
        case 'c':
        case 'C':
            return ShowPlayerMode::Configure;
        case 'p':
        case 'P':
            return ShowPlayerMode::Preview;
        default:
            return ShowPlayerMode::Application;
    }
}

}  // namespace pack
