#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "generator/header_writer.h"
#include "generator/net_config.h"
#include "generator/source_writer.h"

namespace morvcfg {
namespace {

constexpr const char* kRule = "/* ----------------------------------------------------------------------- */\r\n";
constexpr const char* kNotice = "/*                                  Made by morvcfg - do not edit.         */\r\n";
constexpr const char* kEndOfFile = "/*  End of file                                                            */\r\n";

std::string closing_box() {
    return std::string("\r\n") + kRule + kEndOfFile + kNotice + kRule;
}

std::string source_for(NetConfig config, LocalTime now) {
    StringSink sink;
    TextWriter out(sink);
    const Address network = derive(config);
    write_source(out, config, network, [now] { return now; });
    EXPECT_TRUE(out.close());
    return sink.contents();
}

std::string header_for(const NetConfig& config) {
    StringSink sink;
    TextWriter out(sink);
    write_header(out, config);
    EXPECT_TRUE(out.close());
    return sink.contents();
}

TEST(SourceWriterTest, WritesDefaultsInFull) {
    const std::string expected = std::string(kRule) +
                                 "/*  KMT-R7    Morvik network configuration C surce file.                   */\r\n" +
                                 kNotice + kRule +
                                 "\r\n"
                                 "unsigned char ThisIs[] = {192,168,0,254};\r\n"
                                 "unsigned char SubNetMask[] = {255,255,255,0};\r\n"
                                 "unsigned char NetWorkAddress[] = {192,168,0,0};\r\n"
                                 "unsigned char LocalHost[] = {127,0,0,1};\r\n"
                                 "unsigned char GateWay[] = {192,168,0,1};\r\n"
                                 "unsigned char DomainNameServer[] = {192,168,0,1};\r\n"
                                 "unsigned char BroadCast[] = {255,255,255,255};\r\n"
                                 "unsigned char SubNetBroadCast[] = {192,168,0,255};\r\n"
                                 "unsigned char NTPServer[] = {129,6,15,28};\r\n"
                                 "unsigned char SMTPServer[] = {0,0,0,0};\r\n"
                                 "unsigned char POP3Server[] = {0,0,0,0};\r\n"
                                 "char BuildNumber[] = {\"20040307090503\"};\r\n" +
                                 closing_box();
    EXPECT_EQ(source_for(NetConfig{}, LocalTime{2004, 3, 7, 9, 5, 3}), expected);
}

TEST(SourceWriterTest, WritesFullWidthComponentsAndReadsTheClockAfterTheArrays) {
    NetConfig config;
    config.LocalHost = {4294967295U, 300, 0, 1};
    StringSink sink;
    TextWriter out(sink);
    std::size_t written_before_clock = 0;
    write_source(out, config, Address{}, [&] {
        EXPECT_TRUE(out.flush());
        written_before_clock = sink.contents().size();
        return LocalTime{1999, 12, 31, 23, 59, 58};
    });
    ASSERT_TRUE(out.close());
    const std::string& text = sink.contents();
    EXPECT_NE(text.find("unsigned char LocalHost[] = {4294967295,300,0,1};\r\n"), std::string::npos);
    EXPECT_TRUE(text.substr(0, written_before_clock).ends_with("POP3Server[] = {0,0,0,0};\r\n"));
    EXPECT_NE(text.find("{\"19991231235958\"}"), std::string::npos);
}

TEST(HeaderWriterTest, WritesDefaultsInFull) {
    const std::string expected = std::string(kRule) +
                                 "/*  KMT-R7    Morvik network configuration Header file.                    */\r\n" +
                                 kNotice + kRule +
                                 "\r\n"
                                 "#define\tETH0_VERY_SMALL_BLOCK_SIZE\t0\r\n"
                                 "#define\tETH0_VERY_SMALL_BLOCKS\t0\r\n"
                                 "#define\tETH0_SMALL_BLOCK_SIZE\t0\r\n"
                                 "#define\tETH0_SMALL_BLOCKS\t0\r\n"
                                 "#define\tETH0_MIDDLE_BLOCK_SIZE\t0\r\n"
                                 "#define\tETH0_MIDDLE_BLOCKS\t0\r\n"
                                 "#define\tETH0_LARGE_BLOCK_SIZE\t0\r\n"
                                 "#define\tETH0_LARGE_BLOCKS\t0\r\n"
                                 "\r\n"
                                 "#define\tETH0_RCV_VERY_SMALL_SZ\t0\r\n"
                                 "#define\tETH0_RCV_SMALL_SZ\t0\r\n"
                                 "#define\tETH0_RCV_MIDDLE_SZ\t0\r\n"
                                 "#define\tETH0_RCV_LARGE_SZ\t0\r\n" +
                                 closing_box();
    EXPECT_EQ(header_for(NetConfig{}), expected);
}

TEST(HeaderWriterTest, WritesSignedValuesAndWrappedProducts) {
    NetConfig config;
    config.pool(PoolClass::VerySmall) = {64, 16};
    config.pool(PoolClass::Small) = {-4, 16};
    config.pool(PoolClass::Middle) = {65536, 65536};
    config.pool(PoolClass::Large) = {-1, 0};
    const std::string text = header_for(config);
    for (const char* line :
         {"ETH0_VERY_SMALL_BLOCK_SIZE\t64\r\n", "ETH0_VERY_SMALL_BLOCKS\t16\r\n", "ETH0_SMALL_BLOCK_SIZE\t-4\r\n",
          "ETH0_RCV_VERY_SMALL_SZ\t1024\r\n", "ETH0_RCV_SMALL_SZ\t-64\r\n", "ETH0_MIDDLE_BLOCKS\t65536\r\n",
          "ETH0_RCV_MIDDLE_SZ\t0\r\n", "ETH0_LARGE_BLOCK_SIZE\t-1\r\n", "ETH0_RCV_LARGE_SZ\t0\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(BannerTest, EveryCommentLineIs77Characters) {
    for (const std::string& text : {source_for(NetConfig{}, LocalTime{}), header_for(NetConfig{})}) {
        std::istringstream lines(text);
        int banner_lines = 0;
        for (std::string line; std::getline(lines, line);) {
            ASSERT_TRUE(line.ends_with("\r")) << line;
            if (line.starts_with("/*")) {
                ++banner_lines;
                EXPECT_EQ(line.size(), 78U) << line;
                EXPECT_TRUE(line.ends_with("*/\r")) << line;
            }
        }
        EXPECT_EQ(banner_lines, 8);
    }
}

}  // namespace
}  // namespace morvcfg
