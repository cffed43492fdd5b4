#pragma once

#include <string>

namespace startgarten::platform {

// The path of the running program's file as the system knows it, whatever name the program was
// started under (a link or a launcher can pass any name as the first argument); empty when the
// system does not tell.
std::string RunningProgramPath();

}  // namespace startgarten::platform
