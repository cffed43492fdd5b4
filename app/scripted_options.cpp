#include "app/scripted_options.h"

#include <optional>

#include "platform/cp1252.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/number_text.h"

namespace startgarten {

const std::array<ScriptedOption, 17> kScriptedOptions = {{
    {"BootMenu", &FormControls::CheckBox1},
    {"BootKeys", &FormControls::CheckBox2},
    {"BootGUI", &FormControls::CheckBox3},
    {"Network", &FormControls::CheckBox4},
    {"BootFailSafe", &FormControls::CheckBox5},
    {"BootWarn", &FormControls::CheckBox6},
    {"BootMulti", &FormControls::CheckBox7},
    {"DblSpace", &FormControls::CheckBox8},
    {"DrvSpace", &FormControls::CheckBox9},
    {"LoadTop", &FormControls::CheckBox10},
    {"Logo", &FormControls::CheckBox11},
    {"DosPrompt", &FormControls::CheckBox12},
    {"BootMenuDefault", &FormControls::ComboBox1},
    {"BootMenuDelay", &FormControls::SpinEdit1},
    {"BootDelay", &FormControls::SpinEdit2},
    {"BootWin", &FormControls::RadioGroup1},
    {"DoubleBuffer", &FormControls::RadioGroup2},
}};

namespace {

template <typename... Cases>
struct Overloaded : Cases... {
  using Cases::operator()...;
};
template <typename... Cases>
Overloaded(Cases...) -> Overloaded<Cases...>;

// The controls as the window is designed: the number of entries of the list and the groups.
const FormControls& DesignedControls() {
  static const FormControls controls;
  return controls;
}

// The value of a choice between first and last, written as the number alone ("2", not "02" or
// "+2"); none otherwise.
std::optional<int> Choice(std::string_view value, int first, int last) {
  const std::optional<int32_t> number = TryStrToInt(value);
  if (!number || IntToStr(*number) != value || *number < first || *number > last) {
    return std::nullopt;
  }
  return *number;
}

std::string ChoicesText(int first, int last) {
  const char* pattern =
      last == first + 1 ? messages::kCommandLineValuesEither : messages::kCommandLineValuesRange;
  return FormatMessageText(pattern, IntToStr(first), IntToStr(last));
}

int LastItem(const std::vector<std::string>& items) {
  return static_cast<int>(items.size()) - 1;
}

// What the option takes, for the message when a value is not among it; empty when it takes the
// value.
std::string RefusedValue(const ScriptedOption& option, std::string_view value) {
  const FormControls& design = DesignedControls();
  return std::visit(
      Overloaded{
          [&](TCheckBox FormControls::*) {
            return Choice(value, 0, 1) ? std::string() : ChoicesText(0, 1);
          },
          [&](TComboBox FormControls::*box) {
            const int entries = LastItem((design.*box).Items()) + 1;
            return Choice(value, 1, entries) ? std::string() : ChoicesText(1, entries);
          },
          [&](TSpinEdit FormControls::*) {
            return TryStrToInt(value) ? std::string() : messages::kCommandLineValuesInteger;
          },
          [&](TRadioGroup FormControls::*group) {
            const int last = LastItem((design.*group).Items());
            return Choice(value, 0, last) ? std::string() : ChoicesText(0, last);
          },
      },
      option.control);
}

}  // namespace

OptionSetting ParseOptionSetting(std::string_view argument) {
  const size_t equals = argument.find('=');
  if (equals == std::string_view::npos) {
    throw Error(FormatMessageText(messages::kCommandLineMissingEquals, Utf8ToCp1252(argument)));
  }
  const std::string name = Utf8ToCp1252(argument.substr(0, equals));
  const std::string value = Utf8ToCp1252(argument.substr(equals + 1));
  for (const ScriptedOption& option : kScriptedOptions) {
    if (!EqualsIgnoreCase(option.name, name)) continue;
    if (const std::string takes = RefusedValue(option, value); !takes.empty()) {
      const std::string pattern =
          FormatMessageText(messages::kCommandLineBadValue, option.name, takes);
      throw Error(FormatMessageText(pattern, value));
    }
    return {&option, value};
  }
  throw Error(FormatMessageText(messages::kCommandLineUnknownName, name));
}

bool ApplyOptionSetting(FormControls& form, const OptionSetting& setting) {
  const std::string& value = setting.value;
  return std::visit(Overloaded{
                        [&](TCheckBox FormControls::*member) {
                          TCheckBox& box = form.*member;
                          if (!box.Enabled()) return false;
                          if (box.Checked() != (value == "1")) box.UserClick();
                          return true;
                        },
                        [&](TComboBox FormControls::*member) {
                          (form.*member).UserChoose(TryStrToInt(value).value_or(0) - 1);
                          return true;
                        },
                        [&](TSpinEdit FormControls::*member) {
                          (form.*member).UserSetText(value);
                          return true;
                        },
                        [&](TRadioGroup FormControls::*member) {
                          (form.*member).UserClick(TryStrToInt(value).value_or(-1));
                          return true;
                        },
                    },
                    setting.option->control);
}

std::string ShowOptions(const FormControls& form) {
  std::string lines;
  for (const ScriptedOption& option : kScriptedOptions) {
    const int32_t value =
        std::visit(Overloaded{
                       [&](TCheckBox FormControls::*box) { return int32_t{(form.*box).Checked()}; },
                       [&](TComboBox FormControls::*box) { return (form.*box).ItemIndex() + 1; },
                       [&](TSpinEdit FormControls::*edit) { return (form.*edit).Value(); },
                       [&](TRadioGroup FormControls::*group) { return (form.*group).ItemIndex(); },
                   },
                   option.control);
    lines.append(option.name).append("=").append(IntToStr(value)).append("\n");
  }
  return lines;
}

}  // namespace startgarten
