#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codecs/Picture.h"
#include "core/Error.h"
#include "pack/MappedFile.h"
#include "project/ProjectFile.h"

namespace pack {

// A packed show whose tail does not hold together. The message starts with
// "This show file is damaged: " and says what is wrong.
class DamagedShowError : public core::Error {
public:
    explicit DamagedShowError(const std::string& what)
        : core::Error("This show file is damaged: " + what) {}
};

// Reads a packed show from its end: the trailer, the size table, then the blocks. Every
// number is checked against the file before it is used, and the blocks are views into
// the file's memory map, so opening a large show reads only its tail and settings.
class PackedShow {
public:
    // Maps the file. Throws core::FileError when it cannot be read and DamagedShowError
    // when its tail is not a show.
    static PackedShow Open(const std::string& path);
    // Reads a show held in memory; `bytes` must outlive the object. Throws as Open.
    static PackedShow FromBytes(std::string_view bytes);

    // The show's settings block as stored (CR LF lines) and its parts.
    std::string_view SettingsBlock() const { return m_settingsBlock; }
    const project::ShowParts& Parts() const { return m_parts; }
    // The number of bytes before the settings block: the show player itself.
    uint64_t PlayerBytes() const { return m_playerBytes; }
    // The size table's numbers, in file order.
    const std::vector<uint64_t>& BlockSizes() const { return m_blockSizes; }

    bool HasBackground() const { return m_background.has_value(); }
    // The background as a BMP file (empty when it has none or its extension was unknown).
    std::string_view BackgroundBlock() const { return m_background.value_or(std::string_view()); }
    size_t MusicCount() const { return m_music.size(); }
    std::string_view MusicBlock(size_t index) const { return m_music.at(index); }
    size_t PictureCount() const { return m_pictures.size(); }
    std::string_view PictureBlock(size_t index) const { return m_pictures.at(index); }

    // Decodes a picture straight from its block, by its path's extension (BMP, GIF or
    // JPEG; a JPEG decodes on its first draw). Throws core::Error for a picture whose
    // extension stores no block and for damaged picture data.
    std::unique_ptr<codecs::Picture> DecodePicture(size_t index) const;
    // The background picture, or null when the block is empty.
    std::unique_ptr<codecs::Picture> DecodeBackground() const;

    // Lets the system drop a block's pages from memory once it has been used (decoding
    // does this itself); reading the block again reads the file again.
    void Forget(std::string_view block) const { m_file.Forget(block); }

private:
    PackedShow() = default;
    void Parse(std::string_view file);

    MappedFile m_file;
    std::string_view m_settingsBlock;
    project::ShowParts m_parts;
    uint64_t m_playerBytes = 0;
    std::vector<uint64_t> m_blockSizes;
    std::optional<std::string_view> m_background;
    std::vector<std::string_view> m_music;
    std::vector<std::string_view> m_pictures;
};

}  // namespace pack
