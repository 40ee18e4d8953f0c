#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pack {

// A whole file mapped read-only into memory, unmapped when the object goes. Pages are
// read on first touch, so a large show costs address space, not resident memory.
class MappedFile {
public:
    MappedFile() = default;
    // Throws core::FileError when the file cannot be opened or mapped.
    explicit MappedFile(const std::string& path);
    ~MappedFile();

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view Bytes() const { return {static_cast<const char*>(m_data), m_size}; }

    // Hands the whole pages inside `part` (a view into Bytes()) back to the system; a
    // later read of them reads the file again. Keeps the memory of a long show from
    // growing with every block it has read.
    void Forget(std::string_view part) const;

private:
    void Unmap();

    void* m_data = nullptr;
    size_t m_size = 0;
};

}  // namespace pack
