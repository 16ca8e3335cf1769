#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "translator/directive_table.h"
#include "translator/run.h"
#include "translator/text_reader.h"

namespace morvcfg {
namespace {

std::string dotted(const Address& address) {
    std::string text;
    for (const std::uint32_t component : address) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(component);
    }
    return text;
}

// The fields of the record that differ from the defaults, before derivation.
std::string changes(const NetConfig& config) {
    const NetConfig defaults;
    std::string out;
    const auto note = [&out](const std::string& what) {
        if (!out.empty()) {
            out += ' ';
        }
        out += what;
    };
    const struct {
        const char* name;
        Address NetConfig::*field;
    } addresses[] = {
        {"ThisIs", &NetConfig::ThisIs},         {"SubNetMask", &NetConfig::SubNetMask},
        {"LocalHost", &NetConfig::LocalHost},   {"DomainNameServer", &NetConfig::DomainNameServer},
        {"GateWay", &NetConfig::GateWay},       {"NTPServer", &NetConfig::NTPServer},
        {"SMTPServer", &NetConfig::SMTPServer}, {"POP3Server", &NetConfig::POP3Server},
    };
    for (const auto& a : addresses) {
        if (config.*a.field != defaults.*a.field) {
            note(std::string(a.name) + "=" + dotted(config.*a.field));
        }
    }
    const char* pools[] = {"VerySmall", "Small", "Middle", "Large"};
    for (std::size_t i = 0; i < config.pools.size(); ++i) {
        if (config.pools[i].block_size != 0 || config.pools[i].blocks != 0) {
            note(std::string(pools[i]) + "=" + std::to_string(config.pools[i].block_size) + "x" +
                 std::to_string(config.pools[i].blocks));
        }
    }
    return out;
}

struct Outcome {
    std::string changes;
    std::string pass_through;
};

Outcome translate_text(const std::string& description) {
    StringSource source(description);
    PieceReader reader(source);
    StringSink sink;
    TextWriter pass_through(sink);
    NetConfig config;
    EXPECT_TRUE(translate(reader, config, pass_through));
    EXPECT_TRUE(pass_through.close());
    return {changes(config), sink.contents()};
}

struct DirectiveCase {
    std::string input;
    std::string changes;
    std::string pass_through;
};

TEST(DirectiveTest, ParsesEachDirectiveForm) {
    const std::vector<DirectiveCase> cases = {
        // The interface: address and mask, or the address alone.
        {"MORV_IFCFG(10.0.0.2,255.0.0.0);\n", "ThisIs=10.0.0.2 SubNetMask=255.0.0.0", ""},
        {"MORV_IFCFG(10.1.2.3)\n", "ThisIs=10.1.2.3", ""},
        {"MORV_IFCFG\n", "", ""},
        {"MORV_IFCFG();\n", "", ""},
        {"MORV_IFCFG 10.1.2.3 255.255.0.0 junk\n", "ThisIs=10.1.2.3 SubNetMask=255.255.0.0", ""},
        // Single-address directives use only exactly one operand.
        {"MORV_LOCAL(300.1.2.3)\n", "LocalHost=300.1.2.3", ""},
        {"MORV_DEFGW(10.0.0.1)\n", "GateWay=10.0.0.1", ""},
        {"MORV_DNS(192.168.0.1, 10.0.0.1)\n", "", ""},
        {"MORV_DNS(8.8.4.4)\n", "DomainNameServer=8.8.4.4", ""},
        {"MORV_NTPCFG(1.2.3.4)\n", "NTPServer=1.2.3.4", ""},
        {"MORV_SMTPCFG(5.6.7.8)\n", "SMTPServer=5.6.7.8", ""},
        {"MORV_POP3CFG(9.10.11.12)\n", "POP3Server=9.10.11.12", ""},
        {"MORV_LOCAL(1.2.3.4) 5.6.7.8\n", "LocalHost=1.2.3.4", ""},
        // Partial and odd operands change only the leading components.
        {"MORV_LOCAL(10.9.9)\n", "LocalHost=10.9.9.1", ""},
        {"MORV_LOCAL(10.9..5)\n", "LocalHost=10.9.0.1", ""},
        {"MORV_LOCAL(10.9.x)\n", "LocalHost=10.9.0.1", ""},
        {"MORV_LOCAL(x.9.9.9)\n", "", ""},
        {"MORV_LOCAL(0x10.0.0.9)\n", "LocalHost=0.0.0.1", ""},
        {"MORV_LOCAL(10.0.0.2.7)\n", "LocalHost=10.0.0.2", ""},
        {"MORV_LOCAL(10.-1.0.1)\n", "LocalHost=10.4294967295.0.1", ""},
        {"MORV_LOCAL(4294967296.1.2.3)\n", "LocalHost=0.1.2.3", ""},
        // Memory pools: each value stored as it is read.
        {"MORV_MPF_SMALL(256, 8)\n", "Small=256x8", ""},
        {"MORV_MPF_SMALL(256)\n", "Small=256x0", ""},
        {"MORV_MPF_SMALL(x, 8)\n", "", ""},
        {"MORV_MPF_VERY_SMALL(64,16)\nMORV_MPF_MIDDLE(-4,16)\nMORV_MPF_LARGE(4294967295,2)\n",
         "VerySmall=64x16 Middle=-4x16 Large=-1x2", ""},
        {"MORV_MPF_LARGE(1,2)\nMORV_MPF_LARGE(3)\n", "Large=3x2", ""},
        // Later directives overwrite earlier ones, component by component.
        {"MORV_DEFGW(1.2.3.4)\nMORV_DEFGW(5.6)\n", "GateWay=5.6.3.4", ""},
        // Device defines stand where the directive stood.
        {"a\nMORV_DEV_ADR(lan_ctrl, 0xA0000000);\nb\n", "", "a\r\n#define LAN_CTRL_START_ADDRESS 0xa0000000\r\nb\r\n"},
        {"MORV_DEV_ADR(eth1, 0x300)\n", "", "#define ETH1_START_ADDRESS 0x00000300\r\n"},
        {"MORV_DEV_ADR(eth1, 0x 300)\n", "", "#define ETH1_START_ADDRESS 0x00000300\r\n"},
        {"MORV_DEV_ADR(eth1, 0x0x300)\n", "", "#define ETH1_START_ADDRESS 0x00000300\r\n"},
        {"MORV_DEV_ADR(eth1, 0x123456789)\n", "", "#define ETH1_START_ADDRESS 0x23456789\r\n"},
        {"MORV_DEV_ADR(eth1, 0X300)\n", "", ""},
        {"MORV_DEV_ADR(eth1, 300)\n", "", ""},
        {"MORV_DEV_ADR(eth1, 0xg)\n", "", ""},
        {"MORV_DEV_ADR(eth1)\n", "", ""},
        {"MORV_DEV_ADR(dma_2b, 0x10)\n", "", "#define DMA_2B_START_ADDRESS 0x00000010\r\n"},
        {"MORV_DEV_ADR(m\xe9z_\x80z, 0x1)\n", "", "#define M\xe9Z_\x80Z_START_ADDRESS 0x00000001\r\n"},
        // Names of any length are kept whole.
        {"MORV_DEV_ADR(" + std::string(40, 'q') + ", 0x1)\n", "",
         "#define " + std::string(40, 'Q') + "_START_ADDRESS 0x00000001\r\n"},
        {"MORV_LOCAL" + std::string(40, 'X') + "(1.2.3.4)\n", "LocalHost=1.2.3.4", ""},
        {"MORV_LOCAL(" + std::string(35, '0') + "1.2.3.4)\n", "LocalHost=1.2.3.4", ""},
    };
    for (const DirectiveCase& c : cases) {
        const Outcome outcome = translate_text(c.input);
        EXPECT_EQ(outcome.changes, c.changes) << c.input;
        EXPECT_EQ(outcome.pass_through, c.pass_through) << c.input;
    }
}

TEST(DirectiveTest, RecognisesKeywordsOnlyAtTheStartAndInUpperCase) {
    const std::vector<DirectiveCase> cases = {
        {" MORV_IFCFG(10.0.0.2,255.0.0.0);\n", "", " MORV_IFCFG(10.0.0.2,255.0.0.0);\r\n"},
        {"\tMORV_LOCAL(1.2.3.4)\n", "", "\tMORV_LOCAL(1.2.3.4)\r\n"},
        {"morv_ifcfg(10.0.0.2,255.0.0.0);\n", "", "morv_ifcfg(10.0.0.2,255.0.0.0);\r\n"},
        {"MORV_DNSSERVER 10.0.0.9\n", "DomainNameServer=10.0.0.9", ""},
        {"MORV_DNS10.0.0.9\n", "", ""},
        {"MORV_UNKNOWN(1)\n", "", "MORV_UNKNOWN(1)\r\n"},
        {"MORV_\n", "", "MORV_\r\n"},
        {"MORV_MPF_SMALLER(1,2)\n", "Small=1x2", ""},
        // Ordinary text keeps its punctuation and percent signs.
        {"/* f(a, b); */ 100% done\n", "", "/* f(a, b); */ 100% done\r\n"},
        {"last line", "", "last line"},
        // A line that starts with M but with no keyword is copied, whichever way the reader takes it.
        {"Mostly ordinary\r\nMORE text\r\nM\r\nMORV\nMax", "", "Mostly ordinary\r\nMORE text\r\nM\r\nMORV\r\nMax"},
        // A directive alone on the last line, without a line end.
        {"MORV_LOCAL(1.2.3.4)", "LocalHost=1.2.3.4", ""},
        {"a\r\nMORV_LOCAL(1.2.3.4)", "LocalHost=1.2.3.4", "a\r\n"},
        // A bare keyword on the last line, without a line end, is a directive (with no operand).
        {"first line\r\nMORV_DNS", "", "first line\r\n"},
        // A NUL: an ordinary piece is copied whole; a directive's text ends there.
        {std::string("a\0b\nc\n", 6), "", std::string("a\0b\r\nc\r\n", 8)},
        {std::string("MORV_LOCAL(1.2.3.4\0.9)\n", 23), "LocalHost=1.2.3.4", ""},
        {std::string("MORV_LOCAL(1.2\0.3.4)\n", 21), "LocalHost=1.2.0.1", ""},
        {std::string("MORV_LO\0AL(1.2.3.4)\n", 20), "", std::string("MORV_LO\0AL(1.2.3.4)\r\n", 21)},
        // Pieces split long lines; a keyword at character 256 starts a directive piece.
        {std::string(255, 'x') + "MORV_LOCAL(1.2.3.4)\n", "LocalHost=1.2.3.4", std::string(255, 'x')},
        {std::string(300, 'y') + "\n", "", std::string(300, 'y') + "\r\n"},
        // The directive's tail becomes an ordinary piece of its own.
        {"MORV_DEV_ADR(a," + std::string(240, ' ') + "0x1)\n", "", "0x1)\r\n"},
        // CR LF text, mostly copied in runs of whole lines: the same pieces at every edge.
        {"a\r\nMORV_LOCAL(1.2.3.4)\r\nb\r\n\r\n", "LocalHost=1.2.3.4", "a\r\nb\r\n\r\n"},
        {"a\r\nb\rc\r\nd\ne\r\n", "", "a\r\nbc\r\nd\r\ne\r\n"},
        {std::string(254, 'x') + "\r\nMORV_LOCAL(1.2.3.4)\r\n", "LocalHost=1.2.3.4", std::string(254, 'x') + "\r\n"},
        {std::string(255, 'x') + "\r\nMORV_LOCAL(1.2.3.4)\r\n", "LocalHost=1.2.3.4", std::string(255, 'x') + "\r\n"},
        {std::string(255, 'x') + "MORV_LOCAL(1.2.3.4)\r\n", "LocalHost=1.2.3.4", std::string(255, 'x')},
        {"a\r\n" + std::string(100, 'x') + "\r" + std::string(200, 'y') + "MORV_LOCAL(1.2.3.4)\r\n", "",
         "a\r\n" + std::string(100, 'x') + std::string(200, 'y') + "MORV_LOCAL(1.2.3.4)\r\n"},
    };
    for (const DirectiveCase& c : cases) {
        const Outcome outcome = translate_text(c.input);
        EXPECT_EQ(outcome.changes, c.changes) << c.input;
        EXPECT_EQ(outcome.pass_through, c.pass_through) << c.input;
    }
}

// A large file takes the larger reads and, where the processor has it, the wider search for runs
// of lines: its output must still be that of taking every piece.
TEST(DirectiveTest, LargeFilesGiveTheBytesOfTakingEveryPiece) {
    const std::string kinds[] = {
        "ordinary line, {x, y}", "MORV_DEV_ADR(d, 0x10)", "MORV_LOCAL(1.2.3.4)", "Mostly ordinary",
        std::string(254, 'a'),   std::string(255, 'b'),   std::string(256, 'c'), "lone\rCR",
    };
    std::string input;
    std::uint32_t state = 1;
    while (input.size() < std::size_t{2} << 20) {
        state = state * 1103515245U + 12345U;
        input += kinds[(state >> 16U) % 8];
        input += (state >> 8U) % 50 == 0 ? "\n" : "\r\n";  // now and then a bare LF
    }
    StringSource whole(input);
    PieceReader by_pieces(whole);
    StringSink expected;
    NetConfig expected_config;
    TextWriter expected_out(expected);
    std::span<char> piece;
    while (by_pieces.next(piece)) {
        dispatch(piece, expected_config, expected_out);
    }
    ASSERT_TRUE(expected_out.close());
    const Outcome outcome = translate_text(input);
    EXPECT_EQ(outcome.changes, changes(expected_config));
    EXPECT_TRUE(outcome.pass_through == expected.contents());
}

TEST(DirectiveTest, TableHoldsTheTwelveKeywordsInOrder) {
    std::vector<std::string_view> keywords;
    for (const Directive& row : kDirectives) {
        keywords.push_back(row.keyword);
        EXPECT_TRUE(row.keyword.starts_with(kKeywordPrefix));
    }
    EXPECT_EQ(keywords,
              (std::vector<std::string_view>{"MORV_IFCFG", "MORV_LOCAL", "MORV_DEFGW", "MORV_DNS", "MORV_DEV_ADR",
                                             "MORV_MPF_VERY_SMALL", "MORV_MPF_SMALL", "MORV_MPF_MIDDLE",
                                             "MORV_MPF_LARGE", "MORV_NTPCFG", "MORV_SMTPCFG", "MORV_POP3CFG"}));
}

}  // namespace
}  // namespace morvcfg

