#include "tests/support/rename_recorder.h"

#include <cerrno>
#include <fstream>
#include <iterator>

#include "platform/file_system.h"

namespace startgarten::test_support {

namespace {
bool recording = false;
std::vector<RenamedFile> renames;
}  // namespace

void StartRecordingRenames() {
  renames.clear();
  recording = true;
}

std::vector<RenamedFile> StopRecordingRenames() {
  recording = false;
  return std::move(renames);
}

}  // namespace startgarten::test_support

extern "C" int __real_renameat2(int fromDirectory, const char* from, int toDirectory,
                                const char* to, unsigned flags);

extern "C" int __wrap_renameat2(int fromDirectory, const char* from, int toDirectory,
                                const char* to, unsigned flags) {
  using namespace startgarten;
  const int result = __real_renameat2(fromDirectory, from, toDirectory, to, flags);
  if (result == 0 && test_support::recording) {
    const int error = errno;
    std::ifstream in(to, std::ios::binary);
    test_support::renames.push_back({platform::file_system::OperationsPerformed(), to,
                                     std::string(std::istreambuf_iterator<char>(in), {})});
    errno = error;
  }
  return result;
}
