#include "app/command_line.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "platform/cp1252.h"
#include "platform/drive_locations.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace startgarten {

namespace {

struct Option {
  std::string_view name;
  std::string_view shortName;
  CommandLine::Request request;
};
constexpr std::array<Option, 2> kOptions = {{
    {"--help", "-h", CommandLine::Request::kHelp},
    {"--version", "-V", CommandLine::Request::kVersion},
}};

CommandLine UsageError(const char* pattern, const std::string& argument) {
  return {CommandLine::Request::kUsageError, std::nullopt,
          FormatMessageText(pattern, Utf8ToCp1252(argument))};
}

// The option the argument names in full, by its short name or by an unambiguous beginning; none
// otherwise.
std::optional<CommandLine::Request> OptionRequest(std::string_view argument) {
  std::optional<CommandLine::Request> found;
  for (const Option& option : kOptions) {
    if (option.name == argument || option.shortName == argument) return option.request;
    if (argument.size() > 2 && option.name.starts_with(argument)) {
      if (found) return std::nullopt;  // ambiguous
      found = option.request;
    }
  }
  return found;
}

void Print(std::FILE* stream, const std::string& text) {
  std::fputs(Cp1252ToUtf8(text).c_str(), stream);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    // Options may stand after operands; a lone "-" is an operand.
    if (optionsEnded || argument.size() < 2 || !argument.starts_with('-')) {
      operands.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (const std::optional<CommandLine::Request> request = OptionRequest(argument)) {
      return {*request, std::nullopt, {}};
    } else {
      return UsageError(messages::kCommandLineUnknownOption, argument);
    }
  }
  if (operands.size() > 1) return UsageError(messages::kCommandLineExtraArgument, operands[1]);
  CommandLine commandLine;
  if (!operands.empty()) commandLine.drive = operands.front();
  return commandLine;
}

std::optional<int> TakeCommandLine(int argc, const char* const argv[]) {
  const CommandLine commandLine = ParseCommandLine(
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
  switch (commandLine.request) {
    case CommandLine::Request::kHelp:
      Print(stdout, messages::kCommandLineHelp);
      return 0;
    case CommandLine::Request::kVersion:
      Print(stdout, FormatMessageText(messages::kCommandLineVersion, STARTGARTEN_VERSION));
      return 0;
    case CommandLine::Request::kUsageError:
      Print(stderr, commandLine.error + messages::kCommandLineUsageHint);
      return 2;
    case CommandLine::Request::kRun:
      if (commandLine.drive) platform::ChooseDriveC(*commandLine.drive);
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace startgarten