namespace morvcfg {
namespace {

// The table's description of what each row sets must be what its parser really sets.
TEST(DirectiveTest, RowsDescribeWhatTheirParsersSet) {
    for (const Directive& row : kDirectives) {
        NetConfig config;
        StringSink sink;
        TextWriter pass_through(sink);
        const std::string operands = row.kind == DirectiveKind::Interface ? " 1.2.3.4 5.6.7.8"
                                     : row.kind == DirectiveKind::Pool    ? " 7 9"
                                     : row.kind == DirectiveKind::Device  ? " d 0x1"
                                                                          : " 1.2.3.4";
        row.parse(std::string(row.keyword) + operands, config, pass_through);
        ASSERT_TRUE(pass_through.close());
        NetConfig expected;
        switch (row.kind) {
            case DirectiveKind::Interface:
                expected.ThisIs = {1, 2, 3, 4};
                expected.SubNetMask = {5, 6, 7, 8};
                break;
            case DirectiveKind::Address:
                expected.*row.address = {1, 2, 3, 4};
                break;
            case DirectiveKind::Pool:
                expected.pool(row.pool) = {7, 9};
                break;
            case DirectiveKind::Device:
                EXPECT_EQ(sink.contents(), "#define D_START_ADDRESS 0x00000001\r\n");
                break;
        }
        EXPECT_EQ(changes(config), changes(expected)) << row.keyword;
        if (row.kind != DirectiveKind::Device) {
            EXPECT_EQ(sink.contents(), "") << row.keyword;
        }
    }
}

}  // namespace
}  // namespace morvcfg
