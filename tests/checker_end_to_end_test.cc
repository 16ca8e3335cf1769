// End-to-end tests of morvcfg-check: whole outputs compared with golden folders (input.cfg, the
// expected output and exit status), and the translator's outputs on the same files pinned.
#include <string>
#include <vector>

#include "tests/tool_fixture.h"

namespace morvcfg_test {
namespace {

using CheckToolTest = ToolTest;

class CheckerGoldenTest : public ToolTest, public testing::WithParamInterface<std::string> {};

// Each case runs the checker on input.cfg (beside the other files its folder holds, for its
// #include lines to name) in a copy of its folder, once for each expected output
// the folder holds: the GCC form with the configuration, with source lines and carets (and in
// colour), with GCC's parseable fix-its, JSON and SARIF. Where it holds fixed.cfg, a copy fixed
// in place must equal it.
TEST_P(CheckerGoldenTest, ExplainsExactly) {
    const fs::path golden = fs::path(MORVCFG_CHECK_GOLDEN_DIR) / GetParam();
    // The input, and the files its #include lines name beside it.
    for (const fs::directory_entry& entry : fs::directory_iterator(golden)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("expected") && name != "status" && name != "fixed.cfg") {
            fs::copy_file(entry.path(), dir() / name);
        }
    }
    const struct {
        std::vector<std::string> options;
        const char* expected;
    } forms[] = {
        {{"--summary"}, "expected.txt"},
        {{"-fdiagnostics-color=always"}, "expected.color.txt"},
        {{"-fdiagnostics-parseable-fixits", "-fno-diagnostics-show-caret"}, "expected.fixits.txt"},
        {{"--format=json"}, "expected.json"},
        {{"--format", "sarif"}, "expected.sarif"},
    };
    for (const auto& form : forms) {
        if (!fs::exists(golden / form.expected)) {
            continue;
        }
        std::vector<std::string> args = form.options;
        args.emplace_back("input.cfg");
        const Outcome outcome = run_checker(args);
        EXPECT_EQ(outcome.standard_output, read_file(golden / form.expected)) << form.expected;
        EXPECT_EQ(outcome.error_output, "") << form.expected;
        EXPECT_EQ(std::to_string(outcome.status) + "\n", read_file(golden / "status")) << form.expected;
    }
    if (fs::exists(golden / "fixed.cfg")) {
        const Outcome fixed = run_checker({"--fix", "-fno-diagnostics-show-caret", "input.cfg"});
        EXPECT_EQ(contents("input.cfg"), read_file(golden / "fixed.cfg"));
        EXPECT_NE(fixed.error_output.find("input.cfg: applied "), std::string::npos) << fixed.error_output;
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
              "    1 | MORV_LOCAL(1.2.3)\n"
              "      |                 ^\n"
              "a.cfg:2:3: warning: directive MORV_DNS is indented, so the line is ordinary text and is copied "
              "unchanged; a directive must start in the first column [-Wnot-directive]\n"
              "    2 |   MORV_DNS(1.2.3.4)\n"
              "      |   ^~~~~~~~\n"
              "      | --\n");
    const Outcome some = run_checker({"-Wno-operand", "a.cfg"});
    EXPECT_EQ(some.status, 1);
    EXPECT_EQ(some.standard_output.find("[-Woperand]"), std::string::npos);
    EXPECT_EQ(run_checker({"-Wno-operand", "-Wno-not-directive", "a.cfg"}).status, 0);
}

TEST_F(CheckToolTest, ReportsUnreadableFilesAndWrongArguments) {
    write_file(dir() / "good.cfg", "text\n");
    fs::create_directory(dir() / "sub");
    const std::string usage =
        "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-Wno-NAME]... [--fix [--unsafe-fixes] | "
        "--diff]\n"
        "                     [-fdiagnostics-parseable-fixits] [-fno-diagnostics-show-caret]\n"
        "                     [-fdiagnostics-color=auto|always|never] FILE...\n"
        "       morvcfg-check --lsp [-Wno-NAME]...\n"
        "       morvcfg-check -h | --help | --version\n";
    const struct {
        std::vector<std::string> args;
        std::string error_output;
    } cases[] = {
        {{}, usage},
        {{"--frobnicate", "good.cfg"}, "morvcfg-check: unknown option '--frobnicate'\n" + usage},
        {{"-Wno-such-thing", "good.cfg"},
         "morvcfg-check: unknown warning category 'such-thing' in '-Wno-such-thing'; the categories are operand, "
         "device-define, define-name, not-directive, commented-directive, conditional-directive, split-comment, "
         "included-directive, keyword-suffix, ignored-text, range, subnet-mask, subnet-move, impossible-address, "
         "override, pool-size, duplicate-define, encoding, long-line, lone-cr, nul, ctrl-z\n" +
             usage},
        {{"--format=xml", "good.cfg"},
         "morvcfg-check: unknown format 'xml': the formats are gcc, json and sarif\n" + usage},
        {{"good.cfg", "--format"}, "morvcfg-check: --format needs a value: gcc, json or sarif\n" + usage},
        {{"--fix", "--diff", "good.cfg"}, "morvcfg-check: --fix and --diff do not go together\n" + usage},
        {{"--unsafe-fixes", "good.cfg"}, "morvcfg-check: --unsafe-fixes goes with --fix or --diff\n" + usage},
        {{"--lsp", "good.cfg"},
         "morvcfg-check: --lsp takes no files and no --fix or --diff: the editor sends the documents\n" + usage},
        {{"-fdiagnostics-color=sometimes", "good.cfg"},
         "morvcfg-check: unknown colour choice 'sometimes': the choices are auto, always and never\n" + usage},
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

// --fix rewrites a copy of the mistakes file in place; what may not be rewritten is left as it was.
TEST_F(CheckToolTest, FixesInPlaceAndNeverLosesTheFile) {
    const fs::path mistakes = fs::path(MORVCFG_CHECK_GOLDEN_DIR) / "mistakes";
    const std::string original = read_file(mistakes / "input.cfg");
    const std::string fixed = read_file(mistakes / "fixed.cfg");
    const struct {
        const char* name;
        std::vector<std::string> args;
        void (*arrange)(const fs::path& dir);
        int status;
        std::string after;  // what board.cfg holds then
    } cases[] = {
        {"fix", {"--fix", "board.cfg"}, nullptr, 1, fixed},
        {"diff changes nothing", {"--diff", "board.cfg"}, nullptr, 1, original},
        {"a second fix changes nothing",
         {"--fix", "board.cfg"},
         [](const fs::path& d) {
             fs::copy_file(fs::path(MORVCFG_CHECK_GOLDEN_DIR) / "mistakes" / "fixed.cfg", d / "board.cfg",
                           fs::copy_options::overwrite_existing);
         },
         1,
         fixed},
        {"read-only file",
         {"--fix", "board.cfg"},
         [](const fs::path& d) { fs::permissions(d / "board.cfg", fs::perms::owner_write, fs::perm_options::remove); },
         2,
         original},
        {"vanished file", {"--fix", "gone.cfg", "board.cfg"}, nullptr, 2, fixed},
#ifndef _WIN32
        {"through a symbolic link",
         {"--fix", "link.cfg"},
         [](const fs::path& d) { fs::create_symlink("board.cfg", d / "link.cfg"); },
         1,
         fixed},
        {"permission bits kept",
         {"--fix", "board.cfg"},
         [](const fs::path& d) { fs::permissions(d / "board.cfg", fs::perms(0640)); },
         1,
         fixed},
#endif
    };
    for (const auto& c : cases) {
        empty_dir();
        write_file(dir() / "board.cfg", original);
        if (c.arrange != nullptr) {
            c.arrange(dir());
        }
        const std::vector<std::string> before = entries();
        const auto permissions = fs::status(dir() / "board.cfg").permissions();
        const Outcome outcome = run_checker(c.args);
        EXPECT_EQ(outcome.status, c.status) << c.name << outcome.error_output;
        EXPECT_EQ(contents("board.cfg"), c.after) << c.name;
        EXPECT_EQ(entries(), before) << c.name;  // no file left beside it
        EXPECT_EQ(fs::status(dir() / "board.cfg").permissions(), permissions) << c.name;
        if (fs::exists(dir() / "link.cfg")) {
            EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir() / "link.cfg"))) << c.name;
        }
        fs::permissions(dir() / "board.cfg", fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(CheckToolTest, WritesNothingButDiagnostics) {
    fs::copy_file(fs::path(MORVCFG_CHECK_GOLDEN_DIR) / "mistakes" / "input.cfg", dir() / "input.cfg");
    EXPECT_EQ(run_checker({"input.cfg"}).status, 1);
    EXPECT_EQ(entries(), std::vector<std::string>{"input.cfg"});
}

}  // namespace
}  // namespace morvcfg_test
