#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace startgarten {

// The unified diff that turns before into after, as diff -u writes it: the headers "--- a/NAME"
// and "+++ b/NAME" ("--- /dev/null" when there is no file before), then hunks "@@ -a,b +c,d @@"
// with three lines of context, hunks whose context would meet joined. Lines end at LF; a CR is
// part of its line, so that a change of line ends shows; a last line without LF is followed by
// "\ No newline at end of file". Empty when the bytes are equal. The bytes are taken as they are:
// the diff is in the code page of the files.
std::string UnifiedDiff(std::string_view name, const std::optional<std::string>& before,
                        std::string_view after);

}  // namespace startgarten
