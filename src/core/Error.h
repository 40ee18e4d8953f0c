#pragma once

#include <stdexcept>
#include <string>

namespace core {

// Failures carry the text the user will see; each UI command catches them at its
// boundary and shows a message box.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written.
class FileError : public Error {
public:
    using Error::Error;
};

// Formats a message the way the program's printf-style texts do, e.g.
// Format("Unknown picture file extension (.%s)", ext).
std::string Format(const char* pattern, const std::string& arg);
std::string Format(const char* pattern, long long arg);

// The platform's message for an errno value, with the path it concerns.
std::string FileErrorText(const std::string& path, int errnoValue);

}  // namespace core
