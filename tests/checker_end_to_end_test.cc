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
// #include lines to name) in a copy of its folder, once for each expected output the folder holds:
// the GCC form with the configuration, and where a case shows a form of its own, the GCC form in
// colour or with GCC's parseable fix-its, JSON, SARIF and the CI forms. A folder must hold one at least. Where it
// holds fixed.cfg, a copy fixed in place must equal it. With MORVCFG_UPDATE_GOLDEN=1 the expected
// files are written (expected.txt for a case that has none yet).
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
        {{"--format=github"}, "expected.github.txt"},
        {{"--format=gitlab"}, "expected.gitlab.json"},
        {{"--format=junit"}, "expected.junit.xml"},
        {{"--format=checkstyle"}, "expected.checkstyle.xml"},
    };
    const char* update = std::getenv("MORVCFG_UPDATE_GOLDEN");
    const bool updating = update != nullptr && std::string(update) == "1";
    if (updating && !fs::exists(golden / "expected.txt")) {
        write_file(golden / "expected.txt", "");
    }
    int compared = 0;
    for (const auto& form : forms) {
        if (!fs::exists(golden / form.expected)) {
            continue;
        }
        ++compared;
        std::vector<std::string> args = form.options;
        args.emplace_back("input.cfg");
        const Outcome outcome = run_checker(args);
        expect_golden(golden / form.expected, outcome.standard_output);
        EXPECT_EQ(outcome.error_output, "") << form.expected;
        expect_golden(golden / "status", std::to_string(outcome.status) + "\n");
    }
    EXPECT_GT(compared, 0) << golden.string() << " holds no expected output";
    if (fs::exists(golden / "fixed.cfg")) {
        const Outcome fixed = run_checker({"--fix", "-fno-diagnostics-show-caret", "input.cfg"});
        expect_golden(golden / "fixed.cfg", contents("input.cfg"));
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

// The process around the checks, which run in process in the checker's own tests: the exit
// status and streams of a command line that cannot be run, files the system cannot read, standard
// input through a real pipe, and --help and --version.
TEST_F(CheckToolTest, RunsAsAProcess) {
    write_file(dir() / "good.cfg", "text\n");
    write_file(dir() / "a.cfg", "MORV_LOCAL(1.2.3)\n");
    fs::create_directory(dir() / "sub");
    const std::string partial =
        ":1:17: warning: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so LocalHost "
        "is 1.2.3.1 [-Woperand]\n";
    const struct {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string standard_output;
        std::string error_output;  // what it starts with
    } cases[] = {
        {{}, "", 2, "", "morvcfg-check: no input files\n"},
        {{"--frobnicate", "good.cfg"},
         "",
         2,
         "",
         "morvcfg-check: unknown option '--frobnicate'\nusage: morvcfg-check "},
        {{"--summary", "missing.cfg"},
         "",
         2,
         "",
         "missing.cfg: error: cannot open the file: No such file or directory\n"},
        {{"sub", "good.cfg"}, "", 2, "", "sub: error: cannot open the file: Is a directory\n"},
        {{"-fno-diagnostics-show-caret", "-"}, "MORV_LOCAL(1.2.3)\n", 1, "<stdin>" + partial, ""},
        {{"-fno-diagnostics-show-caret", "--fix", "--stdin-filename=b.cfg", "-"},
         "  MORV_LOCAL(1.2.3)\n",
         1,
         "MORV_LOCAL(1.2.3)\n",
         "b.cfg: applied 1 fix\n  the configuration morvcfg generates changes:\n    LocalHost: 127.0.0.1 -> 1.2.3.1\n"
         "b.cfg" +
             partial},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run_checker(c.args, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.error_output;
        EXPECT_EQ(outcome.standard_output, c.standard_output) << c.error_output;
        EXPECT_TRUE(outcome.error_output.starts_with(c.error_output)) << outcome.error_output;
        EXPECT_EQ(c.error_output.empty(), outcome.error_output.empty()) << outcome.error_output;
    }
    const Outcome help = run_checker({"-h"});
    EXPECT_EQ(help.status, 0);
    // --help as the manual page and the README quote it: every option, the usage's order.
    expect_golden(fs::path(MORVCFG_CHECK_GOLDEN_DIR).parent_path() / "morvcfg-check-help.txt", help.standard_output);
    EXPECT_EQ(help.standard_output, run_checker({"--help"}).standard_output);
    const Outcome version = run_checker({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.standard_output.starts_with("morvcfg-check ") && version.standard_output.ends_with("\n"));
}

// The project file, in real folder trees: found beside the file or folders above it, the nearest
// one winning, its sections by pattern, the command line after it, --no-config and --config, and
// what cannot be used said with its place.
TEST_F(CheckToolTest, TakesTheProjectFileAboveEachFile) {
    const std::string indented = "  MORV_DNS(1.2.3.4);\n";
    const std::string warning =
        ":1:3: warning: directive MORV_DNS is indented, so the line is ordinary text and is "
        "copied unchanged; a directive must start in the first column [-Wnot-directive]\n";
    const std::string error =
        ":1:3: error: directive MORV_DNS is indented, so the line is ordinary text and is "
        "copied unchanged; a directive must start in the first column [-Werror=not-directive]\n";
    const struct {
        std::vector<std::pair<std::string, std::string>> tree;  // path, content; a path ending in '/' is a folder
        std::vector<std::string> args;
        int status;
        std::string standard_output;
        std::string error_output;  // what it starts with, the test's folder written as DIR
    } cases[] = {
        {{{"b.cfg", indented}, {".morvcfg-check", "# ours\n-Wno-not-directive\n"}}, {"b.cfg"}, 0, "", ""},
        {{{"boards/rev3/b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive"}}, {"boards/rev3/b.cfg"}, 0, "", ""},
        {{{"boards/b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive"}, {"boards/.morvcfg-check", "-Werror"}},
         {"boards/b.cfg"},
         1,
         "boards/b.cfg" + error,
         ""},
        {{{"boards/b.cfg", indented},
          {"old/b.cfg", indented},
          {".morvcfg-check", "[boards/*.cfg]\n-Wno-not-directive"}},
         {"boards/b.cfg", "old/b.cfg"},
         1,
         "old/b.cfg" + warning,
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive -Werror"}},
         {"-Wnot-directive", "b.cfg"},
         1,
         "b.cfg" + error,
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive"}},
         {"--no-config", "b.cfg"},
         1,
         "b.cfg" + warning,
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Werror"}, {"team/checks", "-Wno-not-directive"}},
         {"--config", "team/checks", "b.cfg"},
         0,
         "",
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Werror\n  -Wno-not-directve\n"}},
         {"b.cfg"},
         2,
         "",
         "DIR/.morvcfg-check:2:3: error: unknown warning category 'not-directve' in '-Wno-not-directve'; did you mean "
         "'-Wno-not-directive'?\n"},
        {{{"b.cfg", indented}, {".morvcfg-check/", ""}},
         {"b.cfg"},
         2,
         "",
         "DIR/.morvcfg-check: error: cannot read the project file: "},
        {{{"b.cfg", indented}},
         {"--config", "nowhere", "b.cfg"},
         2,
         "",
         "nowhere: error: cannot read the project file: there is no such file\n"},
        {{{"boards/b.cfg", indented}, {"boards/.morvcfg-check", "-Wno-not-directive\n"}},
         {"--show-config", "boards/b.cfg", "-Werror"},
         0,
         "project file: DIR/boards/.morvcfg-check\noptions in force for boards/b.cfg, in order:\n"
         "  -Wno-not-directive  (DIR/boards/.morvcfg-check:1:1)\n  -Werror  (command line)\n",
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive\n"}},
         {"--no-config", "--show-config", "b.cfg"},
         0,
         "project file: none (--no-config)\noptions in force for b.cfg, in order:\n"
         "  (none: every kind of warning, none of them an error)\n",
         ""},
#ifndef _WIN32
        // A backslash is a character of a folder's name where it separates no folders.
        {{{"x\\y/b.cfg", indented}, {"x\\y/.morvcfg-check", "-Wno-not-directive"}}, {"x\\y/b.cfg"}, 0, "", ""},
#endif
        {{{"b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive"}},
         {"--show-ignored", "b.cfg"},
         0,
         "b.cfg:1:3: ignored: directive MORV_DNS is indented, so the line is ordinary text and is copied unchanged; a "
         "directive must start in the first column [-Wnot-directive]\nb.cfg: note: excused by the project file\n",
         ""},
        {{{"b.cfg", indented}, {".morvcfg-check", "-Wno-not-directive"}},
         {"--stdin-filename", "b.cfg", "-"},
         0,
         "",
         ""},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir());
        fs::create_directories(dir());
        for (const auto& [path, content] : c.tree) {
            if (path.ends_with('/')) {
                fs::create_directories(dir() / path);
            } else {
                fs::create_directories((dir() / path).parent_path());
                write_file(dir() / path, content);
            }
        }
        std::vector<std::string> args{"-fno-diagnostics-show-caret"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = run_checker(args, c.args.back() == "-" ? indented : std::string());
        const auto with_dir = [this](std::string text) {
            // The checker joins folders with '/' on every system.
            const std::string folder = utf8_string(fs::path(fs::canonical(dir()).generic_u8string()));
            for (std::size_t at = text.find("DIR"); at != std::string::npos; at = text.find("DIR", at)) {
                text.replace(at, 3, folder);
            }
            return text;
        };
        const std::string label = c.args.front() + " " + c.args.back() + " in a tree of " + c.tree.front().first;
        EXPECT_EQ(outcome.status, c.status) << label << "\n" << outcome.error_output;
        EXPECT_EQ(outcome.standard_output, with_dir(c.standard_output)) << label;
        EXPECT_TRUE(outcome.error_output.starts_with(with_dir(c.error_output))) << label << "\n"
                                                                                << outcome.error_output;
        EXPECT_EQ(c.error_output.empty(), outcome.error_output.empty()) << label << "\n" << outcome.error_output;
    }
    // The machine-readable forms list what the project file excuses, marked as such.
    const Outcome json = run_checker({"--format=json", "b.cfg"});
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.standard_output.find("\"ignored\": \"project-file\""), std::string::npos) << json.standard_output;
    const Outcome sarif = run_checker({"--format=sarif", "b.cfg"});
    EXPECT_NE(sarif.standard_output.find("\"kind\": \"external\""), std::string::npos) << sarif.standard_output;
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
