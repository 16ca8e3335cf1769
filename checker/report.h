#pragma once

// What every output format of the checker writes from: one report per file named on the command
// line, and the options that choose what is reported. Each format is a writer of these reports.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/findings.h"
#include "translator/text_reader.h"

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

struct FileReport {
    // The file as named on the command line.
    std::string name;
    // Why the file could not be checked ("cannot open the file"); empty when it was.
    std::string error;
    CheckResult result;
    // Columns counted in Unicode code points, by file offset, where they have been worked out
    // (see code_point_columns()); byte columns stand for any offset missing here.
    std::map<std::uint64_t, std::uint64_t> code_point_columns;
    // The lines that warnings and notes point into, by line number (see source_lines()), for the
    // GCC form to show.
    std::map<std::uint64_t, std::string> source_lines;
    // Which warnings this file reports and which are errors, where that is not the run's (a
    // project file decided for it): only the categories count, the form is the run's.
    std::optional<ReportOptions> options{};
};

// The options that decide which of a report's warnings are reported, and as what: its own, or else
// the run's.
inline const ReportOptions& options_in_force(const FileReport& report, const ReportOptions& run) {
    return report.options ? *report.options : run;
}

// The project's version, as --version and SARIF report it.
std::string_view checker_version();

// The warnings of a report that the options leave in.
std::size_t reported_warnings(const FileReport& report, const ReportOptions& options);

// GCC form: FILE:LINE:COLUMN: warning: MESSAGE [-Wname], each warning followed by its notes, and
// the configuration after them when the options ask for it.
void write_gcc(std::string& out, const FileReport& report, const ReportOptions& options);
// The same for each of `reports`, as the table of output forms takes a writer.
void write_gcc_form(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// JSON: one document for the whole run (its shape is in the manual page).
void write_json(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// SARIF 2.1.0: one run, one rule per warning category.
void write_sarif(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);

// The columns, in Unicode code points, of the places the report's warnings and notes point at,
// counted by reading the file again from `file`. Bytes that are not well-formed UTF-8 count as
// one character each, as a reader shows them.
std::map<std::uint64_t, std::uint64_t> code_point_columns(ByteSource& file, const CheckResult& result);

// The settings of the configuration morvcfg generates, by name: the address arrays of morv_cfg.c
// (dotted), the macros of morv_cfg.h and the defines of the pass-through output (the last of a
// name, which is the one that counts).
std::map<std::string, std::string> generated_settings(const CheckResult& result);

// The same settings in the order the summary lists them: the address arrays, the macros, then the
// defines in the order of their first line, each with its last value.
std::vector<std::pair<std::string, std::string>> generated_settings_in_order(const CheckResult& result);

// The longest part of a line that source_lines() keeps.
inline constexpr std::size_t kMaxShownLine = 4096;
// The lines the report's warnings and notes point into, by line number, read again from `file`:
// each without its line feed (the first without a byte-order mark), cut at kMaxShownLine bytes.
std::map<std::uint64_t, std::string> source_lines(ByteSource& file, const CheckResult& result);

}  // namespace morvcfg
