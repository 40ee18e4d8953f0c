#include "pack/TemporaryFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/Error.h"

namespace pack {

TemporaryFolder::TemporaryFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pictavo-show-XXXXXX";
    // mkdtemp makes the folder 0700, so no other user can read or swap the files.
    if (!::mkdtemp(pattern.data()))
        throw core::FileError("Cannot create a temporary folder in \"" +
                              pattern.substr(0, pattern.rfind('/')) + "\". " +
                              std::strerror(errno) + ".");
    m_path = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TemporaryFolder::WriteFile(const std::string& name, std::string_view bytes) const {
    std::string path = m_path + "/" + name;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw core::FileError(core::FileErrorText(path, errno));
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::close(fd);
            throw core::FileError("Cannot write file \"" + path + "\". " + std::strerror(err) +
                                  ".");
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    if (::close(fd) != 0)
        throw core::FileError("Cannot write file \"" + path + "\". " + std::strerror(errno) + ".");
    return path;
}

}  // namespace pack
