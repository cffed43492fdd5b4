// Recognises the FAT volume of arbitrary image files: partition tables, VHD footers and boot
// sectors of any content and any claimed size. Each input must end in a volume that lies inside
// the file, or in one of the recognition's own messages, after a handful of sector reads; the
// run's memory limit (scripts/fuzz.sh) makes any allocation of a claimed size a finding.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/sparse_image.h"
#include "platform/disk_image_layout.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace {

constexpr const char* kName = "win95.img";

// Whether text is pattern with its first "%s" the image's name and any other "%s" any text.
bool Matches(std::string_view pattern, std::string_view text) {
  const size_t first = pattern.find("%s");
  const std::string named = std::string(pattern.substr(0, first)) + kName;
  if (text.substr(0, named.size()) != named) return false;
  text.remove_prefix(named.size());
  pattern.remove_prefix(first + 2);
  const size_t second = pattern.find("%s");
  if (second == std::string_view::npos) return text == pattern;
  const std::string_view before = pattern.substr(0, second), after = pattern.substr(second + 2);
  return text.size() >= before.size() + after.size() && text.substr(0, before.size()) == before &&
         text.substr(text.size() - after.size()) == after;
}

bool IsRecognitionMessage(std::string_view text) {
  namespace m = startgarten::messages;
  for (const char* pattern :
       {m::kImageEmpty, m::kImageTooShort, m::kImageUnsupportedFormat, m::kImageVhdFooterDamaged,
        m::kImageVhdTruncated, m::kImageNoFatVolume, m::kImageForeignFileSystem,
        m::kImageEmptyPartitionTable, m::kImageNoFatPartition, m::kImagePartitionOutside,
        m::kImageDamagedBootSector, m::kImageVolumeTooLarge}) {
    if (Matches(pattern, text)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using fuzz::Check;
  const fuzz::SparseImage image(std::string_view(reinterpret_cast<const char*>(data), size));
  int reads = 0;
  const platform::ImageReader read = [&](uint64_t offset, std::span<char> buffer) {
    ++reads;
    Check(buffer.size() <= 4096, "a read of more than a sector");
    return image.Read(offset, buffer);
  };
  try {
    const platform::FatVolumeLocation volume = platform::LocateFatVolume(kName, image.size(), read);
    Check(volume.size > 0, "an empty volume");
    Check(volume.offset % 512 == 0, "a volume that does not begin at a sector");
    Check(volume.offset <= image.size() && volume.size <= image.size() - volume.offset,
          "a volume that reaches past the file");
  } catch (const Error& error) {
    Check(IsRecognitionMessage(error.what()), "an error the recognition does not raise");
  }
  Check(reads <= 8, "more than a handful of reads");
  return 0;
}
