#include "logos/file_extension.h"

namespace startgarten {

namespace {

// Where the extension's "." stands, or npos.
size_t ExtensionDot(std::string_view dosPath) {
  const size_t dot = dosPath.find_last_of(".\\:");
  return dot != std::string_view::npos && dosPath[dot] == '.' ? dot : std::string_view::npos;
}

}  // namespace

std::string_view FileExtension(std::string_view dosPath) {
  const size_t dot = ExtensionDot(dosPath);
  return dot == std::string_view::npos ? std::string_view() : dosPath.substr(dot + 1);
}

std::string ChangeFileExtension(std::string_view dosPath, std::string_view newExtension) {
  std::string changed(dosPath.substr(0, ExtensionDot(dosPath)));
  changed += newExtension;
  return changed;
}

}  // namespace startgarten
