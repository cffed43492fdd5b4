#include "platform/drives/image/image_references.h"

#include <algorithm>
#include <cstring>

#include "platform/drives/image/image_messages.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

namespace {

// The longest name of another file that QEMU reads from a header (its buffers of 1024 bytes).
constexpr size_t kNameLimit = 1023;
// What QEMU reads of a VMDK descriptor: less than a MiB of it for the extents, 20 sectors of it
// for the parent's name.
constexpr uint64_t kDescriptorLimit = (uint64_t{1} << 20) - 1;
constexpr size_t kParentSearchLimit = size_t{20} * 512;
constexpr uint64_t kVmdkEmbeddedDescriptor = 0x200;
// qcow2's header extensions and incompatible feature bits.
constexpr uint32_t kQcow2ExtensionEnd = 0;
constexpr uint32_t kQcow2BackingFormat = 0xE2792ACA;
constexpr uint32_t kQcow2DataFile = 0x44415441;
constexpr uint64_t kQcow2ExternalData = 1 << 2;
constexpr size_t kBackingFormatLimit = 15;
// QED's features: a backing file, and one to be read as a raw disk without probing.
constexpr uint64_t kQedBackingFile = 1;
constexpr uint64_t kQedBackingRaw = 4;

uint64_t BigEndian(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}
uint64_t LittleEndian(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// A name as QEMU takes it from its buffer: up to the first zero byte.
std::string CString(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class Header {
 public:
  Header(std::string_view displayName, uint64_t fileSize, const ImageReader& read)
      : name_(displayName), size_(fileSize), read_(read) {}

  // The bytes at offset: count of them, or as many as the file holds when upToEnd.
  std::string Bytes(uint64_t offset, uint64_t count, bool upToEnd = false) const {
    if (offset > size_ || size_ - offset < count) {
      if (!upToEnd) Fail();
      count = offset > size_ ? 0 : size_ - offset;
    }
    std::string bytes(count, '\0');
    if (count > 0 && !read_(offset, std::span<char>(bytes.data(), bytes.size()))) Fail();
    return bytes;
  }
  [[noreturn]] void Fail() const {
    throw Error(FormatMessageText(messages::kImageReferenceUnreadable, name_));
  }
  // A name of at most kNameLimit bytes at offset.
  std::string Name(uint64_t offset, uint64_t size) const {
    if (size > kNameLimit) Fail();
    return CString(Bytes(offset, size));
  }

 private:
  std::string_view name_;
  uint64_t size_;
  const ImageReader& read_;
};

// qcow2: the backing file's name and format, and the external data file, from the header and its
// extensions, which lie in the first cluster before the backing file's name.
ImageReferences Qcow2(const Header& header, uint64_t fileSize) {
  const std::string fixed = header.Bytes(0, 72);
  const uint64_t version = BigEndian(fixed, 4, 4);
  const uint64_t backingOffset = BigEndian(fixed, 8, 8);
  const uint64_t backingSize = BigEndian(fixed, 16, 4);
  const uint64_t clusterBits = BigEndian(fixed, 20, 4);
  if (clusterBits < 9 || clusterBits > 21 || version < 2) header.Fail();
  const uint64_t clusterSize = uint64_t{1} << clusterBits;
  const std::string v3 = version >= 3 ? header.Bytes(72, 32) : std::string(32, '\0');
  const uint64_t incompatible = BigEndian(v3, 0, 8);
  const uint64_t headerLength = version >= 3 ? BigEndian(v3, 28, 4) : 72;
  if (backingOffset > clusterSize ||
      backingSize > std::min<uint64_t>(kNameLimit, clusterSize - backingOffset)) {
    header.Fail();
  }
  const uint64_t extensionsEnd = backingOffset ? backingOffset : clusterSize;
  const std::string first = header.Bytes(0, std::min(clusterSize, fileSize));
  ImageReferences references;
  for (uint64_t at = headerLength; at < extensionsEnd;) {
    if (extensionsEnd - at < 8 || first.size() < at + 8) header.Fail();
    const uint64_t type = BigEndian(first, at, 4), length = BigEndian(first, at + 4, 4);
    at += 8;
    if (length > extensionsEnd - at || first.size() - at < length) header.Fail();
    const std::string_view data = std::string_view(first).substr(at, length);
    if (type == kQcow2ExtensionEnd) break;
    if (type == kQcow2BackingFormat) {
      if (length > kBackingFormatLimit) header.Fail();
      references.backingFormat = CString(data);
    }
    if (type == kQcow2DataFile) references.dataFile = CString(data);
    at += (length + 7) & ~uint64_t{7};
  }
  // QEMU uses the data file's name only for an image that says it has one, and needs it then.
  if (!(incompatible & kQcow2ExternalData)) references.dataFile.clear();
  if ((incompatible & kQcow2ExternalData) && references.dataFile.empty()) header.Fail();
  if (backingOffset) references.backing = header.Name(backingOffset, backingSize);
  return references;
}

ImageReferences Qcow(const Header& header) {
  const std::string fixed = header.Bytes(0, 48);
  ImageReferences references;
  if (const uint64_t offset = BigEndian(fixed, 8, 8)) {
    references.backing = header.Name(offset, BigEndian(fixed, 16, 4));
  }
  return references;
}

ImageReferences Qed(const Header& header) {
  const std::string fixed = header.Bytes(0, 64);
  const uint64_t features = LittleEndian(fixed, 16, 8);
  ImageReferences references;
  if (!(features & kQedBackingFile)) return references;
  const uint64_t offset = LittleEndian(fixed, 56, 4), size = LittleEndian(fixed, 60, 4);
  if (offset + size > LittleEndian(fixed, 4, 4) * LittleEndian(fixed, 12, 4)) header.Fail();
  references.backing = header.Name(offset, size);
  if (features & kQedBackingRaw) references.backingFormat = "raw";
  return references;
}

// The files that a VMDK descriptor's extent lines name, read from the start of each line as
// QEMU's scanf reads them: an access word, a number of sectors, a type word and a name in double
// quotes. Every access (QEMU opens only "RW" extents today) and every type is taken, so that no
// name escapes the check. A name is taken once (scanf skips empty lines, so a line after one is
// read twice).
void ReadExtents(std::string_view text, std::vector<std::string>& names) {
  for (size_t line = 0; line < text.size();
       line = std::min(text.find('\n', line), text.size()) + 1) {
    size_t at = line;
    const auto skipSpace = [&] {
      while (at < text.size() && IsSpace(text[at])) ++at;
    };
    const auto word = [&] {
      skipSpace();
      const size_t start = at;
      while (at < text.size() && !IsSpace(text[at]) && at - start < 10) ++at;
      return text.substr(start, at - start);
    };
    const std::string_view access = word();
    if (access != "RW" && access != "RDONLY" && access != "NOACCESS") continue;
    skipSpace();
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const size_t digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == digits || word().empty()) continue;
    skipSpace();
    if (at >= text.size() || text[at] != '"') continue;
    const size_t start = ++at;
    while (at < text.size() && at - start < 511 && std::strchr("\n\r\"", text[at]) == nullptr) ++at;
    const std::string name(text.substr(start, at - start));
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
      names.push_back(name);
    }
  }
}

// The parent's name that QEMU takes from a VMDK descriptor: what follows the first
// "parentFileNameHint" and the two characters after it, up to a double quote.
std::string ParentName(const Header& header, std::string_view descriptor) {
  constexpr std::string_view kHint = "parentFileNameHint";
  const std::string_view text = descriptor.substr(0, kParentSearchLimit);
  const size_t hint = text.find(kHint);
  if (hint == std::string_view::npos) return {};
  const size_t start = hint + kHint.size() + 2;
  const size_t end = start > text.size() ? std::string_view::npos : text.find('"', start);
  if (end == std::string_view::npos || end - start > kNameLimit) header.Fail();
  return std::string(text.substr(start, end - start));
}

// Whether a VMDK descriptor's createType is "streamOptimized", read as QEMU reads it (as the
// parent's name): what follows the first "createType" and the two characters after it, up to a
// double quote.
bool StreamOptimizedType(std::string_view descriptor) {
  constexpr std::string_view kKey = "createType";
  const size_t key = descriptor.find(kKey);
  if (key == std::string_view::npos || descriptor.size() < key + kKey.size() + 2) return false;
  const std::string_view value = descriptor.substr(key + kKey.size() + 2);
  return value.substr(0, value.find('"')) == "streamOptimized";
}

ImageReferences Vmdk(const Header& header) {
  const std::string magic = header.Bytes(0, 4);
  ImageReferences references;
  std::string descriptor;
  if (magic == "KDMV" || magic == "COWD") {
    // A sparse file is its own extent, unless (VMDK4 of no capacity) its embedded descriptor
    // names others; its parent is named in the embedded descriptor.
    if (magic == "KDMV") {
      const std::string fixed = header.Bytes(0, 79);
      references.streamOptimized = LittleEndian(fixed, 77, 2) != 0;  // its compression algorithm
      const uint64_t descriptorSector = LittleEndian(fixed, 28, 8);
      if (LittleEndian(fixed, 12, 8) == 0 && descriptorSector != 0) {
        if (descriptorSector > (uint64_t{1} << 54)) header.Fail();
        const std::string embedded =
            CString(header.Bytes(descriptorSector * 512, kDescriptorLimit, true));
        ReadExtents(embedded, references.extents);
      }
    }
    descriptor = CString(header.Bytes(kVmdkEmbeddedDescriptor, kParentSearchLimit, true));
  } else {
    descriptor = CString(header.Bytes(0, kDescriptorLimit, true));
    ReadExtents(descriptor, references.extents);
    // Its extents' headers say whether they are compressed; their descriptor says it for them.
    references.streamOptimized = StreamOptimizedType(descriptor);
  }
  references.backing = ParentName(header, descriptor);
  if (!references.backing.empty()) references.backingFormat = "vmdk";
  return references;
}

}  // namespace

ImageReferences ReadImageReferences(const ContainerFormat& format, std::string_view displayName,
                                    uint64_t fileSize, const ImageReader& read) {
  const Header header(displayName, fileSize, read);
  const std::string_view driver = format.driver;
  if (driver == "qcow2") return Qcow2(header, fileSize);
  if (driver == "qcow") return Qcow(header);
  if (driver == "qed") return Qed(header);
  if (driver == "vmdk") return Vmdk(header);
  return {};  // the formats whose QEMU drivers open no other file
}

}  // namespace startgarten::platform
