#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/Error.h"
#include "core/StringList.h"

namespace {

TEST(StringList, EveryBreakEndsALine) {
    struct Case {
        std::string text;
        core::StringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},  // LF then CR: two breaks, not a pair
        {"x\r", {"x"}},
        {std::string("\xE9t\xE9\0z\r\n", 7), {std::string("\xE9t\xE9\0z", 5)}},
    };
    for (const auto& c : cases) EXPECT_EQ(core::SplitLines(c.text), c.lines) << c.text;
}

TEST(StringList, WritesCrLfAfterEveryLineAndRoundTrips) {
    core::StringList lines = {"C:\\My Pictures\\b\xE9\xE9.jpg", "", "[TRANS]"};
    std::string text = core::JoinLines(lines);
    EXPECT_EQ(text, "C:\\My Pictures\\b\xE9\xE9.jpg\r\n\r\n[TRANS]\r\n");
    EXPECT_EQ(core::SplitLines(text), lines);
}

TEST(StringList, SaveReplacesAtomicallyAndLoadReportsMissingFiles) {
    auto dir = std::filesystem::temp_directory_path() / "pictavo-stringlist-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::string path = (dir / "list.lst").string();
    core::SaveStringList(path, {"one", "two"});
    core::SaveStringList(path, {"three"});
    EXPECT_EQ(core::LoadStringList(path), core::StringList{"three"});
    // Only the target remains: no temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    EXPECT_THROW(core::LoadStringList((dir / "missing.lst").string()), core::FileError);
    // A write into a folder that does not exist fails and reports it.
    EXPECT_THROW(core::SaveStringList((dir / "no" / "such.lst").string(), {"x"}), core::FileError);
    std::filesystem::remove_all(dir);
}

}  // namespace
