#pragma once

// The options that choose what is reported, and what becomes of each warning under them.
#include <map>
#include <set>

#include "checker/analysis/categories.h"
#include "checker/analysis/findings.h"

namespace morvcfg {

// note [verdicts]: what becomes of a warning is decided once, by ReportOptions::verdict(), and
// every output form, the exit status, --fix and the language server read that verdict.
enum class Verdict : unsigned char {
    Disabled,          // its category is left out (-Wno-NAME): no form shows it
    ExcusedInSource,   // a morvcfg-check: ignore comment excuses it
    ExcusedByProject,  // the project file leaves its category out
    Warning,
    Error,  // -Werror, -Werror=NAME
};

// True for a warning the forms report and the exit status counts.
constexpr bool reported(Verdict verdict) {
    return verdict == Verdict::Warning || verdict == Verdict::Error;
}
// True for a warning that is excused: forms that can mark it do so, the others leave it out.
constexpr bool excused(Verdict verdict) {
    return verdict == Verdict::ExcusedInSource || verdict == Verdict::ExcusedByProject;
}

struct ReportOptions {
    // Categories left out (-Wno-NAME).
    std::set<Category> disabled;
    // Whether the GCC form also prints the configuration.
    bool summary = false;
    // Whether the GCC form shows the source line and a caret under each place, with the fix.
    bool show_caret = true;
    // Whether the GCC form adds GCC's machine-readable fix-it lines.
    bool parseable_fixits = false;
    // Whether the GCC form is coloured as GCC colours it.
    bool colour = false;
    // Whether warnings are errors (-Werror), and the categories that are errors or warnings
    // whatever that says (-Werror=NAME, -Wno-error=NAME).
    bool errors = false;
    std::map<Category, bool> error_categories{};
    // Categories a project file silences: left out of the GCC form and the exit status like those,
    // but listed as excused in JSON and SARIF.
    std::set<Category> excused{};
    // Whether the GCC form also shows the warnings that are excused (--show-ignored).
    bool show_ignored = false;

    // What becomes of a warning under these options (note [verdicts]).
    [[nodiscard]] Verdict verdict(const Finding& finding) const {
        if (disabled.contains(finding.category)) {
            return Verdict::Disabled;
        }
        if (finding.ignored_at) {
            return Verdict::ExcusedInSource;
        }
        if (excused.contains(finding.category)) {
            return Verdict::ExcusedByProject;
        }
        const auto found = error_categories.find(finding.category);
        return (found != error_categories.end() ? found->second : errors) ? Verdict::Error : Verdict::Warning;
    }
};

}  // namespace morvcfg
