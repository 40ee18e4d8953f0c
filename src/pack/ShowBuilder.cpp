#include "pack/ShowBuilder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "codecs/BmpPicture.h"
#include "codecs/GifPicture.h"
#include "codecs/JpegPicture.h"
#include "core/Rounding.h"
#include "pack/BlockFormat.h"
#include "project/ProjectFile.h"
#include "settings/ShowSettings.h"

#ifndef PICTAVO_LIBEXEC_DIR
#define PICTAVO_LIBEXEC_DIR "libexec"
#endif

namespace pack {

namespace {

std::string Reason(int err) {
    return std::string(std::strerror(err)) + ".";
}

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Opens a file to copy from. Only plain files: a folder cannot be copied, and a device
// such as /dev/zero would never end.
Descriptor OpenForReading(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) throw core::FileError(core::FileErrorText(path, errno));
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) throw core::FileError(core::FileErrorText(path, errno));
    if (!S_ISREG(st.st_mode))
        throw core::FileError(core::FileErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
    return Descriptor(fd.Release());
}

// The file being built: a new file beside the target that replaces the target only on
// Commit, and is removed otherwise, so the target never holds half a show.
class PendingFile {
public:
    explicit PendingFile(std::string target) : m_target(std::move(target)) {
        size_t slash = m_target.find_last_of('/');
        std::string folder =
            slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
        std::string base = slash == std::string::npos ? m_target : m_target.substr(slash + 1);
        std::mt19937_64 random(
            std::random_device{}() ^
            static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
        // Created as an executable (0755 minus the umask, which open applies), since the
        // packed show is a program.
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            char suffix[17];
            std::snprintf(suffix, sizeof suffix, "%016llx",
                          static_cast<unsigned long long>(random()));
            m_path = folder + "." + base + ".part-" + suffix;
            m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
            if (m_fd < 0 && errno != EEXIST) break;
        }
        if (m_fd < 0)
            throw core::FileError("Cannot create file \"" + m_target + "\". " + Reason(errno));
    }

    ~PendingFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_committed) ::unlink(m_path.c_str());
    }

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    uint64_t Written() const { return m_written; }

    void Append(std::string_view bytes) {
        while (!bytes.empty()) {
            ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail(errno);
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            m_written += static_cast<uint64_t>(n);
        }
    }

    // Copies a whole file without holding it in memory; answers its length. The
    // cancel flag is checked between chunks so a long copy stops promptly.
    uint64_t AppendFile(const std::string& path, const std::atomic<bool>& cancelled) {
        Descriptor in = OpenForReading(path);
        return AppendFrom(in, path, cancelled);
    }

    // The same from an open file, from its start.
    uint64_t AppendFrom(const Descriptor& in, const std::string& path,
                        const std::atomic<bool>& cancelled) {
        if (::lseek(in.Get(), 0, SEEK_SET) != 0)
            throw core::FileError(core::FileErrorText(path, errno));
        uint64_t copied = 0;
        bool kernelCopy = true;
        std::vector<char> buffer;
        constexpr size_t kChunk = size_t(8) << 20;
        for (;;) {
            if (cancelled) throw BuildCancelled();
            ssize_t n = -1;
            if (kernelCopy) {
                n = ::copy_file_range(in.Get(), nullptr, m_fd, nullptr, kChunk, 0);
                if (n < 0 && errno == EINTR) continue;
                // Some file systems and old kernels cannot copy between these files.
                if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL ||
                              errno == EOPNOTSUPP || errno == EPERM)) {
                    kernelCopy = false;
                    continue;
                }
                if (n < 0) Fail(errno);
                m_written += static_cast<uint64_t>(n);
            } else {
                if (buffer.empty()) buffer.resize(size_t(1) << 20);
                n = ::read(in.Get(), buffer.data(), buffer.size());
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) throw core::FileError(core::FileErrorText(path, errno));
                Append(std::string_view(buffer.data(), static_cast<size_t>(n)));
            }
            if (n == 0) break;
            copied += static_cast<uint64_t>(n);
        }
        return copied;
    }

    void Commit() {
        if (::fsync(m_fd) != 0) Fail(errno);
        int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0) Fail(errno);
        if (::rename(m_path.c_str(), m_target.c_str()) != 0) Fail(errno);
        m_committed = true;
    }

