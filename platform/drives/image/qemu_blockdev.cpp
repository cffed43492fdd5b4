#include "platform/drives/image/qemu_blockdev.h"

#include <cstdio>

namespace startgarten::platform {

namespace {

// A JSON string: quotes, backslashes and control characters escaped, other bytes as they are.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      (quoted += '\\') += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[7];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string ReadOnly(bool writable) {
  return std::string(",\"read-only\":") + (writable ? "false" : "true");
}

// A file node; without locking it takes none of QEMU's locks.
std::string FileNode(const std::filesystem::path& file, bool writable, bool locking) {
  return "{\"driver\":\"file\",\"filename\":" + Quoted(file.string()) + ReadOnly(writable) +
         (locking ? "" : ",\"locking\":\"off\"") + "}";
}

// The layer at index and those below it; QEMU's locks are taken on all of them or none.
std::string Node(const std::vector<ImageLayer>& layers, size_t index, bool writable, bool locking) {
  const ImageLayer& layer = layers[index];
  std::string node = "{\"driver\":" + Quoted(layer.driver) + ReadOnly(writable) +
                     ",\"file\":" + FileNode(layer.file, writable, locking);
  if (!layer.dataFile.empty()) {
    node += ",\"data-file\":" + FileNode(layer.dataFile, writable, locking);
  }
  if (BuildsOnAnother(layer.driver)) {
    node += ",\"backing\":" + (index + 1 < layers.size() ? Node(layers, index + 1, false, locking)
                                                         : std::string("null"));
  }
  return node + "}";
}

}  // namespace

std::string QemuBlockdev(const std::vector<ImageLayer>& layers, std::string_view nodeName,
                         bool writable) {
  std::string node = Node(layers, 0, writable, writable);
  node.insert(1, "\"node-name\":" + Quoted(nodeName) + ",");
  return node;
}

}  // namespace startgarten::platform
