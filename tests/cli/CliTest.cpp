#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

struct CliRun {
    int exitCode;
    std::string out;  // standard output
};

// Runs pictavo-cli with `args` (shell words); standard error joins the output or is dropped.
CliRun RunCli(const std::string& args, bool withErrors = false) {
    const std::string command =
        std::string(PICTAVO_CLI) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {-1, {}};
    std::string out;
    std::array<char, 4096> buffer;
    while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        out.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(Cli, HelpAndVersionGoToStandardOutputAndSucceed) {
    for (const char* args : {"--help", "help", "-h"}) {
        SCOPED_TRACE(args);
        CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.out.find("pictavo-cli decode IN OUT.bmp"), std::string::npos);
    }
    CliRun version = RunCli("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("pictavo-cli ", 0), 0u);
    EXPECT_EQ(RunCli("").exitCode, 2);  // no command: usage on standard error
}

TEST(Cli, RefusalsExplainThemselves) {
    const std::string bmp = std::string(PICTAVO_TEST_DATA) + "/bmp/bgr24.bmp";
    const std::string out = (std::filesystem::temp_directory_path() / "pictavo-cli-out").string();
    struct Case {
        std::string args;
        std::string message;  // part of standard error
    } cases[] = {
        // BMP data in a file named .png would mislabel it.
        {"decode " + bmp + " " + out + ".png", "must end in .bmp"},
        // An unknown effect lists the valid names and aliases.
        {"render no-such-effect " + bmp + " " + bmp + " --size 8x8", "wipe-down-and-left"},
        {"render 11 " + bmp + " " + bmp + " --size 8x8 --frames " + out + " --every 0",
         "--every takes a whole number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        CliRun run = RunCli(c.args, true);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(out + ".png"));
}

}  // namespace
