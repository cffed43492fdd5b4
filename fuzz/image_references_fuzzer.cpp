// Reads the names of other files from arbitrary image headers: qcow2 header extensions, qcow and
// QED backing names, VMDK sparse headers and descriptors of any content and any claimed offset.
// The first byte chooses the format, the rest is the file. Each input must end in names as QEMU
// can hold them, or in a message that names the image; the run's memory limit (scripts/fuzz.sh)
// makes an allocation of a claimed size a finding. The seeds are headers made with qemu-img.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/drives/image/image_references.h"
#include "platform/windows/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using fuzz::Check;
  if (size == 0) return 0;
  constexpr std::string_view kName = "win95.qcow2";
  constexpr const char* kDrivers[] = {"qcow2", "qcow", "qed", "vmdk"};
  const platform::ContainerFormat format{kDrivers[data[0] % 4], "format"};
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  uint64_t bytesRead = 0;
  const platform::ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
    bytesRead += buffer.size();
    if (offset > file.size() || file.size() - offset < buffer.size()) return false;
    std::memcpy(buffer.data(), file.data() + offset, buffer.size());
    return true;
  };
  try {
    const platform::ImageReferences references =
        platform::ReadImageReferences(format, kName, file.size(), read);
    for (const std::string& name : references.extents) {
      Check(!name.empty() && name.size() <= 511, "an extent's name QEMU cannot hold");
      Check(name.find('\0') == std::string::npos, "a zero byte in an extent's name");
    }
    for (const std::string* name : {&references.backing, &references.dataFile}) {
      Check(name->size() <= 1023, "a name longer than QEMU allows");
      Check(name->find('\0') == std::string::npos, "a zero byte in a name");
    }
    Check(references.backingFormat.size() < 16, "a backing format QEMU cannot hold");
  } catch (const Error& error) {
    Check(std::string_view(error.what()).find(kName) != std::string_view::npos,
          "a message that does not name the image");
  }
  Check(bytesRead <= (uint64_t{4} << 20), "more than a header's reads");
  return 0;
}
