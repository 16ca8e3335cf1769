#pragma once

// What a change to a description file does to the firmware: the settings of the configuration
// morvcfg generates (the address arrays, the pool macros, the defines) compared between two
// checked files, each change with the line that causes it.
#include <cstdint>
#include <string>
#include <vector>

#include "checker/analysis/findings.h"

namespace morvcfg {

struct ValueChange {
    std::string name;
    // The value before and after; empty where the setting is not there (a define added or gone).
    std::string before;
    std::string after;
    // The line that causes the change, in the new file or, for a setting no line sets any more, in
    // the old one (0: no line, a default), and the cause in words: where the new value comes from
    // ("new.cfg:3", "derived from new.cfg:6"), or why it changes where that line did not
    // ("moved into the new subnet set at new.cfg:3", "no line sets it any more: old.cfg:5 did").
    bool in_new = true;
    std::uint64_t line = 0;
    std::string cause;
};

struct Comparison {
    std::vector<ValueChange> changes;
    // Whether the pass-through copies hold the same defines, in the same order, which the
    // changes of the last value of each name do not show alone (a repeated define gone).
    bool same_defines = true;
    // True when the firmware gets the same: no change, and the same defines.
    [[nodiscard]] bool same() const { return changes.empty() && same_defines; }
};

// Compares what morvcfg generates from `before` and `after`, files named `before_name` and
// `after_name` in the reasons given.
Comparison compare(const CheckResult& before, const CheckResult& after, const std::string& before_name,
                   const std::string& after_name);

}  // namespace morvcfg
