#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/image_files.h"
#include "platform/system/process.h"

// The words spoken with an export's daemon: the shell script of its keeper, the command line that
// starts qemu-storage-daemon under it, and the line of what it reports when it fails. They stand
// apart from image_export.cpp, which runs and ends the daemon and keeps the folders of exports,
// because both the start of an export and the recognition of a daemon that a killed run left
// behind need the same texts.
namespace startgarten::platform {

// The daemon's keeper: it starts the daemon (the script's $0, with its arguments), reports the
// daemon's process id, and once every holder of the other end of its standard input has let go
// of it, asks the daemon to end and waits for it; one that has not ended 30 seconds later is
// killed, as it would hold the image's lock for good. Until then the daemon is not reaped, so that
// its id stays its own.
extern const char* const kExportKeeperScript;

// The environment of the programs an export runs (the daemon's keeper, fusermount3): the system's
// own folders, and their messages untranslated, as ExportDaemonReport reads them.
std::vector<std::string> ExportProgramEnvironment();

// The option that names the file the export is mounted on, as QEMU is given it.
std::string ExportMountpointOption(std::string_view disk);

// The keeper running daemon (the program's path) to export the image of layers onto disk,
// writable or not, writing its process id to pidFile once the export is up.
ProcessRequest ExportDaemonRequest(const std::vector<ImageLayer>& layers, const std::string& daemon,
                                   bool writable, const std::string& disk,
                                   const std::string& pidFile);

// The first line of what the daemon wrote to its standard error, without its name and the option
// it refers to, in code page 1252; empty when it wrote nothing.
std::string ExportDaemonReport(std::string_view errors);

}  // namespace startgarten::platform
