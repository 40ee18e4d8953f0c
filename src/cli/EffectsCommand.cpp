#include <cstdio>
#include <stdexcept>

#include "cli/Commands.h"
#include "settings/ShowSettings.h"
#include "transitions/EffectTable.h"

namespace cli {

int Effects(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "--standard-set") {
        // The lines of a project's effect set, so scripts write the same set the editor
        // starts with.
        for (const std::string& line : settings::StandardEffectSet())
            std::printf("%s\n", line.c_str());
        return 0;
    }
    if (!args.empty()) throw std::runtime_error("effects takes no arguments but --standard-set");
    const auto& table = transitions::ShowEffectTable();
    for (size_t i = 0; i < table.size(); ++i)
        std::printf("%2zu  %-12s %s\n", i, table[i].Name.c_str(),
                    transitions::EffectAlias(table[i]).c_str());
    return 0;
}

}  // namespace cli
