// End-to-end tests of morvcfg-check: whole outputs compared with golden folders (input.cfg, the
// expected output and exit status), and the translator's outputs on the same files pinned.
#include <string>
#include <vector>

#include "tests/tool_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
        "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-W[no-]NAME]... [-W[no-]error[=NAME]]...\n"
        "                     [--fix [--unsafe-fixes] | --diff] [-fdiagnostics-parseable-fixits]\n"
        "                     [-fno-diagnostics-show-caret] [-fdiagnostics-color=auto|always|never]\n"
        "                     [--stdin-filename NAME] FILE... (- for standard input)\n"
        "       morvcfg-check --lsp [-W[no-]NAME]... [-W[no-]error[=NAME]]...\n"
        "       morvcfg-check -h | --help | --version\n";
    const struct {
        std::vector<std::string> args;
        std::string error_output;
    } cases[] = {
        {{}, "morvcfg-check: no input files\n"},
        {{"-Wno-overide", "good.cfg"},
         "morvcfg-check: unknown warning category 'overide' in '-Wno-overide'; did you mean '-Wno-override'?\n" +
             usage},
        {{"-Werror=operands", "good.cfg"},
         "morvcfg-check: unknown warning category 'operands' in '-Werror=operands'; did you mean "
         "'-Werror=operand'?\n" +
             usage},
        {{"-", "-"}, "morvcfg-check: standard input (-) can be read only once\n" + usage},
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

// The conventions of compilers and linters: - for standard input, named by --stdin-filename, and
// fixed to standard output; -Werror and its kinds; -WNAME after -Wno-NAME; -Wall.
TEST_F(CheckToolTest, TakesTheOptionsCompilersAndLintersTake) {
    write_file(dir() / "a.cfg", "MORV_LOCAL(1.2.3)\n");
    const std::string partial =
        ":1:17: warning: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 "
        "keeps 1, so LocalHost is 1.2.3.1 [-Woperand]\n";
    const std::string as_error =
        ":1:17: error: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 "
        "keeps 1, so LocalHost is 1.2.3.1 [-Werror=operand]\n";
    const struct {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string standard_output;
        std::string error_output;
    } cases[] = {
        {{"-"}, "MORV_LOCAL(1.2.3)\n", 1, "<stdin>" + partial, ""},
        {{"--stdin-filename", "boards/b.cfg", "-"}, "MORV_LOCAL(1.2.3)\n", 1, "boards/b.cfg" + partial, ""},
        {{"--fix", "--stdin-filename=b.cfg", "-"},
         "  MORV_LOCAL(1.2.3)\n",
         1,
         "MORV_LOCAL(1.2.3)\n",
         "b.cfg: applied 1 fix\n  the configuration morvcfg generates changes:\n    LocalHost: 127.0.0.1 -> 1.2.3.1\n"
         "b.cfg" +
             partial},
        {{"--diff", "-"},
         "  MORV_DNS(1.2.3.4)\n",
         1,
         "--- <stdin>\n+++ <stdin>\n@@ -1 +1 @@\n-  MORV_DNS(1.2.3.4)\n"
         "+MORV_DNS(1.2.3.4)\n",
         ""},
        {{"-Werror", "a.cfg"}, "", 1, "a.cfg" + as_error, ""},
        {{"-Werror=operand", "a.cfg"}, "", 1, "a.cfg" + as_error, ""},
        {{"-Werror", "-Wno-error=operand", "a.cfg"}, "", 1, "a.cfg" + partial, ""},
        {{"-Wno-operand", "-Werror=operand", "a.cfg"}, "", 1, "a.cfg" + as_error, ""},
        {{"-Wno-operand", "-Woperand", "-Wall", "a.cfg"}, "", 1, "a.cfg" + partial, ""},
        {{"-Woperand", "-Wno-operand", "a.cfg"}, "", 0, "", ""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"-fno-diagnostics-show-caret"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = run_checker(args, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.args.front();
        EXPECT_EQ(outcome.standard_output, c.standard_output) << c.args.front();
        EXPECT_EQ(outcome.error_output, c.error_output) << c.args.front();
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
        // A file with another hard link is rewritten in place, so that both names see the fix.
        {"a hard link stays one file",
         {"--fix", "board.cfg"},
         [](const fs::path& d) { fs::create_hard_link(d / "board.cfg", d / "other.cfg"); },
         1,
         fixed},
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
        if (fs::exists(dir() / "other.cfg")) {
            EXPECT_TRUE(fs::equivalent(dir() / "other.cfg", dir() / "board.cfg")) << c.name;
            EXPECT_EQ(contents("other.cfg"), c.after) << c.name;
        }
        fs::permissions(dir() / "board.cfg", fs::perms::owner_write, fs::perm_options::add);
    }
}

#ifndef _WIN32
// A file another user owns keeps its owner and group when root fixes it.
TEST_F(CheckToolTest, FixKeepsTheOwner) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user, so the owner cannot be tested here";
    }
    write_file(dir() / "board.cfg", "  MORV_DNS(10.0.0.2);\n");
    const uid_t nobody = 65534;
    ASSERT_EQ(chown((dir() / "board.cfg").c_str(), nobody, nobody), 0);
    EXPECT_EQ(run_checker({"--fix", "board.cfg"}).status, 1);
    EXPECT_EQ(contents("board.cfg"), "MORV_DNS(10.0.0.2);\n");
    struct stat status {};
    ASSERT_EQ(stat((dir() / "board.cfg").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, nobody);
    EXPECT_EQ(status.st_gid, nobody);
}
#endif

TEST_F(CheckToolTest, WritesNothingButDiagnostics) {
    fs::copy_file(fs::path(MORVCFG_CHECK_GOLDEN_DIR) / "mistakes" / "input.cfg", dir() / "input.cfg");
    EXPECT_EQ(run_checker({"input.cfg"}).status, 1);
    EXPECT_EQ(entries(), std::vector<std::string>{"input.cfg"});
}

}  // namespace
}  // namespace morvcfg_test
