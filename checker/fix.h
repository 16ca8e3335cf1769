#pragma once

// Applying the checker's fixes: to bytes in memory, and to a description file in place.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/c_reading.h"
#include "checker/findings.h"
#include "checker/report.h"
#include "translator/environment.h"

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

// What fixing changes in the configuration morvcfg generates, a line per setting:
// "ThisIs: 192.168.0.254 -> 192.168.10.20"; nothing when it stays the same.
std::vector<std::string> configuration_changes(const CheckResult& before, const CheckResult& after);

// The unified diff that turns `before` into `after`, both named `name` (for `patch -p0`). Fixes
// change lines and may break one into several, but never join lines: each line of `before` is one
// or more lines of `after`.
std::string unified_diff(std::string_view name, std::string_view before, std::string_view after);

// Replaces the content of the file `path` (the file a symbolic link leads to, the link staying a
// link) with `fixed`, without ever leaving it half written: the new bytes go to a file beside it,
// which is made durable and then moved over it in one step, keeping its permission bits. Refused
// when the file no longer holds `original`. False with the reason on any failure, and the file
// then stays as it was.
bool rewrite_in_place(Environment& environment, const std::string& path, std::string_view original,
                      std::string_view fixed, std::string& why);

// Reads a whole file; false with the reason on failure.
bool read_whole_file(Environment& environment, const std::string& path, std::string& bytes, std::string& why);

}  // namespace morvcfg
