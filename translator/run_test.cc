#include "translator/run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translator/faulty_environment.h"

namespace morvcfg {
namespace {

int run_with(FaultyEnvironment& environment, std::vector<const char*> args) {
    return run(std::span<const char* const>(args.data(), args.size()), environment);
}

TEST(RunTest, RefusesAWrongArgumentCountBeforeOpeningAnything) {
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"morvcfg"}, {"morvcfg", "in"}, {"morvcfg", "in", "out", "extra"}}) {
        FaultyEnvironment environment;
        environment.files["in"] = "x\n";
        EXPECT_EQ(run_with(environment, args), -1);
        EXPECT_EQ(environment.error_output, "File open error!");
        EXPECT_EQ(environment.files.size(), 1U);
    }
}

TEST(RunTest, TranslatesAndGeneratesBothFiles) {
    FaultyEnvironment environment;
    environment.files["in"] = "MORV_IFCFG(10.1.2.3,255.255.0.0);\r\nMORV_MPF_SMALL(64,16)\r\nrest\r\n";
    EXPECT_EQ(run_with(environment, {"morvcfg", "in", "out"}), 0);
    EXPECT_EQ(environment.error_output, "");
    EXPECT_EQ(environment.files["out"], "rest\r\n");
    const std::string& source = environment.files["morv_cfg.c"];
    EXPECT_NE(source.find("NetWorkAddress[] = {10,1,0,0};"), std::string::npos);
    EXPECT_NE(source.find("GateWay[] = {10,1,0,1};"), std::string::npos);
    EXPECT_NE(source.find("SubNetBroadCast[] = {10,1,255,255};"), std::string::npos);
    EXPECT_NE(source.find("{\"20040307090503\"}"), std::string::npos);
    EXPECT_NE(environment.files["morv_cfg.h"].find("ETH0_RCV_SMALL_SZ\t1024\r\n"), std::string::npos);
}

// A system that takes a gather write only in part (a signal, a pipe, a short device) loses nothing:
// what it did not take is written again from where it stopped.
TEST(RunTest, PartialWritesLoseNothing) {
    std::string lines;
    for (int i = 0; lines.size() < 20000; ++i) {
        lines += "ordinary line " + std::to_string(i) + " of a description file, copied as it is\r\n";
    }
    FaultyEnvironment environment;
    environment.most_per_write = 1000;
    environment.files["in"] = "MORV_DEV_ADR(lan_ctrl, 0xA0000000);\r\n" + lines;
    EXPECT_EQ(run_with(environment, {"morvcfg", "in", "out"}), 0);
    EXPECT_EQ(environment.files["out"], "#define LAN_CTRL_START_ADDRESS 0xa0000000\r\n" + lines);
}

struct FailureCase {
    const char* name;
    void (*arrange)(FaultyEnvironment&);
    std::vector<std::string> files_left;  // every file there afterwards
    bool generated_files_empty;
};

TEST(RunTest, FailuresEndTheRunWithMinusOneAndNoMessage) {
    const std::vector<FailureCase> cases = {
        {"source not created", [](FaultyEnvironment& e) { e.uncreatable.insert("morv_cfg.c"); }, {"in"}, true},
        {"header not created",
         [](FaultyEnvironment& e) { e.uncreatable.insert("morv_cfg.h"); },
         {"in", "morv_cfg.c"},
         true},
        {"description missing", [](FaultyEnvironment& e) { e.files.erase("in"); }, {"morv_cfg.c", "morv_cfg.h"}, true},
        {"pass-through not created",
         [](FaultyEnvironment& e) { e.uncreatable.insert("out"); },
         {"in", "morv_cfg.c", "morv_cfg.h"},
         true},
        {"description unreadable",
         [](FaultyEnvironment& e) { e.unreadable.insert("in"); },
         {"in", "morv_cfg.c", "morv_cfg.h", "out"},
         true},
        {"pass-through unwritable",
         [](FaultyEnvironment& e) { e.unwritable.insert("out"); },
         {"in", "morv_cfg.c", "morv_cfg.h", "out"},
         true},
        {"source unwritable",
         [](FaultyEnvironment& e) { e.unwritable.insert("morv_cfg.c"); },
         {"in", "morv_cfg.c", "morv_cfg.h", "out"},
         true},
        {"header unwritable",
         [](FaultyEnvironment& e) { e.unwritable.insert("morv_cfg.h"); },
         {"in", "morv_cfg.c", "morv_cfg.h", "out"},
         false},
        // Every write went well, but the system lost the output at its close.
        {"pass-through lost at its close",
         [](FaultyEnvironment& e) { e.unclosable.insert("out"); },
         {"in", "morv_cfg.c", "morv_cfg.h", "out"},
         false},
    };
    for (const FailureCase& c : cases) {
        FaultyEnvironment environment;
        environment.files["in"] = "text\n";
        c.arrange(environment);
        EXPECT_EQ(run_with(environment, {"morvcfg", "in", "out"}), -1) << c.name;
        EXPECT_EQ(environment.error_output, "") << c.name;
        std::vector<std::string> left;
        for (const auto& [path, contents] : environment.files) {
            left.push_back(path);
        }
        EXPECT_EQ(left, c.files_left) << c.name;
        if (c.generated_files_empty) {
            EXPECT_EQ(environment.files["morv_cfg.c"], "") << c.name;
            EXPECT_EQ(environment.files["morv_cfg.h"], "") << c.name;
        }
    }
}

// A small file costs one small read; a large one switches to large reads once a read comes back full.
TEST(RunTest, LargeFilesAreReadInLargeReads) {
    const std::size_t first = std::size_t{64} * 1024;
    const std::size_t large = std::size_t{256} * 1024;
    const struct {
        std::size_t size;
        std::vector<std::size_t> reads;
    } cases[] = {
        {1000, {first, first}},
        {first, {first, large}},
        {first + 2 * large, {first, large, large, large}},
    };
    for (const auto& c : cases) {
        FaultyEnvironment environment;
        std::string input;
        while (input.size() < c.size) {
            input += "ordinary line of text, copied whole\r\n";
        }
        input.resize(c.size);
        environment.files["in"] = input;
        EXPECT_EQ(run_with(environment, {"morvcfg", "in", "out"}), 0);
        EXPECT_EQ(environment.reads["in"], c.reads) << c.size;
    }
}

TEST(RunTest, RefusesToOverwriteItsInput) {
    for (const std::vector<const char*>& args : {std::vector<const char*>{"morvcfg", "in", "in"},
                                                 {"morvcfg", "morv_cfg.c", "out"},
                                                 {"morvcfg", "morv_cfg.h", "out"},
                                                 {"morvcfg", "in", "morv_cfg.c"},
                                                 {"morvcfg", "in", "morv_cfg.h"}}) {
        FaultyEnvironment environment;
        environment.files[args[1]] = "keep me\n";
        EXPECT_EQ(run_with(environment, args), -1) << args[1] << " " << args[2];
        EXPECT_EQ(environment.error_output, "File open error!");
        EXPECT_EQ(environment.files.size(), 1U);
        EXPECT_EQ(environment.files[args[1]], "keep me\n");
    }
}

}  // namespace
}  // namespace morvcfg
