// The JUnit form: the XML that Jenkins and most CI services read as test results. Each file named
// is a test suite; each warning reported is a test case that failed, an error one whose failure
// says "error"; each warning excused is a test case skipped, with what excuses it; a file without
// either is one test case that passed, and a file that could not be checked one with an error.
#include <string>
#include <vector>

#include "checker/forms/report.h"
#include "checker/forms/xml_text.h"

namespace morvcfg {
namespace {

struct Count {
    std::size_t tests = 0;
    std::size_t failures = 0;
    std::size_t errors = 0;
    std::size_t skipped = 0;

    [[nodiscard]] std::string attributes() const {
        return " tests=\"" + std::to_string(tests) + "\" failures=\"" + std::to_string(failures) + "\" errors=\"" +
               std::to_string(errors) + "\" skipped=\"" + std::to_string(skipped) + "\"";
    }
};

// A test case's opening tag: named for the warning's place and category, in the file's class.
std::string test_case(const FileReport& report, std::string_view name, std::uint64_t line) {
    std::string out = "    <testcase name=\"" + xml_text(name) + "\" classname=\"" + xml_text(report.name) +
                      "\" file=\"" + xml_text(report.name) + "\"";
    if (line > 0) {
        out += " line=\"" + std::to_string(line) + "\"";
    }
    return out + ">\n";
}

// One file's test suite, and what it counts.
std::string suite(const FileReport& report, const ReportOptions& options, Count& count) {
    const ReportOptions& in_force = options_in_force(report, options);
    std::string cases;
    if (!report.error.empty()) {
        cases += test_case(report, "morvcfg-check", 0);
        cases += "      <error message=\"" + xml_text(report.error) + "\"/>\n    </testcase>\n";
        ++count.tests;
        ++count.errors;
    }
    for (const Finding& finding : report.result.findings) {
        const Verdict verdict = in_force.verdict(finding);
        if (verdict == Verdict::Disabled) {
            continue;
        }
        const auto [line, column] = character_place(report, finding.offset);
        cases += test_case(
            report,
            std::to_string(line) + ":" + std::to_string(column) + " [-W" + std::string(name_of(finding.category)) + "]",
            line);
        ++count.tests;
        if (excused(verdict)) {
            ++count.skipped;
            cases += "      <skipped message=\"";
            cases += verdict == Verdict::ExcusedInSource ? "excused by a morvcfg-check: ignore comment"
                                                         : "excused by the project file";
            cases += "\"/>\n";
        } else {
            ++count.failures;
            const std::string_view kind = verdict == Verdict::Error ? "error" : "warning";
            std::string text = gcc_position(report, finding.offset) + " " + std::string(kind) + ": " + finding.message +
                               " [-W" + std::string(name_of(finding.category)) + "]\n";
            for (const Note& note : finding.notes) {
                text += gcc_note_position(report, note) + " note: " + note.message + "\n";
            }
            cases += "      <failure message=\"" + xml_text(finding.message) + "\" type=\"" + std::string(kind) +
                     "\">" + xml_text(text) + "</failure>\n";
        }
        cases += "    </testcase>\n";
    }
    if (cases.empty()) {
        cases = test_case(report, "no warnings", 0) + "    </testcase>\n";
        ++count.tests;
    }
    return cases;
}

}  // namespace

void write_junit(std::string& out, std::span<const FileReport> reports, const ReportOptions& options) {
    Count all;
    std::string suites;
    for (const FileReport& report : reports) {
        Count count;
        const std::string cases = suite(report, options, count);
        suites += "  <testsuite name=\"" + xml_text(report.name) + "\"" + count.attributes() + ">\n" + cases +
                  "  </testsuite>\n";
        all.tests += count.tests;
        all.failures += count.failures;
        all.errors += count.errors;
        all.skipped += count.skipped;
    }
    out.append(kXmlDeclaration);
    out.append("<testsuites name=\"morvcfg-check\"").append(all.attributes()).append(">\n");
    out.append(suites).append("</testsuites>\n");
}

}  // namespace morvcfg
