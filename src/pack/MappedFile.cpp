#include "pack/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

#include "core/Error.h"

namespace pack {

MappedFile::MappedFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw core::FileError(core::FileErrorText(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : (errno != 0 ? errno : EINVAL);
        ::close(fd);
        throw core::FileError(core::FileErrorText(path, err));
    }
    m_size = static_cast<size_t>(st.st_size);
    // An empty file cannot be mapped; it simply has no bytes.
    if (m_size > 0) {
        void* data = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            int err = errno;
            ::close(fd);
            m_size = 0;
            throw core::FileError(core::FileErrorText(path, err));
        }
        m_data = data;
    }
    // The mapping stays valid after the descriptor is closed.
    ::close(fd);
}

MappedFile::~MappedFile() {
    Unmap();
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Unmap();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void MappedFile::Forget(std::string_view part) const {
    const auto begin = reinterpret_cast<uintptr_t>(part.data());
    const auto base = reinterpret_cast<uintptr_t>(m_data);
    if (!m_data || part.empty() || begin < base || begin + part.size() > base + m_size) return;
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    // Only whole pages: a page shared with a neighbouring block may still be needed.
    const uintptr_t first = (begin + page - 1) / page * page;
    const uintptr_t last = (begin + part.size()) / page * page;
    if (first < last) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

void MappedFile::Unmap() {
    if (m_data) ::munmap(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
}

}  // namespace pack
