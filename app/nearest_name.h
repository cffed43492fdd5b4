#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace startgarten {

// The name among names that given was most likely meant to be, when given is none of them: the
// nearest by the number of edits between them without regard to case (a letter inserted, removed
// or replaced, or two neighbours swapped), when that is a slip of the fingers, at most two edits
// and at most a third of the name's letters, and no other name is as near. None otherwise.
std::optional<std::string_view> NearestName(std::string_view given,
                                            std::span<const std::string_view> names);

}  // namespace startgarten
