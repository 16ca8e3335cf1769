// The Markdown form: a table of every warning reported, for a merge request's comment or a job
// summary (the GitHub form appends it to GITHUB_STEP_SUMMARY's file), and a comparison's table.
#include <string>
#include <string_view>

#include "checker/forms/report.h"

namespace morvcfg {

// Text in a Markdown table's cell: '|' would end the cell, a line end the row, and '<', '&', '*',
// '_', '`', '[' and '\\' would be read as markup.
std::string markdown_cell(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            out += ' ';
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '|' || c == '*' || c == '_' || c == '`' || c == '[' || c == ']' || c == '\\') {
            out.append(1, '\\').append(1, c);
        } else {
            out += c;
        }
    }
    return out;
}

void write_markdown(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    std::string rows;
    std::size_t warnings = 0;
    std::size_t errors = 0;
    std::size_t files = 0;
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        bool counted = false;
        for (const Finding& finding : report.result.findings) {
            const Verdict verdict = in_force.verdict(finding);
            if (!reported(verdict)) {
                continue;
            }
            (verdict == Verdict::Error ? errors : warnings) += 1;
            files += counted ? 0 : 1;
            counted = true;
            const auto [line, column] = character_place(report, finding.offset);
            rows += "| " + markdown_cell(report.name) + " | " + std::to_string(line) + ":" + std::to_string(column) +
                    " | " + (verdict == Verdict::Error ? "error" : "warning") + " | " + markdown_cell(finding.message) +
                    " | `-W" + std::string(name_of(finding.category)) + "` |\n";
        }
    }
    const auto counted = [](std::size_t count, std::string_view one) {
        return std::to_string(count) + " " + std::string(one) + (count == 1 ? "" : "s");
    };
    out += "### morvcfg-check\n\n";
    if (rows.empty()) {
        out += "No warnings in " + counted(reports.size(), "file") + ".\n\n";
        return;
    }
    out += (errors == 0     ? ""
            : warnings == 0 ? counted(errors, "error")
                            : counted(errors, "error") + " and ") +
           (warnings == 0 ? "" : counted(warnings, "warning")) + " in " + counted(files, "file") +
           ":\n\n| File | Place | Kind | Message | Category |\n| --- | --- | --- | --- | --- |\n" + rows + "\n";
}

}  // namespace morvcfg
