// pictavo-cli: headless commands over the show's libraries.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "core/Memory.h"
#include "core/Version.h"

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage:\n"
        "  pictavo-cli help | --help | --version\n"
        "  pictavo-cli decode IN OUT.bmp [--scale 1/2|1/4|1/8]\n"
        "      decode any picture (BMP, JPEG, GIF) into a 24-bit BMP file\n"
        "  pictavo-cli info PROJECT.orv|SHOW\n"
        "      print a project's or packed show's settings, picture count, effect set and\n"
        "      music list, and a packed show's block sizes\n"
        "  pictavo-cli pack PROJECT.orv TARGET [--stub PATH]\n"
        "      pack a project into a standalone show (default player: pictavo-show beside\n"
        "      this program)\n"
        "  pictavo-cli render EFFECT FROM TO --size WxH [--frames DIR [--every N]] [--ms N]\n"
        "      run one effect of the show's list (name, alias or index) headless from picture\n"
        "      FROM to picture TO; --frames writes every frame (or every Nth) as a BMP, --ms\n"
        "      overrides the duration\n"
        "  pictavo-cli effects [--standard-set]\n"
        "      list the show's effects: index, name and alias; --standard-set prints the\n"
        "      indexes of the effect set a new project starts with\n",
        to);
}

}  // namespace

int main(int argc, char** argv) {
    core::KeepLargeAllocations();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("pictavo-cli %.*s\n", int(core::kVersion.size()), core::kVersion.data());
        return 0;
    }
    try {
        std::string command = args[0];
        args.erase(args.begin());
        if (command == "decode") return cli::Decode(args);
        if (command == "info") return cli::Info(args);
        if (command == "render") return cli::Render(args);
        if (command == "effects") return cli::Effects(args);
        if (command == "pack") return cli::Pack(args);
        std::fprintf(stderr, "pictavo-cli: unknown command \"%s\"\n", command.c_str());
        PrintUsage(stderr);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictavo-cli: %s\n", e.what());
        return 1;
    }
}
