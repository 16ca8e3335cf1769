// Runs of the real binary in which the world fails it: full disks, file-size limits, paths that
// cannot be read or created, and inputs no editor should produce. Each asserts the exit status and
// which files are left with what.
#include <string>
#include <vector>

#include "tests/tool_fixture.h"

namespace morvcfg_test {
namespace {

using FaultTest = ToolTest;

// Windows has no /dev/full and no file-size limit, and makes symbolic links only with privileges.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(why) GTEST_SKIP() << (why)
#else
#define SKIP_ON_WINDOWS(why) (void)(why)
#endif

std::string ordinary_lines(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        text += "CRE_TSK(TASK_" + std::to_string(i) + ", { TA_HLNG, 0, task_entry, 8, 2048, NULL });\r\n";
    }
    return text;
}

TEST_F(FaultTest, PassThroughToAFullDisk) {
    SKIP_ON_WINDOWS("no /dev/full on Windows");
    write_file(dir() / "in.cfg", ordinary_lines(10));
    const Outcome outcome = run_tool({"in.cfg", "/dev/full"});
    EXPECT_EQ(outcome.status, kFailed);
    EXPECT_EQ(outcome.error_output, "");
    EXPECT_EQ(contents("morv_cfg.c"), "");
    EXPECT_EQ(contents("morv_cfg.h"), "");
}

TEST_F(FaultTest, PassThroughCutShortByTheFileSizeLimit) {
    SKIP_ON_WINDOWS("no file-size limit on Windows");
    const std::string input = ordinary_lines(5000);  // about 350 KB
    write_file(dir() / "in.cfg", input);
    const Outcome outcome = run_tool({"in.cfg", "out.cfg"}, 100000);
    EXPECT_EQ(outcome.status, kFailed);
    EXPECT_EQ(outcome.error_output, "");
    const std::string written = contents("out.cfg");
    EXPECT_EQ(written.size(), 100000U);
    EXPECT_TRUE(input.starts_with(written));
    EXPECT_EQ(contents("morv_cfg.c"), "");
    EXPECT_EQ(contents("morv_cfg.h"), "");
}

// The outputs of a run without faults, to compare a failed run with.
struct Sizes {
    std::string source;
    std::string header;
    std::string pass_through;
};

TEST_F(FaultTest, GeneratedSourceCutShortByTheFileSizeLimit) {
    SKIP_ON_WINDOWS("no file-size limit on Windows");
    write_file(dir() / "in.cfg", "MORV_DEV_ADR(uart, 0x10)\nshort\n");
    ASSERT_EQ(run_tool({"in.cfg", "out.cfg"}).status, 0);
    const Sizes full{without_stamp(contents("morv_cfg.c")), contents("morv_cfg.h"), contents("out.cfg")};
    ASSERT_LT(full.pass_through.size(), full.source.size() - 10);

    const Outcome outcome = run_tool({"in.cfg", "out.cfg"}, full.source.size() - 10);
    EXPECT_EQ(outcome.status, kFailed);
    EXPECT_EQ(outcome.error_output, "");
    EXPECT_EQ(contents("out.cfg"), full.pass_through);
    EXPECT_EQ(contents("morv_cfg.c").size(), full.source.size() - 10);
    EXPECT_TRUE(full.source.starts_with(contents("morv_cfg.c").substr(0, 200)));
    EXPECT_EQ(contents("morv_cfg.h"), "");
}

// The header is always shorter than the source, so a file-size limit stops the source first; a
// header that cannot be written is made by sending it to a full disk.
TEST_F(FaultTest, GeneratedHeaderOnAFullDisk) {
    SKIP_ON_WINDOWS("no /dev/full on Windows");
    write_file(dir() / "in.cfg", "MORV_MPF_LARGE(1536, 8)\nshort\n");
    ASSERT_EQ(run_tool({"in.cfg", "out.cfg"}).status, 0);
    const Sizes full{without_stamp(contents("morv_cfg.c")), contents("morv_cfg.h"), contents("out.cfg")};
    ASSERT_LT(full.header.size(), full.source.size());

    fs::remove(dir() / "morv_cfg.h");
    fs::create_symlink("/dev/full", dir() / "morv_cfg.h");
    const Outcome outcome = run_tool({"in.cfg", "out.cfg"});
    EXPECT_EQ(outcome.status, kFailed);
    EXPECT_EQ(outcome.error_output, "");
    EXPECT_EQ(without_stamp(contents("morv_cfg.c")), full.source);
    EXPECT_EQ(contents("out.cfg"), full.pass_through);
}

TEST_F(FaultTest, DescriptionThatCannotBeRead) {
    const struct {
        const char* name;
        void (*arrange)(const fs::path& dir);
        std::vector<std::string> left;
    } cases[] = {
        {"dangling link",
         [](const fs::path& d) { fs::create_symlink("nowhere.cfg", d / "in.cfg"); },
         {"in.cfg", "morv_cfg.c", "morv_cfg.h"}},
        {"directory",
         [](const fs::path& d) { fs::create_directory(d / "in.cfg"); },
         {"in.cfg", "morv_cfg.c", "morv_cfg.h"}},
        {"no read permission",
         [](const fs::path& d) {
             write_file(d / "in.cfg", "text\n");
             fs::permissions(d / "in.cfg", fs::perms::none);
         },
         {"in.cfg", "morv_cfg.c", "morv_cfg.h"}},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        if (std::string(c.name) != "directory") {
            continue;  // symbolic links need privileges, and read permission is not a Windows notion
        }
#else
        if (std::string(c.name) == "no read permission" && geteuid() == 0) {
            continue;  // root reads anything
        }
#endif
        empty_dir();
        c.arrange(dir());
        expect_silent_failure(run_tool({"in.cfg", "out.cfg"}), c.left, c.name);
    }
}

TEST_F(FaultTest, GeneratedFileThatCannotBeCreated) {
    write_file(dir() / "in.cfg", "text\n");
    fs::create_directory(dir() / "morv_cfg.c");
    const Outcome outcome = run_tool({"in.cfg", "out.cfg"});
    EXPECT_EQ(outcome.status, kFailed);
    EXPECT_EQ(outcome.error_output, "");
    EXPECT_EQ(entries(), (std::vector<std::string>{"in.cfg", "morv_cfg.c"}));

    fs::remove(dir() / "morv_cfg.c");
    fs::create_directory(dir() / "morv_cfg.h");
    EXPECT_EQ(run_tool({"in.cfg", "out.cfg"}).status, kFailed);
    EXPECT_EQ(entries(), (std::vector<std::string>{"in.cfg", "morv_cfg.c", "morv_cfg.h"}));
    EXPECT_EQ(contents("morv_cfg.c"), "");
}

TEST_F(FaultTest, VeryLongLinesAndTokens) {
    const std::string line(std::size_t{1} << 20, 'L');
    const std::string name(236, 'n');
    write_file(dir() / "in.cfg", "MORV_DEV_ADR(" + name + ",0x1)\n" + line);
    const Outcome outcome = run_tool({"in.cfg", "out.cfg"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(contents("out.cfg"), "#define " + std::string(236, 'N') + "_START_ADDRESS 0x00000001\r\n" + line);
}

TEST_F(FaultTest, EveryByteValue) {
    std::string input;
    for (int byte = 0; byte < 256; ++byte) {
        input += static_cast<char>(byte);
    }
    write_file(dir() / "in.cfg", input + input);
    const Outcome outcome = run_tool({"in.cfg", "out.cfg"});
    EXPECT_EQ(outcome.status, 0);
    // CR dropped, LF written as CR LF, and nothing from the first Ctrl-Z (0x1A) on.
    std::string expected;
    for (int byte = 0; byte < 0x1A; ++byte) {
        if (byte == '\n') {
            expected += "\r\n";
        } else if (byte != '\r') {
            expected += static_cast<char>(byte);
        }
    }
    EXPECT_EQ(contents("out.cfg"), expected);
}

}  // namespace
}  // namespace morvcfg_test
