#pragma once

#include <cstdint>
#include <string>

namespace startgarten {

// The message of an input/output error for a Windows error code: the known codes have their
// own text, any other gives "I/O-Fehler <code>".
std::string InOutErrorMessage(uint32_t code);

}  // namespace startgarten
