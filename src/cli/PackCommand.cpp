#include <cstdio>
#include <optional>
#include <stdexcept>

#include "cli/Commands.h"
#include "core/StringList.h"
#include "pack/PackedShow.h"
#include "pack/ShowBuilder.h"
#include "project/ProjectFile.h"

namespace cli {

int Pack(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    std::string stub;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--stub") {
            if (i + 1 >= args.size()) throw std::runtime_error("--stub needs a path");
            stub = args[++i];
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) throw std::runtime_error("pack needs PROJECT.orv and TARGET");
    if (stub.empty()) stub = pack::FindShowPlayer(pack::ProgramFolder());

    // The project file's lines are the settings block the editor's last save assembled.
    core::StringList block = core::LoadStringList(files[0], project::kMaxProjectFileBytes);
    project::ParseSettingsBlock(block, files[0]);
    pack::ShowBuilder builder(stub, std::move(block));
    pack::BuildResult result = builder.Build(files[1]);
    std::printf("%s\n", pack::SizeMessage(result.FileBytes).c_str());
    return 0;
}

bool PrintPackedShowInfo(const std::string& path) {
    std::optional<pack::PackedShow> show;
    try {
        show = pack::PackedShow::Open(path);
    } catch (const pack::DamagedShowError&) {
        // A program file is meant to be a show, so its damage is the news; anything
        // else may still be a project file.
        if (pack::MappedFile(path).Bytes().starts_with("\x7f"
                                                       "ELF"))
            throw;
        return false;
    }
    PrintShowParts(show->Parts());
    std::printf("packed show: player %llu bytes\n",
                static_cast<unsigned long long>(show->PlayerBytes()));
    const auto& sizes = show->BlockSizes();
    size_t next = 0;
    auto line = [&](const std::string& what) {
        std::printf("  %s: %llu bytes\n", what.c_str(),
                    static_cast<unsigned long long>(sizes[next++]));
    };
    line("settings block");
    if (show->HasBackground()) line("background");
    for (size_t i = 0; i < show->MusicCount(); ++i) line("music " + std::to_string(i + 1));
    for (size_t i = 0; i < show->PictureCount(); ++i) line("picture " + std::to_string(i + 1));
    return true;
}

}  // namespace cli
