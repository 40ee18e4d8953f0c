#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "codecs/BmpPicture.h"
#include "codecs/JpegPicture.h"
#include "core/StringList.h"
#include "project/ProjectFile.h"
#include "settings/ShowSettings.h"

// A folder of small pictures, music files and a stand-in show player for packing tests.
class PackFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("pictavo-pack-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_opt.WriteStartDefaults();
        m_stub = Write("pictavo-show", std::string("\x7f"
                                                   "ELF stand-in player\0\r\n",
                                                   24));
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Read(const std::string& path) { return core::ReadFileBytes(path, 1 << 26); }

    // A small JPEG of one colour; different colours give different files.
    std::string WriteJpeg(const std::string& name, raster::Rgb colour, int width = 16) const {
        raster::Bitmap bitmap(width, 8, raster::PixelFormat::Bits24);
        bitmap.Fill(colour);
        return Write(name, codecs::EncodeJpeg(bitmap, 90));
    }

    core::StringList Block(const core::StringList& pictures,
                           const core::StringList& music = {}) const {
        return project::BuildSettingsBlock(m_opt, pictures, {"1", "2"}, music);
    }

    // The file's size table lines and trailer, read from its end as a player would.
    struct Tail {
        std::vector<std::string> Lines;
        uint32_t Trailer = 0;
        size_t TableBytes = 0;
    };
    static Tail ReadTail(const std::string& bytes) {
        Tail tail;
        const auto* t = reinterpret_cast<const unsigned char*>(bytes.data() + bytes.size() - 4);
        tail.Trailer =
            uint32_t(t[0]) | uint32_t(t[1]) << 8 | uint32_t(t[2]) << 16 | uint32_t(t[3]) << 24;
        tail.TableBytes = tail.Trailer - 4;
        tail.Lines = core::SplitLines(
            std::string_view(bytes).substr(bytes.size() - tail.Trailer, tail.TableBytes));
        return tail;
    }
    static std::string Trailer(uint32_t value) {
        std::string out;
        for (int i = 0; i < 4; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
        return out;
    }

    std::filesystem::path m_dir;
    settings::ShowSettings m_opt;
    std::string m_stub;
};
