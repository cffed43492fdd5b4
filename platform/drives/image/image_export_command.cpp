#include "platform/drives/image/image_export_command.h"

#include "platform/drives/image/qemu_blockdev.h"
#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

constexpr const char* kShell = "/bin/sh";

// QEMU reads its options as "key=value" lists: a comma inside a value is written twice.
std::string OptionValue(std::string_view value) {
  std::string escaped;
  for (const char c : value) (escaped += c) += c == ',' ? "," : "";
  return escaped;
}

}  // namespace

// It ignores SIGPIPE: an owner killed before it has read the id must not end it before the daemon.
// The daemon's state is read from /proc every 10 ms for 30 seconds (Z once it has ended); where
// /proc cannot be read, the keeper only waits.
const char* const kExportKeeperScript =
    "trap '' PIPE\n"
    "\"$0\" \"$@\" </dev/null >/dev/null &\n"
    "echo \"$!\"\n"
    "exec >/dev/null\n"
    "read -r _\n"
    "kill -TERM \"$!\" 2>/dev/null\n"
    "n=0\n"
    "while [ $n -lt 3000 ] && read -r _ _ state _ 2>/dev/null </proc/$!/stat && [ \"$state\" != Z "
    "]; do\n"
    "  sleep 0.01\n"
    "  n=$((n + 1))\n"
    "done\n"
    "[ $n -lt 3000 ] || kill -KILL \"$!\"\n"
    "wait \"$!\"\n";

std::vector<std::string> ExportProgramEnvironment() {
  return {"PATH=/usr/sbin:/usr/bin:/sbin:/bin", "LC_ALL=C"};
}

std::string ExportMountpointOption(std::string_view disk) {
  return "mountpoint=" + OptionValue(disk);
}

ProcessRequest ExportDaemonRequest(const std::vector<ImageLayer>& layers, const std::string& daemon,
                                   bool writable, const std::string& disk,
                                   const std::string& pidFile) {
  ProcessRequest request;
  request.program = kShell;
  request.arguments = {"sh",
                       "-c",
                       kExportKeeperScript,
                       daemon,
                       "--blockdev",
                       QemuBlockdev(layers, "disk", writable),
                       "--export",
                       "type=fuse,id=export,node-name=disk,allow-other=off,writable=" +
                           std::string(writable ? "on" : "off") + "," +
                           ExportMountpointOption(disk),
                       "--pidfile",
                       pidFile};
  request.environment = ExportProgramEnvironment();
  return request;
}

std::string ExportDaemonReport(std::string_view errors) {
  std::string report(errors.substr(0, errors.find('\n')));
  for (const std::string_view prefix : {"qemu-storage-daemon: ", "--"}) {
    if (!report.starts_with(prefix)) continue;
    const size_t end = prefix == "--" ? report.find(": ") : prefix.size() - 2;
    if (end != std::string::npos) report.erase(0, end + 2);
  }
  return Utf8ToCp1252(report);
}

}  // namespace startgarten::platform
