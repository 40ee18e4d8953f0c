#include "core/StringList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/Error.h"

namespace core {

StringList SplitLines(std::string_view text) {
    StringList lines;
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const StringList& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string ReadFileBytes(const std::string& path, size_t maxBytes) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError(FileErrorText(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        throw FileError(FileErrorText(path, err));
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        ::close(fd);
        throw FileError("The file \"" + path + "\" is too large.");
    }
    std::string data;
    data.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    auto readSome = [&](char* into, size_t room) {
        for (;;) {
            ssize_t n = ::read(fd, into, room);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) {
                int err = errno;
                ::close(fd);
                throw FileError(FileErrorText(path, err));
            }
        }
    };
    // Read what the size promised, then check for more (the file may grow under us)
    // through a small buffer, so the common case never copies the whole contents again.
    while (got < data.size()) {
        size_t n = readSome(data.data() + got, data.size() - got);
        if (n == 0) break;
        got += n;
    }
    if (got == data.size()) {
        char extra[4096];
        for (size_t n; (n = readSome(extra, sizeof extra)) > 0;) {
            if (got + n > maxBytes) {
                ::close(fd);
                throw FileError("The file \"" + path + "\" is too large.");
            }
            data.resize(got);
            data.append(extra, n);
            got += n;
        }
    }
    ::close(fd);
    data.resize(got);
    return data;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        throw FileError("Cannot create file \"" + path + "\". " + std::strerror(errno) + ".");
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        throw FileError("Cannot write file \"" + path + "\". " + std::strerror(err) + ".");
    };
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) fail(errno);
    // mkstemp makes the file 0600; give it the permissions an ordinary new file gets.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        throw FileError("Cannot write file \"" + path + "\". " + std::strerror(err) + ".");
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        throw FileError("Cannot write file \"" + path + "\". " + std::strerror(err) + ".");
    }
}

StringList LoadStringList(const std::string& path, size_t maxBytes) {
    return SplitLines(ReadFileBytes(path, maxBytes));
}

void SaveStringList(const std::string& path, const StringList& lines) {
    WriteFileAtomically(path, JoinLines(lines));
}

}  // namespace core