private:
    [[noreturn]] void Fail(int err) {
        throw core::FileError("Cannot write file \"" + m_target + "\". " + Reason(err));
    }

    std::string m_target;
    std::string m_path;
    int m_fd = -1;
    uint64_t m_written = 0;
    bool m_committed = false;
};

// Runs a codec on one file's bytes; a format error names the file it came from.
template <typename Encode>
std::string EncodeFile(const std::string& path, Encode encode) {
    std::string bytes = core::ReadFileBytes(path, codecs::kMaxPictureFileBytes);
    try {
        return encode(std::move(bytes));
    } catch (const core::FileError&) {
        throw;
    } catch (const core::Error& e) {
        throw core::Error("\"" + path + "\": " + e.what());
    }
}

// The bytes of a JPEG file up to the end of its first scan header: all a decoder reads
// before the compressed data, so enough to tell a JPEG from anything else. Metadata
// segments may be large, so it reads on until the scan header or the end of the file.
std::string ReadJpegHeader(const Descriptor& in, const std::string& path) {
    constexpr size_t kChunk = 64u << 10;
    constexpr size_t kMaxHeader = 64u << 20;
    std::string bytes;
    size_t pos = 2;  // after the start-of-image marker
    auto byteAt = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    for (;;) {
        // Walk the segments read so far.
        while (bytes.size() >= 2 && pos + 4 <= bytes.size()) {
            if (byteAt(0) != 0xFF || byteAt(1) != 0xD8 || byteAt(pos) != 0xFF) return bytes;
            const unsigned char marker = byteAt(pos + 1);
            if (marker == 0xFF) {  // fill byte
                ++pos;
                continue;
            }
            if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9)) {  // no length
                pos += 2;
                continue;
            }
            const size_t end = pos + 2 + (size_t(byteAt(pos + 2)) << 8 | byteAt(pos + 3));
            if (marker == 0xDA) {
                if (end <= bytes.size()) {
                    bytes.resize(end);
                    return bytes;
                }
                break;
            }
            pos = end;
        }
        if (bytes.size() >= kMaxHeader) return bytes;
        const size_t had = bytes.size();
        bytes.resize(had + kChunk);
        ssize_t n;
        do {
            n = ::read(in.Get(), bytes.data() + had, kChunk);
        } while (n < 0 && errno == EINTR);
        if (n < 0) throw core::FileError(core::FileErrorText(path, errno));
        bytes.resize(had + static_cast<size_t>(n));
        if (n == 0) return bytes;
    }
}

std::string EncodePicture(const std::string& path) {
    switch (BlockFormatOf(path)) {
        case BlockFormat::Bmp:
            return EncodeFile(path, [](std::string b) { return codecs::ReadBmp(b)->Save(); });
        case BlockFormat::Gif:
            return EncodeFile(path, [](std::string b) { return codecs::ReadGif(b)->Save(); });
        case BlockFormat::Jpeg:  // copied by AppendJpeg
        case BlockFormat::None:
            break;
    }
    return {};
}

// A JPEG picture is stored exactly as read. Its header is read as a JPEG so a file that
// is not one fails here; then the file is copied without passing through memory.
uint64_t AppendJpeg(PendingFile& file, const std::string& path,
                    const std::atomic<bool>& cancelled) {
    Descriptor in = OpenForReading(path);
    try {
        codecs::ReadJpeg(ReadJpegHeader(in, path));
    } catch (const core::FileError&) {
        throw;
    } catch (const core::Error& e) {
        throw core::Error("\"" + path + "\": " + e.what());
    }
    return file.AppendFrom(in, path, cancelled);
}

