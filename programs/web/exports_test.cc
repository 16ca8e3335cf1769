// The page's C functions, natively: what the Web Worker hands over and reads back.
#include "programs/web/exports.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

void hand_over(std::string_view bytes) {
    bytes.copy(morvcfg_input(bytes.size()), bytes.size());
}

// An output found by its name, as the worker finds it.
std::string output(std::string_view name) {
    for (int which = 0; morvcfg_output_name(which) != nullptr; ++which) {
        if (morvcfg_output_name(which) == name) {
            return {morvcfg_output(which), morvcfg_output_size(which)};
        }
    }
    ADD_FAILURE() << "no output named " << name;
    return "";
}

TEST(WebExportsTest, TranslatesTheBytesItIsHanded) {
    hand_over("MORV_DEV_ADR(lan, 0x10);\nMORV_LOCAL(1.2.3);\nrest\n");
    EXPECT_EQ(morvcfg_translate(2004, 3, 7, 9, 5, 3), 0);
    EXPECT_EQ(output("pass-through"), "#define LAN_START_ADDRESS 0x00000010\r\nrest\r\n");
    EXPECT_NE(output("morv_cfg.c").find("char BuildNumber[] = {\"20040307090503\"};\r\n"), std::string::npos);
    EXPECT_NE(output("morv_cfg.h").find("#define\tETH0_RCV_LARGE_SZ\t0\r\n"), std::string::npos);
    EXPECT_EQ(morvcfg_output(99), nullptr);
    EXPECT_EQ(morvcfg_output_name(99), nullptr);
    EXPECT_EQ(morvcfg_output_size(-1), 0U);
}

// A file that is not UTF-8 is checked from its bytes, as morvcfg-check checks it: UTF-16 gets the
// one encoding warning, and the report holds the configuration.
TEST(WebExportsTest, ChecksTheBytesItIsHanded) {
    constexpr char kUtf16[] = "\xFF\xFEM\0O\0R\0V\0_\0D\0N\0S\0(\0\x31\0)\0\r\0\n\0";
    const std::string utf16(kUtf16, sizeof kUtf16 - 1);
    hand_over(utf16);
    EXPECT_EQ(morvcfg_check(), 1);
    const std::string report = output("report");
    EXPECT_NE(report.find("\"category\": \"encoding\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"LocalHost\": \"127.0.0.1\""), std::string::npos) << report;
    // The page's project file box: the category it silences is excused, and counts no more.
    hand_over("# the team's\n-Wno-encoding\n");
    morvcfg_set_project_file();
    hand_over(utf16);
    EXPECT_EQ(morvcfg_check(), 0);
    EXPECT_NE(output("report").find("\"ignored\": \"project-file\""), std::string::npos) << output("report");
    // Its sections match the name the page shows.
    hand_over("[board.cfg]\n-Wno-encoding\n");
    morvcfg_set_project_file();
    hand_over("other.cfg");
    morvcfg_set_name();
    hand_over(utf16);
    EXPECT_EQ(morvcfg_check(), 1);
    hand_over("board.cfg");
    morvcfg_set_name();
    hand_over(utf16);
    EXPECT_EQ(morvcfg_check(), 0);
    hand_over("");
    morvcfg_set_project_file();
}

// The page's "Compare with...": the text it compares with, named, against the description.
TEST(WebExportsTest, ComparesWithTheTextItIsHanded) {
    hand_over("shared:board.cfg");
    morvcfg_set_base(1);
    hand_over("MORV_IFCFG(10.1.2.3, 255.255.255.0);\nMORV_DEV_ADR(uart0, 0x1);\n");
    morvcfg_set_base(0);
    hand_over("board.cfg");
    morvcfg_set_name();
    hand_over("/* moved */\nMORV_IFCFG(10.1.3.3, 255.255.255.0);\n");
    EXPECT_EQ(morvcfg_compare(), 1);
    const std::string report = output("report");
    EXPECT_NE(report.find("\"cause\": \"moved into the new subnet set at board.cfg:2\""), std::string::npos) << report;
    EXPECT_NE(report.find("\"cause\": \"no line sets it any more: shared:board.cfg:2 did\""), std::string::npos)
        << report;
    hand_over("MORV_IFCFG(10.1.2.3, 255.255.255.0);\r\nMORV_DEV_ADR(UART0, 0x00000001);\r\n");
    EXPECT_EQ(morvcfg_compare(), 0);
}

TEST(WebExportsTest, AnswersEachMessageItIsHanded) {
    hand_over("{oops");
    morvcfg_lsp_receive();
    EXPECT_NE(output("replies").find("\"code\":-32700"), std::string::npos) << output("replies");
    hand_over(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    morvcfg_lsp_receive();
    const std::string replies = output("replies");
    EXPECT_TRUE(replies.ends_with("\n")) << replies;
    EXPECT_NE(replies.find("\"id\":1"), std::string::npos) << replies;
    EXPECT_NE(replies.find("\"serverInfo\""), std::string::npos) << replies;
}

}  // namespace
