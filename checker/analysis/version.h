#pragma once

#include <string_view>

namespace morvcfg {

// The project's version, as --version and SARIF report it.
std::string_view checker_version();

}  // namespace morvcfg
