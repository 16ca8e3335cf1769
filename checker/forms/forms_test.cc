// The CI forms: what their consumers compare and parse (GitLab's fingerprints, XML's characters),
// and how each marks or leaves out a warning under its verdict.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/forms/output_form.h"
#include "checker/forms/report.h"
#include "checker/forms/xml_text.h"
#include "translator/text_reader.h"

namespace morvcfg {
namespace {

// The report of a file's bytes as the form reads it again.
FileReport report_of(const std::string& name, const std::string& bytes) {
    StringSource source(bytes);
    FileReport report{name, {}, check(source), {}, {}};
    StringSource again(bytes);
    report.source_lines = source_lines(again, report.result);
    return report;
}

std::vector<std::string> fingerprints(const FileReport& report) {
    std::string out;
    write_gitlab(out, std::span<const FileReport>(&report, 1), {});
    std::vector<std::string> found;
    const std::regex fingerprint("\"fingerprint\": \"([0-9a-f]{32})\"");
    for (auto match = std::sregex_iterator(out.begin(), out.end(), fingerprint); match != std::sregex_iterator();
         ++match) {
        found.push_back((*match)[1]);
    }
    return found;
}

TEST(FormsTest, GitlabFingerprintsFollowTheWarningNotItsLine) {
    const std::string body = "MORV_DNS(1.2.3.4) x\n  MORV_LOCAL(10.0.0.1)\n";
    const std::vector<std::string> first = fingerprints(report_of("a.cfg", body));
    ASSERT_EQ(first.size(), 3U);
    std::string lines_above;
    for (int i = 0; i < 10; ++i) {
        lines_above += "text " + std::to_string(i) + "\n";
    }
    EXPECT_EQ(fingerprints(report_of("a.cfg", lines_above + body)), first) << "ten lines added above";
    EXPECT_EQ(fingerprints(report_of("a.cfg", body + "/* a line below */\n")), first) << "a line added below";
    const std::vector<std::string> other = fingerprints(report_of("b.cfg", body));
    ASSERT_EQ(other.size(), first.size());
    for (std::size_t i = 0; i < other.size(); ++i) {
        EXPECT_NE(other[i], first[i]) << "another file";
    }
    // Two equal lines, and two equal warnings on one line: each warning its own.
    for (const std::string twice : {"  MORV_DNS(1.2.3.4)\n  MORV_DNS(1.2.3.4)\n", "MORV_DNS(1.2.3.4) x y\n"}) {
        const std::vector<std::string> both = fingerprints(report_of("a.cfg", twice));
        EXPECT_EQ(std::set<std::string>(both.begin(), both.end()).size(), both.size()) << twice;
    }
}

TEST(FormsTest, XmlTextHoldsOnlyWhatXmlMay) {
    const struct {
        std::string bytes;
        std::string xml;
    } cases[] = {
        {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;"},
        {"tab\tLF\nCR\r", "tab&#9;LF&#10;CR&#13;"},
        {std::string("nul\0bell\x07", 9), "nul\\x00bell\\x07"},
        {"\x7f", "\\x7f"},
        {"é日\xF0\x9F\x98\x80", "é日\xF0\x9F\x98\x80"},
        {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", "\\xef\\xbf\\xbe\\xef\\xbf\\xbf\xEF\xBF\xBD"},
        {"\xC3(\x80\xED\xA0\x80", "\\xc3(\\x80\\xed\\xa0\\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xml_text(c.bytes), c.xml);
    }
}

// Each form under the verdicts: a warning made an error stays one, an excused one is marked where
// the form can mark it and left out where it cannot, a disabled one is in no form.
TEST(FormsTest, EveryFormKeepsTheVerdicts) {
    const FileReport report = report_of("a.cfg",
                                        "MORV_DNS(1.2.3.4) x\n"
                                        "  MORV_LOCAL(10.0.0.1) /* morvcfg-check: ignore[not-directive] */\n"
                                        "MORV_LOCAL(1.2.3)\n");
    ReportOptions options;
    options.error_categories[Category::IgnoredText] = true;
    options.disabled = {Category::Operand, Category::SubnetMove};
    const struct {
        std::string_view form;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {"gitlab", {"\"severity\": \"major\"", "\"check_name\": \"ignored-text\""}, {"not-directive", "operand"}},
        {"junit",
         {"tests=\"2\" failures=\"1\" errors=\"0\" skipped=\"1\"", "type=\"error\"",
          "<skipped message=\"excused by a morvcfg-check: ignore comment\"/>", "[-Wnot-directive]"},
         {"[-Woperand]"}},
        {"checkstyle",
         {"line=\"1\" column=\"19\" severity=\"error\"", "source=\"morvcfg-check.-Wignored-text\""},
         {"not-directive", "operand"}},
        {"github", {"::error file=a.cfg,line=1"}, {"not-directive", "operand"}},
    };
    for (const auto& c : cases) {
        std::string out;
        output_form_named(c.form)->write(out, std::span<const FileReport>(&report, 1), options);
        for (const std::string& text : c.present) {
            EXPECT_NE(out.find(text), std::string::npos) << c.form << ": " << text << "\n" << out;
        }
        for (const std::string& text : c.absent) {
            EXPECT_EQ(out.find(text), std::string::npos) << c.form << ": " << text << "\n" << out;
        }
    }
}

}  // namespace
}  // namespace morvcfg
