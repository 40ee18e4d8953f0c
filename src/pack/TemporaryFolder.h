#pragma once

#include <string>
#include <string_view>

namespace pack {

// A private folder (mode 0700) in the system's temporary folder, removed with everything
// in it when the object goes. The show player gives the music device its music there.
class TemporaryFolder {
public:
    // Throws core::FileError when the folder cannot be made.
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return m_path; }

    // Writes a new file `name` in the folder and answers its full path. Throws
    // core::FileError when it cannot be written.
    std::string WriteFile(const std::string& name, std::string_view bytes) const;

private:
    std::string m_path;
};

}  // namespace pack
