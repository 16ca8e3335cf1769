#pragma once

// The settings of the configuration morvcfg generates for a checked file, in the names the
// generated files give them.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "checker/analysis/findings.h"

namespace morvcfg {

// The settings of the configuration morvcfg generates, by name: the address arrays of morv_cfg.c
// (dotted), the macros of morv_cfg.h and the defines of the pass-through output (the last of a
// name, which is the one that counts).
std::map<std::string, std::string> generated_settings(const CheckResult& result);

// The same settings in the order the summary lists them: the address arrays, the macros, then the
// defines in the order of their first line, each with its last value.
std::vector<std::pair<std::string, std::string>> generated_settings_in_order(const CheckResult& result);

}  // namespace morvcfg
