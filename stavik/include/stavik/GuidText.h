#pragma once

#include "stavik/Runtime.h"

#include <optional>
#include <string>
#include <string_view>

namespace stavik {

// "{F6B70DC0-165C-4F04-8340-04FE9981BF85}": upper-case hex, braces included.
std::string guidToString(const Guid& guid);
// Reads the form above; the braces may be left out and case does not matter.
std::optional<Guid> guidFromString(std::string_view text);

} // namespace stavik
