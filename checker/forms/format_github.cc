// The GitHub Actions form: one workflow command a warning, which the runner shows as an annotation
// on the file's line in the run and in a pull request's changes. Excused warnings are left out, as
// the form cannot mark them; errors stay errors.
#include <string>
#include <string_view>

#include "checker/forms/report.h"

namespace morvcfg {
namespace {

// A command's message, escaped as the runner reads it: '%' and the line ends.
std::string escaped_data(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '%' ? "%25" : c == '\r' ? "%0D" : c == '\n' ? "%0A" : std::string(1, c);
    }
    return out;
}

// A property's value, escaped as the runner reads it: as a message, and ':' and ',' too.
std::string escaped_property(std::string_view text) {
    std::string out;
    for (const char c : escaped_data(text)) {
        out += c == ':' ? "%3A" : c == ',' ? "%2C" : std::string(1, c);
    }
    return out;
}

}  // namespace

void write_github(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        for (const Finding& finding : report.result.findings) {
            const Verdict verdict = in_force.verdict(finding);
            if (!reported(verdict)) {
                continue;
            }
            const auto [line, column] = character_place(report, finding.offset);
            const auto [end_line, end_column] = character_place(report, std::max(finding.end, finding.offset));
            out.append(verdict == Verdict::Error ? "::error " : "::warning ");
            out.append("file=").append(escaped_property(report.name));
            out.append(",line=").append(std::to_string(line)).append(",col=").append(std::to_string(column));
            out.append(",endLine=").append(std::to_string(end_line));
            out.append(",endColumn=").append(std::to_string(end_column));
            out.append(",title=").append(
                escaped_property("morvcfg-check [-W" + std::string(name_of(finding.category)) + "]"));
            out.append("::").append(escaped_data(finding.message)).append("\n");
        }
    }
}

}  // namespace morvcfg
