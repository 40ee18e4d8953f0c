#include "pack/PackedShow.h"

#include "codecs/BmpPicture.h"
#include "codecs/GifPicture.h"
#include "codecs/JpegPicture.h"
#include "core/StringList.h"
#include "pack/BlockFormat.h"
#include "settings/ShowSettings.h"

namespace pack {

namespace {

// A byte count is 1 to 19 decimal digits, so it fits 64 bits without overflow checks.
std::optional<uint64_t> ParseByteCount(std::string_view text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

PackedShow PackedShow::Open(const std::string& path) {
    PackedShow show;
    show.m_file = MappedFile(path);
    show.Parse(show.m_file.Bytes());
    return show;
}

PackedShow PackedShow::FromBytes(std::string_view bytes) {
    PackedShow show;
    show.Parse(bytes);
    return show;
}

void PackedShow::Parse(std::string_view file) {
    if (file.size() < 4) throw DamagedShowError("it is too short to hold a show.");
    const auto* tail = reinterpret_cast<const unsigned char*>(file.data() + file.size() - 4);
    const uint64_t trailer = uint64_t(tail[0]) | uint64_t(tail[1]) << 8 | uint64_t(tail[2]) << 16 |
                             uint64_t(tail[3]) << 24;
    if (trailer < 4)
        throw DamagedShowError("its trailer gives a size table of " +
                               std::to_string(static_cast<int64_t>(trailer) - 4) + " bytes.");
    if (trailer > file.size()) throw DamagedShowError("its size table does not fit in the file.");
    const std::string_view table = file.substr(file.size() - trailer, trailer - 4);

    core::StringList lines = core::SplitLines(table);
    if (lines.empty()) throw DamagedShowError("its size table is empty.");
    // Everything before the table: the player and the blocks.
    const uint64_t room = file.size() - trailer;
    uint64_t sum = 0;
    m_blockSizes.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        std::optional<uint64_t> n = ParseByteCount(lines[i]);
        if (!n)
            throw DamagedShowError("line " + std::to_string(i + 1) +
                                   " of its size table is not a byte count.");
        // Checked one by one, so the sum never wraps.
        if (*n > room - sum) throw DamagedShowError("its blocks are larger than the file.");
        sum += *n;
        m_blockSizes.push_back(*n);
    }
    m_playerBytes = room - sum;

    uint64_t offset = m_playerBytes;
    auto take = [&](uint64_t length) {
        std::string_view block = file.substr(offset, length);
        offset += length;
        return block;
    };
    m_settingsBlock = take(m_blockSizes[0]);
    if (m_settingsBlock.size() > project::kMaxProjectFileBytes)
        throw DamagedShowError("its settings block is too large.");
    try {
        m_parts = project::ParseSettingsBlock(core::SplitLines(m_settingsBlock), "show");
    } catch (const core::Error&) {
        throw DamagedShowError("its settings block is not a show's settings.");
    }

    const bool background = m_parts.Slots[settings::kBackKindSlot] == settings::kBackFile;
    const size_t musicCount = m_parts.Music ? m_parts.Music->size() : 0;
    const size_t expected = 1 + (background ? 1 : 0) + musicCount + m_parts.Pictures.size();
    if (expected != m_blockSizes.size())
        throw DamagedShowError("its size table lists " + std::to_string(m_blockSizes.size()) +
                               " blocks, but its settings call for " + std::to_string(expected) +
                               ".");

    size_t next = 1;
    if (background) m_background = take(m_blockSizes[next++]);
    for (size_t i = 0; i < musicCount; ++i) m_music.push_back(take(m_blockSizes[next++]));
    for (size_t i = 0; i < m_parts.Pictures.size(); ++i)
        m_pictures.push_back(take(m_blockSizes[next++]));
}

std::unique_ptr<codecs::Picture> PackedShow::DecodePicture(size_t index) const {
    const std::string& path = m_parts.Pictures.at(index);
    const std::string_view block = m_pictures.at(index);
    std::unique_ptr<codecs::Picture> picture;
    switch (BlockFormatOf(path)) {
        case BlockFormat::Bmp:
            picture = codecs::ReadBmp(block);
            break;
        case BlockFormat::Gif:
            picture = codecs::ReadGif(block);
            break;
        case BlockFormat::Jpeg:
            // The JPEG picture keeps its compressed bytes to decode them at any scale.
            picture = codecs::ReadJpeg(std::string(block));
            break;
        case BlockFormat::None:
            break;
    }
    // Every picture holds its own copy of what it needs from the block.
    Forget(block);
    if (picture) return picture;
    throw core::Error(
        core::Format("Unknown picture file extension (.%s)", std::string(ExtensionOf(path))));
}

std::unique_ptr<codecs::Picture> PackedShow::DecodeBackground() const {
    if (BackgroundBlock().empty()) return nullptr;
    std::unique_ptr<codecs::Picture> picture = codecs::ReadBmp(BackgroundBlock());
    Forget(BackgroundBlock());
    return picture;
}

}  // namespace pack
