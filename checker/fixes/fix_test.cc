// Fixing a description file's bytes: which fixes a line gets, certain or a guess, which of them
// --fix takes, and what they change in the configuration morvcfg generates.
#include "checker/fixes/fix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/analysis/ignores.h"

namespace morvcfg {
namespace {

// Where a lone CR joins two lines the editor shows apart, no fix reaches across it: the text mode
// ignores the second line's text, but the author wrote it on a line of its own.
TEST(FixTest, NoFixReachesAcrossALoneCarriageReturn) {
    for (const std::string input :
         {"morv_ntpcfg(1.2.3.4);\rMORV_POP3(1.2.3.4)\n", "MORV_DNS(1.2.3.4);\r junk\n", "\t\rmorv_dns(1.2.3.4)\n"}) {
        const FixedText fixed = fix_text(input, {}, true);
        EXPECT_NE(fixed.bytes.find('\r'), std::string::npos) << input;
        EXPECT_EQ(fixed.bytes.substr(fixed.bytes.find('\r')), input.substr(input.find('\r'))) << input;
    }
}

// note [certain fixes and guesses]: what --fix applies unread never removes or changes a digit the
// author wrote, nor makes a line in a conditional block the build decides apply on every board. A
// value's other readings are guesses, where one is evident; otherwise only a person may decide.
TEST(FixTest, EachLineGetsTheFixItsReadingAllows) {
    enum class Kind { None, Certain, Guess };
    const struct {
        std::string input;
        Kind kind;
        std::string fixed;  // with --fix for a certain fix, with --unsafe-fixes for a guess
    } cases[] = {
        // Text without a value: the indent, the case, stray letters and words, invisible characters.
        {"  MORV_DNS(10.0.0.1);\n", Kind::Certain, "MORV_DNS(10.0.0.1);\n"},
        {"morv_pop3cfg(10.0.0.1);\n", Kind::Certain, "MORV_POP3CFG(10.0.0.1);\n"},
        {"MORV_DNSSERVER(10.0.0.1);\n", Kind::Certain, "MORV_DNS(10.0.0.1);\n"},
        {"MORV_DNS(10.0.0.1) junk;\n", Kind::Certain, "MORV_DNS(10.0.0.1);\n"},
        {"MORV_DNS(10.0.0.1) (backup)\n", Kind::Certain, "MORV_DNS(10.0.0.1)\n"},
        {"MORV_DNS(10.0.0.1);\xE2\x80\x8B\n", Kind::Certain, "MORV_DNS(10.0.0.1);\n"},
        {"x\n\xEF\xBB\xBFMORV_DNS(10.0.0.1);\n", Kind::Certain, "x\nMORV_DNS(10.0.0.1);\n"},
        {"\t\xC2\xA0MORV_DNS(10.0.0.1);\n", Kind::Certain, "MORV_DNS(10.0.0.1);\n"},
        // Separators the translator reads as blanks: nothing to fix.
        {"MORV_DNS(10.0.0.1);;\n", Kind::None, "MORV_DNS(10.0.0.1);;\n"},
        {"MORV_DNS(10.0.0.1));\n", Kind::None, "MORV_DNS(10.0.0.1));\n"},
        // A prefix length after this host's address means a mask.
        {"MORV_IFCFG(10.1.2.3/16);\n", Kind::Guess, "MORV_IFCFG(10.1.2.3, 255.255.0.0);\n"},
        {"MORV_IFCFG 10.1.2.3/20\n", Kind::Guess, "MORV_IFCFG 10.1.2.3, 255.255.240.0\n"},
        {"MORV_IFCFG(10.1.2.3/0);\n", Kind::Guess, "MORV_IFCFG(10.1.2.3, 0.0.0.0);\n"},
        {"MORV_IFCFG(10.1.2.3/32);\n", Kind::Guess, "MORV_IFCFG(10.1.2.3, 255.255.255.255);\n"},
        {"MORV_IFCFG(10.1.2.3/24, 255.255.255.0);\n", Kind::Guess, "MORV_IFCFG(10.1.2.3, 255.255.255.0);\n"},
        {"MORV_IFCFG(10.1.2.3/24, 255.255.0.0);\n", Kind::None, ""},
        {"MORV_IFCFG(10.1.2.3/33);\n", Kind::None, ""},
        {"MORV_IFCFG(10.1.2.3, 255.255.0.0/16);\n", Kind::None, ""},
        {"MORV_LOCAL(127.0.0.1/8);\n", Kind::None, ""},
        {"MORV_DEFGW(10.1.0.1/16);\n", Kind::None, ""},
        {"MORV_DNS(10.1.0.2/16);\n", Kind::None, ""},
        {"MORV_NTPCFG(10.1.0.3/16);\n", Kind::None, ""},
        {"MORV_SMTPCFG(10.1.0.4/16);\n", Kind::None, ""},
        {"MORV_POP3CFG(10.1.0.5/16);\n", Kind::None, ""},
        // Other text glued to an address, or a digit in what is ignored.
        {"MORV_LOCAL(127.0.0.1.5);\n", Kind::None, ""},
        {"MORV_LOCAL(127.0.0.1x);\n", Kind::None, ""},
        {"MORV_SMTPCFG(10.20.40.25, 10.20.40.26);\n", Kind::None, ""},
        {"MORV_DEFGW(10.0.0.1) (backup: 10.0.0.254)\n", Kind::None, ""},
        {"MORV_NTPCFG(129.6.15.28) junk(1);\n", Kind::None, ""},
        {"MORV_MPF_SMALL(64, 16, 2);\n", Kind::None, ""},
        {"MORV_DNS2(10.0.0.2);\n", Kind::None, ""},
        // Hexadecimal digits written apart make one address, where it fits 32 bits.
        {"MORV_DEV_ADR(uart4, 0x4000 4400);\n", Kind::Guess, "MORV_DEV_ADR(uart4, 0x40004400);\n"},
        {"MORV_DEV_ADR(uart4, 0x4000_4400);\n", Kind::Guess, "MORV_DEV_ADR(uart4, 0x40004400);\n"},
        {"MORV_DEV_ADR(uart4, 0x4000'4400);\n", Kind::Guess, "MORV_DEV_ADR(uart4, 0x40004400);\n"},
        {"MORV_DEV_ADR(uart4, 0x4000 44000);\n", Kind::None, ""},
        {"MORV_DEV_ADR(uart4, 0x4000_44x0);\n", Kind::None, ""},
        {"MORV_DEV_ADR(uart4, 0x12g);\n", Kind::None, ""},
        {"MORV_DEV_ADR(uart4, 0x4000) 4400;\n", Kind::None, ""},
        // Operands glued to the keyword.
        {"MORV_POP3CFG:10.1.2.110\n", Kind::Guess, "MORV_POP3CFG(10.1.2.110);\n"},
        {"MORV_POP3CFG=10.1.2.110; // mail\n", Kind::Guess, "MORV_POP3CFG(10.1.2.110); // mail\n"},
        {"MORV_MPF_SMALL:64\n", Kind::Guess, "MORV_MPF_SMALL(64);\n"},
        {"MORV_POP3CFG:10.1.2\n", Kind::None, ""},
        {"MORV_DNS:10.0.0.1(x)\n", Kind::None, ""},
        // Unknown words: a keyword near them, with operands it could take.
        {"MORV_NTP(10.0.0.123);\n", Kind::Guess, "MORV_NTPCFG(10.0.0.123);\n"},
        {"MORV_IFCONFIG(10.0.0.2);\n", Kind::Guess, "MORV_IFCFG(10.0.0.2);\n"},
        {"MORV_NTP(2);\n", Kind::None, ""},
        {"MORV_VERSION(2);\n", Kind::None, ""},
        {"MORV_DEBUG(1);\n", Kind::None, ""},
        {"MORV_LOG_LEVEL(3);\n", Kind::None, ""},
        {"MORV_MPF(64, 8);\n", Kind::None, ""},
        {"MORV_MPF_SMAL(big, 8);\n", Kind::None, ""},
        {"MORV_MPF_SMAL(64, 8);\n", Kind::Guess, "MORV_MPF_SMALL(64, 8);\n"},
        // Conditional blocks the build decides: no fix, whatever the form.
        {"#ifdef BOARD_A\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#ifndef BOARD_A\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#if defined(A)\n#elif defined(B)\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#if BOARD == 2\n#else\n  morv_dns(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#if 0\n#elif X\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#if 1\n#ifdef A\n  MORV_DNS(10.0.0.1);\n#endif\n#endif\n", Kind::None, ""},
        {"#ifdef A\nMORV_DNSSERVER(10.0.0.1) junk\n#endif\n", Kind::None, ""},
        {"#ifdef A\n/* old */ MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"#ifdef A\nMORV_NTP(10.0.0.123);\n#endif\n", Kind::None, ""},
        {"#ifdef A\n\xC2\xA0MORV_DNS(10.0.0.1);\n#endif\n", Kind::None, ""},
        {"/*\nMORV_DNSSERVER(10.0.0.1) junk\n*/\n", Kind::None, ""},
        // ...and branches C always takes keep theirs.
        {"#if 1\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::Certain, "#if 1\nMORV_DNS(10.0.0.1);\n#endif\n"},
        {"#if 0\n#else\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::Certain, "#if 0\n#else\nMORV_DNS(10.0.0.1);\n#endif\n"},
        {"#ifndef G\n#define G\n  MORV_DNS(10.0.0.1);\n#endif\n", Kind::Certain,
         "#ifndef G\n#define G\nMORV_DNS(10.0.0.1);\n#endif\n"},
        {"/* board */\n#if !defined(G)\n#define G\n  MORV_DNS(10.0.0.1);\n#endif\n\n// end\n", Kind::Certain,
         "/* board */\n#if !defined(G)\n#define G\nMORV_DNS(10.0.0.1);\n#endif\n\n// end\n"},
        // A guard is one only when it wraps the whole file: any other is a condition the build decides.
        {"MORV_IFCFG(10.0.0.5, 255.255.255.0);\n#ifndef BOARD_HAS_OWN_DNS\n#define BOARD_HAS_OWN_DNS 1\n"
         "  MORV_DNS(10.0.0.53);\n#endif\n",
         Kind::None, ""},
        {"#ifndef G\n#define G\n  MORV_DNS(10.0.0.1);\n#endif\nMORV_NTPCFG(10.0.0.2);\n", Kind::None, ""},
        {"#ifndef G\n#define G\n  MORV_DNS(10.0.0.1);\n", Kind::None, ""},
        {"#if !defined(G)\n#define G\nmorv_dns(10.0.0.1);\n#endif\n#include \"more.cfg\"\n", Kind::None, ""},
        // A comment a backslash continues onto a line: C reads the line as comment.
        {"// C:\\boards\\\nMORV_DNSSERVER(10.0.0.1);\n", Kind::None, ""},
        // No guess moves code that stands before a keyword, nor joins digits around a sign.
        {"foo MORV_DNS(1.2.3.4);\n", Kind::None, ""},
        {"MORV_DEV_ADR(X, 0x-1_000);\n", Kind::None, ""},
        {"MORV_IFCFG(10.0.0.1/99999999999);\n", Kind::None, ""},
        {"MORV_IFCFG(10.0.0.1/024);\n", Kind::None, ""},
        // Did-you-mean by the operands' shape: one plain number is no address.
        {"MORV_DNZ(0x10);\n", Kind::None, ""},
        {"MORV_DNZ(+5);\n", Kind::None, ""},
        {"MORV_DNZ(0xZZ);\n", Kind::Guess, "MORV_DNS(0xZZ);\n"},
    };
    // The same lines with CR LF line ends get the same fixes (note [certain fixes and guesses]).
    const auto crlf = [](std::string text) {
        for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
            text.insert(at, 1, '\r');
        }
        return text;
    };
    for (const auto& row : cases) {
        for (const bool windows : {false, true}) {
            const std::string input = windows ? crlf(row.input) : row.input;
            const std::string expected = row.kind == Kind::None ? input : windows ? crlf(row.fixed) : row.fixed;
            const FixedText certain = fix_text(input, {}, false);
            const FixedText guessed = fix_text(input, {}, true);
            EXPECT_EQ(certain.bytes, row.kind == Kind::Certain ? expected : input) << input;
            EXPECT_EQ(guessed.bytes, expected) << input;
            // What a fix leaves is warned about no more, and what none mends is still warned about.
            if (row.kind == Kind::None) {
                EXPECT_FALSE(guessed.result.findings.empty()) << input;
            }
        }
    }
}

std::vector<std::string> titles_of(const std::vector<const Fix*>& fixes) {
    std::vector<std::string> titles(fixes.size());
    std::transform(fixes.begin(), fixes.end(), titles.begin(), [](const Fix* fix) { return fix->title; });
    return titles;
}

// --fix takes the fixes of the categories left in, certain ones, and guesses only when asked; of
// two that touch the same bytes, the first.
TEST(FixTest, TakesTheFixesItMay) {
    const std::string input = "  morv_dns(10.0.0.1);\nMORV_NTP(10.0.0.2);\nMORV_DNSSERVER(10.0.0.3) junk;\n";
    StringSource source(input);
    const CheckResult result = check(source);
    const auto titles = [&](const ReportOptions& options, bool guesses) {
        return titles_of(fixes_to_apply(result, options, guesses));
    };
    EXPECT_EQ(titles({}, false),
              (std::vector<std::string>{"Remove the indent and write MORV_DNS in upper case",
                                        "Remove 'SERVER' after MORV_DNS", "Remove the ignored text"}));
    EXPECT_EQ(titles({}, true),
              (std::vector<std::string>{"Remove the indent and write MORV_DNS in upper case", "MORV_NTPCFG",
                                        "Remove 'SERVER' after MORV_DNS", "Remove the ignored text"}));
    ReportOptions quiet;
    quiet.disabled.insert(Category::KeywordSuffix);
    quiet.disabled.insert(Category::NotDirective);
    EXPECT_EQ(titles(quiet, true), std::vector<std::string>{"Remove the ignored text"});
    // A blank and a no-break space before a keyword: the title names what goes, the indent first.
    StringSource lead(" \xC2\xA0MORV_DNS(1.2.3.4);\n");
    const CheckResult led = check(lead);
    EXPECT_EQ(titles_of(fixes_to_apply(led, {}, false)),
              std::vector<std::string>{"Remove the indent and the no-break space"});
    ASSERT_EQ(led.findings.size(), 1U);
    EXPECT_NE(led.findings[0].message.find("stands after blanks and a no-break space"), std::string::npos);
    // Fixes that overlap: the first is taken.
    Fix first{FixKind::Certain, {{3, 6, "x"}}, "first"};
    Fix second{FixKind::Certain, {{5, 8, "y"}}, "second"};
    Fix third{FixKind::Certain, {{8, 8, "z"}}, "third"};
    CheckResult overlapping;
    for (Fix* fix : {&second, &first, &third}) {
        overlapping.findings.push_back(
            Finding{fix->replacements.front().begin, 0, Category::IgnoredText, "", {}, *fix});
    }
    EXPECT_EQ(titles_of(fixes_to_apply(overlapping, {}, false)), (std::vector<std::string>{"first", "third"}));
}

// What --fix says the fixes change: the generated settings that differ, in the order the summary
// lists them, a define that comes or goes included.
TEST(FixTest, SaysWhatTheConfigurationBecomes) {
    const auto checked = [](const std::string& text) {
        StringSource source(text);
        return check(source);
    };
    EXPECT_EQ(configuration_changes(checked("  MORV_IFCFG(10.1.2.3, 255.255.0.0);\n"),
                                    checked("MORV_IFCFG(10.1.2.3, 255.255.0.0);\n")),
              (std::vector<std::string>{"ThisIs: 192.168.0.254 -> 10.1.2.3", "SubNetMask: 255.255.255.0 -> 255.255.0.0",
                                        "NetWorkAddress: 192.168.0.0 -> 10.1.0.0", "GateWay: 192.168.0.1 -> 10.1.0.1",
                                        "DomainNameServer: 192.168.0.1 -> 10.1.0.1",
                                        "SubNetBroadCast: 192.168.0.255 -> 10.1.255.255"}));
    EXPECT_EQ(configuration_changes(checked("morv_mpf_small(64, 16);\nmorv_dev_adr(lan, 0x10);\n"),
                                    checked("MORV_MPF_SMALL(64, 16);\nMORV_DEV_ADR(lan, 0x10);\n")),
              (std::vector<std::string>{"ETH0_SMALL_BLOCK_SIZE: 0 -> 64", "ETH0_SMALL_BLOCKS: 0 -> 16",
                                        "ETH0_RCV_SMALL_SZ: 0 -> 1024", "LAN_START_ADDRESS: (none) -> 0x00000010"}));
    EXPECT_TRUE(configuration_changes(checked("MORV_DNSX(10.0.0.1);\n"), checked("MORV_DNS(10.0.0.1);\n")).empty());
}

}  // namespace
}  // namespace morvcfg

namespace morvcfg {
namespace {

// --add-ignore: one comment a line, naming every kind reported there, in the form the line can
// take; nothing where no comment can stay what it is.
TEST(AddIgnoreTest, WritesOneCommentALine) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
        std::size_t comments;
    } cases[] = {
        {"a directive line takes it at its end", "MORV_DNS(192.168.0.2) x;\r\n",
         "MORV_DNS(192.168.0.2) x;  /* morvcfg-check: ignore[ignored-text] */\r\n", 1},
        {"two kinds on one line, one comment", "MORV_SMTPCFG(10.0.0.300) x\n",
         "MORV_SMTPCFG(10.0.0.300) x  /* morvcfg-check: ignore[range, ignored-text] */\n", 1},
        {"ordinary text takes a line before it", "#define A 1\r\n  MORV_DNS(192.168.0.2);\r\n",
         "#define A 1\r\n// morvcfg-check: ignore-next-line[not-directive]\r\n  MORV_DNS(192.168.0.2);\r\n", 1},
        {"the line after a continued one takes none", "#define A 1 \\\n  MORV_DNS(192.168.0.2);\n",
         "#define A 1 \\\n  MORV_DNS(192.168.0.2);\n", 0},
        {"a file taken for UTF-16 takes none", std::string("\xFF\xFEMORV_DNS(1.2.3.4)\n text\n", 25),
         std::string("\xFF\xFEMORV_DNS(1.2.3.4)\n text\n", 25), 0},
    };
    for (const auto& c : cases) {
        const FixedText added = add_ignores(c.before, {});
        EXPECT_EQ(added.bytes, c.after) << c.name;
        EXPECT_EQ(added.applied, c.comments) << c.name;
        EXPECT_EQ(add_ignores(added.bytes, {}).bytes, added.bytes) << c.name << ": a second run";
    }
}

// On the bundled examples and the golden cases: afterwards no warning a comment could excuse is
// left, the configuration is the same, and a second run changes nothing.
TEST(AddIgnoreTest, OldFilesGiveNoWarningsAfterwards) {
    std::vector<std::filesystem::path> files;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(MORVCFG_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".cfg") {
            files.push_back(entry.path());
        }
    }
    std::transform(std::filesystem::directory_iterator(MORVCFG_CHECK_GOLDEN_DIR), std::filesystem::directory_iterator(),
                   std::back_inserter(files),
                   [](const std::filesystem::directory_entry& entry) { return entry.path() / "input.cfg"; });
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const FixedText added = add_ignores(bytes, {});
        for (const Finding& finding : added.result.findings) {
            EXPECT_TRUE(!reported(ReportOptions{}.verdict(finding)) || !ignore_edit(added.bytes, added.result, finding))
                << file << ": " << finding.message;
        }
        EXPECT_EQ(generated_settings(added.result), generated_settings(added.original)) << file;
        EXPECT_EQ(add_ignores(added.bytes, {}).bytes, added.bytes) << file;
    }
}

}  // namespace
}  // namespace morvcfg
