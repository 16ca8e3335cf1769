#pragma once

// What every output form of the checker writes from: one report per file named on the command
// line, under the options that choose what is reported (verdict.h). Each form is a writer of these
// reports (output_form.h).
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

#include "checker/analysis/comparison.h"
#include "checker/analysis/findings.h"
#include "checker/analysis/settings.h"
#include "checker/analysis/verdict.h"
#include "checker/analysis/version.h"
#include "translator/text_reader.h"

namespace morvcfg {

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

// The warnings of a report that the options leave in.
std::size_t reported_warnings(const FileReport& report, const ReportOptions& options);

// The configuration morvcfg generates, a row a value: each row `indent`, the name, the value and
// where it comes from, each line named by `line_name` ("line N" without one).
void write_configuration_rows(std::string& out, const CheckResult& result, std::string_view indent,
                              const std::function<std::string(std::uint64_t)>& line_name = {});

// GCC form: FILE:LINE:COLUMN: warning: MESSAGE [-Wname], each warning followed by its notes, and
// the configuration after them when the options ask for it.
void write_gcc(std::string& out, const FileReport& report, const ReportOptions& options);
// The same for each of `reports`, as the table of output forms takes a writer.
void write_gcc_form(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// Where a warning's place is, as the GCC form writes it: "FILE:LINE:COLUMN:", the column in bytes.
std::string gcc_position(const FileReport& report, std::uint64_t offset);
// The same for a note, which may be in another file.
std::string gcc_note_position(const FileReport& report, const Note& note);
// JSON: one document for the whole run (its shape is in the manual page).
void write_json(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// SARIF 2.1.0: one run, one rule per warning category.
void write_sarif(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// GitHub Actions workflow commands: an ::error or ::warning annotation for each warning reported.
void write_github(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);

// GitLab's Code Quality report: one JSON array, a fingerprint for each warning that stays when
// lines are added above it.
void write_gitlab(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// JUnit XML: a test suite a file, a failure a warning reported, excused warnings skipped.
void write_junit(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);
// Checkstyle XML: a file element a file, an error element a warning reported.
void write_checkstyle(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);

// --statistics: a line per kind of warning reported, the most frequent first: the count, the name,
// and [*] where a certain fix exists for one of them ([?] where only a guess does).
void write_statistics(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);

// Two files compared (--compare): their names as given, and their checks.
struct ComparedFiles {
    std::string before;
    std::string after;
    const CheckResult* before_result = nullptr;
    const CheckResult* after_result = nullptr;
};
// A comparison as text (a line a change), as JSON, and as Markdown.
void write_comparison_text(std::string& out, const Comparison& comparison, const ComparedFiles& files);
void write_comparison_json(std::string& out, const Comparison& comparison, const ComparedFiles& files);
void write_comparison_markdown(std::string& out, const Comparison& comparison, const ComparedFiles& files);
// Text in a Markdown table's cell, where it cannot end the cell or be read as markup.
std::string markdown_cell(std::string_view text);
// Markdown: a table of every warning reported, for a merge request's comment, and for the job
// summary GitHub's runner shows, since it shows only the first ten annotations of each kind a step
// gives.
void write_markdown(std::string& out, std::span<const FileReport> reports, const ReportOptions& options);

// A place's line and column, the column in Unicode code points where code_point_columns() has
// counted it, else in bytes.
std::pair<std::uint64_t, std::uint64_t> character_place(const FileReport& report, std::uint64_t offset);

// The columns, in Unicode code points, of the places the report's warnings and notes point at,
// counted by reading the file again from `file`. Bytes that are not well-formed UTF-8 count as
// one character each, as a reader shows them.
std::map<std::uint64_t, std::uint64_t> code_point_columns(ByteSource& file, const CheckResult& result);

// The lines the report's warnings and notes point into, by line number, read again from `file`:
// each without its line feed (the first without a byte-order mark), cut at kMaxShownLine bytes.
std::map<std::uint64_t, std::string> source_lines(ByteSource& file, const CheckResult& result);

}  // namespace morvcfg
