#pragma once

#include <string>
#include <vector>

namespace cli {

// Each command takes the arguments after its name, prints to standard output, and
// answers the process exit code. Failures throw with the message to print.
int Decode(const std::vector<std::string>& args);
int Info(const std::vector<std::string>& args);
int Render(const std::vector<std::string>& args);
int Effects(const std::vector<std::string>& args);

}  // namespace cli
