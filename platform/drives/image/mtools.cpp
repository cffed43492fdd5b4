#include "platform/drives/image/mtools.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/drives/drive_errors.h"

namespace startgarten::platform {

namespace {

// One binary holds every program; it chooses by the name it is started under.
constexpr const char* kMtoolsBinary = "/usr/bin/mtools";

// Settings as variables: mtools reads these after every configuration file, so they win over a
// system-wide /etc/mtools.conf as well. Our configuration file repeats them for versions that
// read some of them only there.
constexpr const char* kSettings[] = {
    "MTOOLS_SKIP_CHECK=1",              // no refusal of images partitioned elsewhere
    "MTOOLS_FAT_COMPATIBILITY=1",       // FATs larger than needed are fine
    "MTOOLS_LOWER_CASE=0",              // short names as stored, with their case bits
    "MTOOLS_NO_VFAT=0",                 // mixed-case names keep their long name entry
    "MTOOLS_NAME_NUMERIC_TAIL=1",       // short aliases "NAME~1.EXT", as Windows 95 makes them
    "MTOOLS_DOTTED_DIR=0",              // the listing layout that is parsed
    "MTOOLS_TWENTY_FOUR_HOUR_CLOCK=1",  //
    "MTOOLS_DATE_STRING=yyyy-mm-dd",    //
    "DEFAULT_CODEPAGE=850",             // short names in the code page of German DOS
};

constexpr const char* kConfiguration =
    "# Startgarten's settings for mtools, read after every other configuration file.\n"
    "MTOOLS_SKIP_CHECK=1\n"
    "MTOOLS_FAT_COMPATIBILITY=1\n"
    "MTOOLS_LOWER_CASE=0\n"
    "MTOOLS_NO_VFAT=0\n"
    "MTOOLS_NAME_NUMERIC_TAIL=1\n"
    "MTOOLS_DOTTED_DIR=0\n"
    "MTOOLS_TWENTY_FOUR_HOUR_CLOCK=1\n"
    "MTOOLS_DATE_STRING=\"yyyy-mm-dd\"\n"
    "DEFAULT_CODEPAGE=850\n";

// The configuration in a file in memory that only this process and its children can reach.
Descriptor ConfigurationFile() {
  Descriptor fd = Descriptor::Direct(::memfd_create("mtoolsrc", MFD_CLOEXEC));
  const size_t size = std::strlen(kConfiguration);
  if (fd.IsOpen() && ::write(fd.Get(), kConfiguration, size) != static_cast<ssize_t>(size))
    return {};
  return fd;
}

std::string DescriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

bool Says(const std::string& text, const char* phrase) {
  return text.find(phrase) != std::string::npos;
}

}  // namespace

Mtools::Mtools(int imageFd, uint64_t volumeOffset, std::chrono::milliseconds timeout)
    : imageFd_(imageFd),
      volumeOffset_(volumeOffset),
      timeout_(timeout),
      config_(ConfigurationFile()) {}

bool Mtools::Installed() {
  return ::access(kMtoolsBinary, X_OK) == 0;
}

std::vector<std::string> Mtools::Environment() const {
  // HOME below a file: the user's ~/.mtoolsrc (and ~/.mcwd) cannot be found there.
  std::vector<std::string> environment = {"HOME=/dev/null", "LC_ALL=C.UTF-8"};
  if (config_.IsOpen()) environment.push_back("MTOOLSRC=" + DescriptorPath(config_.Get()));
  environment.insert(environment.end(), std::begin(kSettings), std::end(kSettings));
  // New directory entries get local time, as DOS gives them.
  if (const char* zone = std::getenv("TZ")) environment.push_back(std::string("TZ=") + zone);
  return environment;
}

MtoolsResult Mtools::Run(std::string_view program, const std::vector<std::string>& arguments,
                         std::string_view input, size_t outputLimit) const {
  ProcessRequest request;
  request.program = kMtoolsBinary;
  request.arguments = {std::string(program), "-i",
                       DescriptorPath(imageFd_) + "@@" + std::to_string(volumeOffset_)};
  request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
  request.environment = Environment();
  request.passedDescriptors = {imageFd_};
  if (config_.IsOpen()) request.passedDescriptors.push_back(config_.Get());
  request.passedDescriptors.insert(request.passedDescriptors.end(), heldFds_.begin(),
                                   heldFds_.end());
  request.input = input;
  request.timeout = timeout_;
  request.outputLimit = outputLimit;
  ++calls_;
  ProcessResult process = RunProcess(request);

  MtoolsResult result;
  result.tooLarge = process.outputTooLarge;
  result.error = result.tooLarge ? 0 : MtoolsError(process);
  result.output = std::move(process.output);
  result.errors = std::move(process.errors);
  return result;
}

int MtoolsError(const ProcessResult& result) {
  if (result.startError)
    return result.startError == ENOENT ? kUnexplainedFailure : result.startError;
  if (result.timedOut || result.signal) return EIO;
  if (result.exitCode == 0) return 0;
  const std::string& text = result.errors;
  if (Says(text, "not found")) return ENOENT;
  if (Says(text, "Disk full") || Says(text, "No directory slots") ||
      Says(text, "No space left on device") || Says(text, "Disk quota exceeded")) {
    return ENOSPC;
  }
  if (Says(text, "Read-only file system")) return EROFS;
  if (Says(text, "Permission denied") || Says(text, "Operation not permitted") ||
      Says(text, "is a directory")) {
    return EACCES;
  }
  if (Says(text, "exists")) return EEXIST;
  if (Says(text, "Out of memory") || Says(text, "Cannot allocate memory")) {
    return ENOMEM;
  }
  if (Says(text, "Input/output error") || Says(text, "loop detected") || Says(text, "Fat error") ||
      Says(text, "FAT error") || Says(text, "Bad FAT") || Says(text, "Cannot initialize") ||
      Says(text, "non DOS media")) {
    return EIO;
  }
  return kUnexplainedFailure;
}

}  // namespace startgarten::platform
