#pragma once

// Applying the checker's fixes to a description file's bytes, and what that changes in the
// configuration morvcfg generates.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/c_reading.h"
#include "checker/analysis/findings.h"
#include "checker/analysis/settings.h"
#include "checker/analysis/verdict.h"

namespace morvcfg {

// The fixes of a result that --fix applies: those of warnings the options leave in, certain ones
// and, with `guesses`, guesses too; in file order, leaving out any that overlaps one taken before.
std::vector<const Fix*> fixes_to_apply(const CheckResult& result, const ReportOptions& options, bool guesses);

// `original` with the replacements of `fixes` (in file order, not overlapping) made; every other
// byte stays as it is.
std::string apply_fixes(std::string_view original, std::span<const Fix* const> fixes);

// A file's bytes once fixed.
struct FixedText {
    std::string bytes;
    // The fixes applied, over all passes.
    std::size_t applied = 0;
    // The check of the fixed bytes: what remains.
    CheckResult result;
    // The check of the bytes as they were, before any fix.
    CheckResult original;
};

// The most passes fix_text() makes: a fix may turn a line into a directive with a fix of its own.
inline constexpr int kMaxFixPasses = 8;

// Fixes `original` until no fix to apply remains (or kMaxFixPasses passes are made), checking
// the bytes again after each pass; `open_include` opens the files its #include lines name.
FixedText fix_text(std::string_view original, const ReportOptions& options, bool guesses,
                   const IncludeOpener& open_include = {});

// --add-ignore: on each line with warnings that the options report, one comment that excuses them
// and names their kinds (note [ignore edits]), so that the file gives none of them, and the
// configuration morvcfg generates stays the same. `applied` counts the comments; a warning no
// comment can excuse (one about the whole file, or on a line after one a backslash continues)
// remains in `result`.
FixedText add_ignores(std::string_view original, const ReportOptions& options, const IncludeOpener& open_include = {});

// What fixing changes in the configuration morvcfg generates, a line per setting:
// "ThisIs: 192.168.0.254 -> 192.168.10.20"; nothing when it stays the same.
std::vector<std::string> configuration_changes(const CheckResult& before, const CheckResult& after);

}  // namespace morvcfg
