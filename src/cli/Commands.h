#pragma once

#include <string>
#include <vector>

#include "project/ProjectFile.h"

namespace cli {

// Each command takes the arguments after its name, prints to standard output, and
// answers the process exit code. Failures throw with the message to print.
int Decode(const std::vector<std::string>& args);
int Info(const std::vector<std::string>& args);
int Render(const std::vector<std::string>& args);
int Effects(const std::vector<std::string>& args);
int Pack(const std::vector<std::string>& args);

// Prints a show's slots, picture count, effect set and music list.
void PrintShowParts(const project::ShowParts& parts);
// Prints a packed show's settings and block sizes; answers false, printing nothing, for
// a file that is not a program with a show appended. Throws DamagedShowError for a
// program whose show is damaged.
bool PrintPackedShowInfo(const std::string& path);

}  // namespace cli
