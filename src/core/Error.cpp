#include "core/Error.h"

#include <cstring>

namespace core {

std::string Format(const char* pattern, const std::string& arg) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += arg;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string Format(const char* pattern, long long arg) {
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd') {
            out += std::to_string(arg);
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string FileErrorText(const std::string& path, int errnoValue) {
    return "Cannot open file \"" + path + "\". " + std::strerror(errnoValue) + ".";
}

}  // namespace core
