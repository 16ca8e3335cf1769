// End-to-end tests of the real binary: each runs it in a fresh temporary directory and compares
// whole files byte for byte.
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "tests/tool_fixture.h"

namespace morvcfg_test {
namespace {

// ---- Whole runs against golden folders: input.cfg and the three expected outputs. ----

class GoldenTest : public ToolTest, public testing::WithParamInterface<std::string> {};

TEST_P(GoldenTest, ProducesExactlyTheExpectedFiles) {
    const fs::path golden = fs::path(MORVCFG_GOLDEN_DIR) / GetParam();
    fs::copy_file(golden / "input.cfg", dir() / "input.cfg");
    const Outcome outcome = run_tool({"input.cfg", "pass.cfg"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.error_output, "");
    EXPECT_EQ(outcome.standard_output, "");
    expect_golden(golden / "pass.cfg", contents("pass.cfg"));
    expect_golden(golden / "morv_cfg.c", without_stamp(contents("morv_cfg.c")));
    expect_golden(golden / "morv_cfg.h", contents("morv_cfg.h"));
}

std::vector<std::string> golden_cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(MORVCFG_GOLDEN_DIR)) {
        if (fs::exists(entry.path() / "input.cfg")) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenTest, testing::ValuesIn(golden_cases()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST_F(ToolTest, TranslatesTheBundledExample) {
    const fs::path golden = fs::path(MORVCFG_GOLDEN_DIR) / "example";
    const Outcome outcome = run_tool({utf8_string(fs::path(MORVCFG_EXAMPLES_DIR) / "target.cfg"), "target.out"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(contents("target.out"), read_file(golden / "pass.cfg"));
    EXPECT_EQ(without_stamp(contents("morv_cfg.c")), read_file(golden / "morv_cfg.c"));
    EXPECT_EQ(contents("morv_cfg.h"), read_file(golden / "morv_cfg.h"));
}

TEST_F(ToolTest, StampsTheLocalTimeOfTheRun) {
    write_file(dir() / "in.cfg", "");
    const std::string before = local_stamp(std::time(nullptr));
    ASSERT_EQ(run_tool({"in.cfg", "out.cfg"}).status, 0);
    const std::string after = local_stamp(std::time(nullptr));
    std::smatch match;
    const std::string source = contents("morv_cfg.c");
    ASSERT_TRUE(std::regex_search(source, match, std::regex(R"re(BuildNumber\[\] = \{"(\d{14})"\};\r\n)re")));
    EXPECT_LE(before, match[1].str());
    EXPECT_GE(after, match[1].str());
}

TEST_F(ToolTest, SameOutputWhateverTheInputLineEnds) {
    const std::string lines[] = {"MORV_IFCFG(10.0.0.2,255.0.0.0);", "ordinary", "MORV_DEV_ADR(x,0x1)", "last"};
    std::string unix_text;
    std::string dos_text;
    for (const std::string& line : lines) {
        unix_text += line + "\n";
        dos_text += line + "\r\n";
    }
    write_file(dir() / "unix.cfg", unix_text);
    write_file(dir() / "dos.cfg", dos_text);
    ASSERT_EQ(run_tool({"unix.cfg", "unix.out"}).status, 0);
    const std::string unix_source = without_stamp(contents("morv_cfg.c"));
    ASSERT_EQ(run_tool({"dos.cfg", "dos.out"}).status, 0);
    EXPECT_EQ(contents("unix.out"), "ordinary\r\n#define X_START_ADDRESS 0x00000001\r\nlast\r\n");
    EXPECT_EQ(contents("dos.out"), contents("unix.out"));
    EXPECT_EQ(without_stamp(contents("morv_cfg.c")), unix_source);
}

TEST_F(ToolTest, RunningAgainOverwritesEverything) {
    write_file(dir() / "in.cfg", "MORV_MPF_LARGE(2,3)\nfirst\n");
    ASSERT_EQ(run_tool({"in.cfg", "out.cfg"}).status, 0);
    write_file(dir() / "in.cfg", "second\n");
    ASSERT_EQ(run_tool({"in.cfg", "out.cfg"}).status, 0);
    EXPECT_EQ(contents("out.cfg"), "second\r\n");
    EXPECT_NE(contents("morv_cfg.h").find("ETH0_RCV_LARGE_SZ\t0\r\n"), std::string::npos);
}

// ---- Failures: the status, the one message, and which files are left with what. ----

TEST_F(ToolTest, WrongArgumentCountCreatesNothing) {
    write_file(dir() / "in.cfg", "x\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"in.cfg"}, {"in.cfg", "out.cfg", "extra"}}) {
        const Outcome outcome = run_tool(args);
        EXPECT_EQ(outcome.status, kFailed);
        EXPECT_EQ(outcome.error_output, "File open error!");
        EXPECT_EQ(outcome.standard_output, "");
        EXPECT_EQ(entries(), std::vector<std::string>{"in.cfg"});
    }
}

TEST_F(ToolTest, FailedOpensLeaveEmptyGeneratedFiles) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::string> left;
    } cases[] = {
        {"missing description", {"missing.cfg", "out.cfg"}, {"morv_cfg.c", "morv_cfg.h", "out.cfg"}},
        {"pass-through in a missing directory", {"in.cfg", "no/such/out.cfg"}, {"in.cfg", "morv_cfg.c", "morv_cfg.h"}},
        {"pass-through is a read-only file",
         {"in.cfg", "locked.cfg"},
         {"in.cfg", "locked.cfg", "morv_cfg.c", "morv_cfg.h"}},
        // A directory is not opened as a file, on any host: an existing pass-through stays as it was.
        {"description is a directory", {"sub", "out.cfg"}, {"morv_cfg.c", "morv_cfg.h", "out.cfg", "sub"}},
        {"pass-through is a directory", {"in.cfg", "sub"}, {"in.cfg", "morv_cfg.c", "morv_cfg.h", "sub"}},
    };
    for (const auto& c : cases) {
        empty_dir();
        if (c.args[0] == "in.cfg") {
            write_file(dir() / "in.cfg", "MORV_LOCAL(1.2.3.4)\ntext\n");
        }
        if (c.args[0] == "sub" || c.args[1] == "sub") {
            fs::create_directory(dir() / "sub");
        }
        const std::string previous = "an earlier run's pass-through\n";
        if (c.args[1] == "out.cfg") {
            write_file(dir() / "out.cfg", previous);
        }
        const fs::path locked = dir() / "locked.cfg";
        if (c.args[1] == "locked.cfg") {
            write_file(locked, "kept\n");
            fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
            if (std::ofstream(locked, std::ios::app)) {
                fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
                continue;  // this user writes read-only files anyway (root, or Wine run as root)
            }
        }
        expect_silent_failure(run_tool(c.args), c.left, c.name);
        if (c.args[1] == "out.cfg") {
            EXPECT_EQ(contents("out.cfg"), previous) << c.name;
        }
        if (c.args[1] == "locked.cfg") {
            EXPECT_EQ(read_file(locked), "kept\n");
            fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
        }
    }
}

TEST_F(ToolTest, RefusesRunsThatWouldEmptyTheirInput) {
    const std::string original = "MORV_LOCAL(1.2.3.4)\nkeep me\n";
    const struct {
        const char* name;
        const char* input;  // the file that must survive
        std::vector<std::string> args;
        void (*arrange)(const fs::path& dir);
    } cases[] = {
        {"same name", "in.cfg", {"in.cfg", "in.cfg"}, nullptr},
        {"another spelling", "in.cfg", {"in.cfg", "./sub/../in.cfg"}, nullptr},
        // Windows resolves ".." by the name alone, through a folder that does not exist.
        {"through a missing folder", "in.cfg", {"in.cfg", "nodir/../in.cfg"}, nullptr},
        {"absolute path", "in.cfg", {"in.cfg", "ABSOLUTE"}, nullptr},
        {"hard link",
         "in.cfg",
         {"in.cfg", "hard.cfg"},
         [](const fs::path& d) { fs::create_hard_link(d / "in.cfg", d / "hard.cfg"); }},
#ifndef _WIN32
        {"symbolic link",
         "in.cfg",
         {"soft.cfg", "in.cfg"},
         [](const fs::path& d) { fs::create_symlink("in.cfg", d / "soft.cfg"); }},
#endif
        {"description is the generated source", "morv_cfg.c", {"morv_cfg.c", "out.cfg"}, nullptr},
        {"description is the generated header", "morv_cfg.h", {"morv_cfg.h", "out.cfg"}, nullptr},
        {"pass-through is the generated source", "in.cfg", {"in.cfg", "morv_cfg.c"}, nullptr},
        {"pass-through is the generated header", "in.cfg", {"in.cfg", "./morv_cfg.h"}, nullptr},
#ifdef _WIN32
        // Windows names ignore case.
        {"another case", "in.cfg", {"IN.CFG", "in.cfg"}, nullptr},
#else
        {"pass-through through a dangling link",
         "in.cfg",
         {"in.cfg", "dangling.cfg"},
         [](const fs::path& d) { fs::create_symlink("morv_cfg.c", d / "dangling.cfg"); }},
#endif
    };
    for (const auto& c : cases) {
        empty_dir();
        fs::create_directory(dir() / "sub");
        std::vector<std::string> args = c.args;
        for (std::string& arg : args) {
            if (arg == "ABSOLUTE") {
                arg = utf8_string(dir() / "in.cfg");
            }
        }
        write_file(dir() / c.input, original);
        if (c.arrange != nullptr) {
            c.arrange(dir());
        }
        const std::vector<std::string> before = entries();
        const Outcome outcome = run_tool(args);
        EXPECT_EQ(outcome.status, kFailed) << c.name;
        EXPECT_EQ(outcome.error_output, "File open error!") << c.name;
        EXPECT_EQ(contents(c.input), original) << c.name;
        EXPECT_EQ(entries(), before) << c.name;
    }
}

#ifdef _WIN32
// Where names ignore case, MORV_CFG.C is morv_cfg.c even before it exists: the run is refused once
// the generated files exist, and the pass-through text never lands in them.
TEST_F(ToolTest, RefusesGeneratedFilesSpelledInAnotherCase) {
    const std::string original = "MORV_LOCAL(1.2.3.4)\nkeep me\n";
    for (const std::string name : {"MORV_CFG.C", "Morv_Cfg.h"}) {
        empty_dir();
        write_file(dir() / "board.cfg", original);
        const Outcome outcome = run_tool({"board.cfg", name});
        EXPECT_EQ(outcome.status, kFailed) << name;
        EXPECT_EQ(outcome.error_output, "File open error!") << name;
        EXPECT_EQ(contents("board.cfg"), original) << name;
        EXPECT_EQ(entries(), (std::vector<std::string>{"board.cfg", "morv_cfg.c", "morv_cfg.h"})) << name;
        EXPECT_EQ(contents("morv_cfg.c"), "") << name;
        EXPECT_EQ(contents("morv_cfg.h"), "") << name;
    }
}
#endif

// Paths outside any one code page: both tools take, open and name them.
TEST_F(ToolTest, UnicodePaths) {
    const fs::path folder = dir() / utf8_path("日本語");
    fs::create_directory(folder);
    write_file(folder / utf8_path("ボード.cfg"), "MORV_LOCAL(1.2.3)\r\nMORV_DEV_ADR(x, 0x1)\r\nend\r\n");
    const Outcome outcome = run_tool({"日本語/ボード.cfg", "日本語/出力.cfg"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(read_file(folder / utf8_path("出力.cfg")), "#define X_START_ADDRESS 0x00000001\r\nend\r\n");
    const Outcome checked = run_checker({"日本語/ボード.cfg"});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(
        checked.standard_output,
        "日本語/ボード.cfg:1:17: warning: '1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, "
        "so LocalHost is 1.2.3.1 [-Woperand]\n"
        "    1 | MORV_LOCAL(1.2.3)\n"
        "      |                 ^\n");
}

}  // namespace
}  // namespace morvcfg_test
