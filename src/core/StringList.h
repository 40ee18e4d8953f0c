#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// An ordered list of text lines, each held as the bytes it had in the file.
using StringList = std::vector<std::string>;

// Splits text into lines: CR, LF and the pair CR LF each end a line; a last line
// without a break is still a line; an empty line is an empty entry.
StringList SplitLines(std::string_view text);

// Joins lines, every one (the last included) ended by CR LF.
std::string JoinLines(const StringList& lines);

// Reads a whole file as a string list. Throws FileError when the file cannot be read.
// Files larger than maxBytes are refused, so a stray huge file cannot exhaust memory.
StringList LoadStringList(const std::string& path, size_t maxBytes = 64u << 20);

// Writes lines with CR LF. The file is written beside the target under a temporary
// name and renamed over it, so a failed write leaves the previous file intact.
void SaveStringList(const std::string& path, const StringList& lines);

// Reads a whole file into memory, refusing files larger than maxBytes.
std::string ReadFileBytes(const std::string& path, size_t maxBytes);

// Writes bytes atomically (temporary file beside the target, then rename).
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace core