std::string EncodeBackground(const std::string& path) {
    switch (BlockFormatOf(path)) {
        case BlockFormat::Bmp:
            return EncodeFile(path, [](std::string b) { return codecs::ReadBmp(b)->Save(); });
        case BlockFormat::Gif:
        case BlockFormat::Jpeg:
            return EncodeFile(path, [&path](std::string b) {
                std::unique_ptr<codecs::Picture> picture;
                if (BlockFormatOf(path) == BlockFormat::Gif)
                    picture = codecs::ReadGif(b);
                else
                    picture = codecs::ReadJpeg(std::move(b));
                raster::Bitmap bitmap;
                picture->AssignTo(bitmap);
                return codecs::WriteBmp(bitmap);
            });
        case BlockFormat::None:
            break;
    }
    return {};
}

}  // namespace

ShowBuilder::ShowBuilder(std::string showPlayerPath, core::StringList settingsBlock)
    : m_showPlayerPath(std::move(showPlayerPath)), m_settingsBlock(std::move(settingsBlock)) {}

BuildResult ShowBuilder::Build(const std::string& target) {
    project::ShowParts parts;
    try {
        parts = project::ParseSettingsBlock(m_settingsBlock, target);
    } catch (const core::Error&) {
        throw core::Error("The show's settings are not a complete project; save it first.");
    }
    const bool background = parts.Slots[settings::kBackKindSlot] == settings::kBackFile;
    const core::StringList noMusic;
    const core::StringList& music = parts.Music ? *parts.Music : noMusic;

    // Checked before anything is created, so a missing player leaves no file.
    if (::access(m_showPlayerPath.c_str(), F_OK) != 0 && errno == ENOENT)
        throw core::FileError(std::string("The show player \"") + kShowPlayerName +
                              "\" is missing beside the program (" + m_showPlayerPath + ").");

    BuildResult result;
    auto record = [&result](uint64_t length) {
        result.SizeTable.push_back(std::to_string(length));
    };
    const size_t total = music.size() + parts.Pictures.size();
    size_t done = 0;
    auto step = [&] {
        ++done;
        if (m_progress) m_progress(done, total);
    };
    auto checkCancel = [this] {
        if (m_cancelled) throw BuildCancelled();
    };

    PendingFile file(target);
    file.AppendFile(m_showPlayerPath, m_cancelled);

    std::string block = core::JoinLines(m_settingsBlock);
    record(block.size());
    file.Append(block);

    if (background) {
        checkCancel();
        block = EncodeBackground(parts.Slots[settings::kBackDataSlot]);
        record(block.size());
        file.Append(block);
    }
    for (const std::string& path : music) {
        record(file.AppendFile(path, m_cancelled));
        step();
    }
    for (const std::string& path : parts.Pictures) {
        checkCancel();
        if (BlockFormatOf(path) == BlockFormat::Jpeg) {
            record(AppendJpeg(file, path, m_cancelled));
        } else {
            block = EncodePicture(path);
            record(block.size());
            file.Append(block);
        }
        step();
    }
    checkCancel();

    std::string table = core::JoinLines(result.SizeTable);
    const uint32_t trailer = static_cast<uint32_t>(table.size() + 4);
    for (int i = 0; i < 4; ++i) table.push_back(static_cast<char>((trailer >> (8 * i)) & 0xFF));
    file.Append(table);
    result.FileBytes = file.Written();
    file.Commit();
    return result;
}

std::string ProgramFolder() {
    std::string path(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return "./";
    path.resize(static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/') + 1);
}

std::string FindShowPlayer(const std::string& programFolder) {
    const std::string candidates[] = {
        programFolder + kShowPlayerName,
        programFolder + "../" + PICTAVO_LIBEXEC_DIR + "/" + kShowPlayerName,
    };
    for (const std::string& c : candidates) {
        struct stat st {};
        if (::stat(c.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return c;
    }
    return candidates[0];
}

std::string SizeMessage(uint64_t fileBytes) {
    double megabytes = static_cast<double>(fileBytes) / (1024.0 * 1024.0);
    double rounded = static_cast<double>(core::RoundHalfEven(megabytes * 100.0)) / 100.0;
    // %g follows the locale's decimal separator, as the message should.
    char number[64];
    std::snprintf(number, sizeof number, "%.15g", rounded);
    return std::string("New pictavo is ready. File size - ") + number + " Mb.";
}

}  // namespace pack
