// Reads arbitrary bytes as the write record that a start finds on drive C, and checks what the
// completion relies on: a record is complete or cut off, never both; a complete one names each
// file by a drive letter and non-empty paths, and reads back the same when written again; and
// that written record cut anywhere before its end, with or without NUL bytes after the cut, is a
// record cut off, never a complete one.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "platform/dos/write_record_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten::fuzz;
  using namespace startgarten::platform;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const auto files = ParseWriteRecord(text);
  Check(!files || !IsCutOffWriteRecord(text), "a record both complete and cut off");
  if (!files) return 0;
  for (const RecordedFile& file : *files) {
    Check(file.letter >= 'a' && file.letter <= 'z', "a file without a drive letter");
    Check(!file.path.empty() && !file.temporary.empty(), "a file without a path");
  }
  const std::string written = FormatWriteRecord(*files);
  Check(ParseWriteRecord(written) == files, "a record that reads back otherwise");
  for (const size_t cut :
       {size_t{0}, size % written.size(), written.size() / 2, written.size() - 1}) {
    const std::string_view prefix = std::string_view(written).substr(0, cut);
    Check(IsCutOffWriteRecord(prefix), "a record cut off that is not taken as one");
    Check(IsCutOffWriteRecord(std::string(prefix) + std::string(size % 64, '\0')),
          "a record cut off before NUL bytes that is not taken as one");
    Check(!ParseWriteRecord(prefix), "a record cut off that is taken as complete");
  }
  return 0;
}
