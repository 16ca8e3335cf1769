// The Checkstyle form: the XML that Jenkins' warnings plug-in and many review bots read. Each file
// named is a file element; each warning reported an error element in it, of severity "error" or
// "warning", its source the category. Excused warnings are left out, as consumers show every
// element; a file that could not be checked has one error element that says why.
#include <string>

#include "checker/forms/report.h"
#include "checker/forms/xml_text.h"

namespace morvcfg {
namespace {

std::string element(std::uint64_t line, std::uint64_t column, std::string_view severity, std::string_view message,
                    std::string_view source) {
    std::string out = "    <error";
    if (line > 0) {
        out += " line=\"" + std::to_string(line) + "\" column=\"" + std::to_string(column) + "\"";
    }
    return out + " severity=\"" + std::string(severity) + "\" message=\"" + xml_text(message) + "\" source=\"" +
           xml_text(source) + "\"/>\n";
}

}  // namespace

void write_checkstyle(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    out.append(kXmlDeclaration).append("<checkstyle version=\"4.3\">\n");
    for (const FileReport& report : reports) {
        const ReportOptions& in_force = options_in_force(report, options);
        out.append("  <file name=\"").append(xml_text(report.name)).append("\">\n");
        if (!report.error.empty()) {
            out.append(element(0, 0, "error", report.error, "morvcfg-check"));
        }
        for (const Finding& finding : report.result.findings) {
            const Verdict verdict = in_force.verdict(finding);
            if (!reported(verdict)) {
                continue;
            }
            const auto [line, column] = character_place(report, finding.offset);
            out.append(element(line, column, verdict == Verdict::Error ? "error" : "warning", finding.message,
                               "morvcfg-check.-W" + std::string(name_of(finding.category))));
        }
        out.append("  </file>\n");
    }
    out.append("</checkstyle>\n");
}

}  // namespace morvcfg
