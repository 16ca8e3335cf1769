#pragma once

// What fixing changes in a file, as a unified diff for `patch -p0`.
#include <string>
#include <string_view>

namespace morvcfg {

// The unified diff that turns `before` into `after`, both named `name` (for `patch -p0`). Fixes
// change lines and may break one into several, but never join lines: each line of `before` is one
// or more lines of `after`.
std::string unified_diff(std::string_view name, std::string_view before, std::string_view after);

}  // namespace morvcfg
