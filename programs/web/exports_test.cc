// The page's C functions, natively: what the Web Worker hands over and reads back.
#include "programs/web/exports.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

// The outputs, as exports.cc numbers them.
enum Output { kPassThrough, kSource, kHeader, kConfiguration, kReplies };

void hand_over(std::string_view bytes) {
    bytes.copy(morvcfg_input(bytes.size()), bytes.size());
}

std::string output(Output which) {
    return {morvcfg_output(which), morvcfg_output_size(which)};
}

TEST(WebExportsTest, TranslatesTheBytesItIsHanded) {
    hand_over("MORV_DEV_ADR(lan, 0x10);\nMORV_LOCAL(1.2.3);\nrest\n");
    EXPECT_EQ(morvcfg_translate(2004, 3, 7, 9, 5, 3), 0);
    EXPECT_EQ(output(kPassThrough), "#define LAN_START_ADDRESS 0x00000010\r\nrest\r\n");
    EXPECT_NE(output(kSource).find("char BuildNumber[] = {\"20040307090503\"};\r\n"), std::string::npos);
    EXPECT_NE(output(kHeader).find("#define\tETH0_RCV_LARGE_SZ\t0\r\n"), std::string::npos);
    // The configuration, without the warnings, which the page has from the language server.
    const std::string configuration = output(kConfiguration);
    EXPECT_NE(configuration.find("\"LocalHost\": \"1.2.3.1\""), std::string::npos) << configuration;
    EXPECT_NE(configuration.find("\"warnings\": []"), std::string::npos) << configuration;
    EXPECT_EQ(morvcfg_output(99), nullptr);
    EXPECT_EQ(morvcfg_output_size(-1), 0U);
}

TEST(WebExportsTest, AnswersEachMessageItIsHanded) {
    hand_over("{oops");
    morvcfg_lsp_receive();
    EXPECT_NE(output(kReplies).find("\"code\":-32700"), std::string::npos) << output(kReplies);
    hand_over(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    morvcfg_lsp_receive();
    const std::string replies = output(kReplies);
    EXPECT_TRUE(replies.ends_with("\n")) << replies;
    EXPECT_NE(replies.find("\"id\":1"), std::string::npos) << replies;
    EXPECT_NE(replies.find("\"serverInfo\""), std::string::npos) << replies;
}

}  // namespace
