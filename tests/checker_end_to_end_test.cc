// End-to-end tests of morvcfg-check: whole outputs compared with golden folders (input.cfg, the
// expected output and exit status), and the translator's outputs on the same files pinned.
#include <string>
#include <vector>

#include "tests/tool_fixture.h"

namespace morvcfg_test {
namespace {

using CheckToolTest = ToolTest;

class CheckerGoldenTest : public ToolTest, public testing::WithParamInterface<std::string> {};

// Each case runs `morvcfg-check --summary input.cfg` in a copy of its folder, and the same with
// --format=json and --format=sarif where the folder holds expected.json or expected.sarif.
TEST_P(CheckerGoldenTest, ExplainsExactly) {
    const fs::path golden = fs::path(MORVCFG_CHECK_GOLDEN_DIR) / GetParam();
    fs::copy_file(golden / "input.cfg", dir() / "input.cfg");
    const struct {
        const char* option;
        const char* expected;
    } forms[] = {
        {"--summary", "expected.txt"}, {"--format=json", "expected.json"}, {"--format=sarif", "expected.sarif"}};
    for (const auto& form : forms) {
        if (!fs::exists(golden / form.expected)) {
            continue;
        }
        const Outcome outcome = run_checker({form.option, "input.cfg"});
        EXPECT_EQ(outcome.standard_output, read_file(golden / form.expected)) << form.option;
        EXPECT_EQ(outcome.error_output, "") << form.option;
        EXPECT_EQ(std::to_string(outcome.status) + "\n", read_file(golden / "status")) << form.option;
    }
}

std::vector<std::string> checker_cases() {
    std::vector<std::string> names;
    std::transform(fs::directory_iterator(MORVCFG_CHECK_GOLDEN_DIR), fs::directory_iterator(),
                   std::back_inserter(names),
                   [](const fs::directory_entry& entry) { return entry.path().filename().string(); });
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckerGoldenTest, testing::ValuesIn(checker_cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// The README runs the checker on both bundled examples: one clean, one with a mistake of each kind.
TEST_F(CheckToolTest, TheBundledExamples) {
    const struct {
        const char* file;
        int status;
        std::size_t warnings;
    } cases[] = {{"target.cfg", 0, 0}, {"board-with-mistakes.cfg", 1, 8}};
    for (const auto& c : cases) {
        const Outcome outcome = run_checker({utf8_string(fs::path(MORVCFG_EXAMPLES_DIR) / c.file)});
        EXPECT_EQ(outcome.status, c.status) << c.file;
        std::size_t warnings = 0;
        for (std::size_t at = 0; (at = outcome.standard_output.find(": warning: ", at)) != std::string::npos; ++at) {
            ++warnings;
        }
        EXPECT_EQ(warnings, c.warnings) << outcome.standard_output;
        EXPECT_EQ(outcome.error_output, "") << c.file;
    }
}

TEST_F(CheckToolTest, CategoriesCanBeSilenced) {
    write_file(dir() / "a.cfg", "MORV_LOCAL(1.2.3)\n  MORV_DNS(1.2.3.4)\n");
    const Outcome all = run_checker({"a.cfg"});
    EXPECT_EQ(all.status, 1);
    EXPECT_EQ(all.standard_output,
              "a.cfg:1:17: warning: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so "
              "LocalHost is 1.2.3.1 [-Woperand]\n"
              "a.cfg:2:3: warning: directive MORV_DNS is indented, so the line is ordinary text and is copied "
              "unchanged; a directive must start in the first column [-Wnot-directive]\n");
    const Outcome some = run_checker({"-Wno-operand", "a.cfg"});
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(some.standard_output.find("[-Woperand]"), std::string::npos);
    EXPECT_EQ(run_checker({"-Wno-operand", "-Wno-not-directive", "a.cfg"}).status, 0);
}

TEST_F(CheckToolTest, ReportsUnreadableFilesAndWrongArguments) {
    write_file(dir() / "good.cfg", "text\n");
    fs::create_directory(dir() / "sub");
    const std::string usage =
        "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-Wno-NAME]... FILE...\n"
        "       morvcfg-check --help | --version\n";
    const struct {
        std::vector<std::string> args;
        std::string error_output;
    } cases[] = {
        {{}, usage},
        {{"--frobnicate", "good.cfg"}, "morvcfg-check: unknown option '--frobnicate'\n" + usage},
        {{"-Wno-such-thing", "good.cfg"},
         "morvcfg-check: unknown warning category 'such-thing' in '-Wno-such-thing'; the categories are operand, "
         "device-define, not-directive, keyword-suffix, ignored-text, range, subnet-mask, subnet-move, override, "
         "pool-size, duplicate-define, long-line, lone-cr, nul, ctrl-z\n" +
             usage},
        {{"--format=xml", "good.cfg"},
         "morvcfg-check: unknown format 'xml': the formats are gcc, json and sarif\n" + usage},
        {{"good.cfg", "--format"}, "morvcfg-check: --format needs a value: gcc, json or sarif\n" + usage},
        // No configuration is shown for a file that was not read.
        {{"--summary", "missing.cfg"}, "missing.cfg: error: cannot open the file: No such file or directory\n"},
        {{"sub", "good.cfg"}, "sub: error: cannot open the file: Is a directory\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run_checker(c.args);
        EXPECT_EQ(outcome.status, 2) << c.error_output;
        EXPECT_EQ(outcome.error_output, c.error_output);
        EXPECT_EQ(outcome.standard_output, "");
    }
}

TEST_F(CheckToolTest, FormatTakesItsValueEitherWay) {
    write_file(dir() / "a.cfg", "MORV_LOCAL(1.2.3)\n");
    const Outcome joined = run_checker({"--format=json", "a.cfg"});
    const Outcome apart = run_checker({"--format", "json", "a.cfg"});
    EXPECT_EQ(apart.status, 1);
    EXPECT_EQ(apart.standard_output, joined.standard_output);
    EXPECT_EQ(run_checker({"-h"}).standard_output, run_checker({"--help"}).standard_output);
}

TEST_F(CheckToolTest, WritesNothingButDiagnostics) {
    fs::copy_file(fs::path(MORVCFG_CHECK_GOLDEN_DIR) / "mistakes" / "input.cfg", dir() / "input.cfg");
    EXPECT_EQ(run_checker({"input.cfg"}).status, 1);
    EXPECT_EQ(entries(), std::vector<std::string>{"input.cfg"});
}

}  // namespace
}  // namespace morvcfg_test
