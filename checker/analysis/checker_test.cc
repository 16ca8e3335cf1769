#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/analysis/directive_help.h"
#include "checker/analysis/ignores.h"
#include "checker/analysis/messages.h"
#include "checker/fixes/fix.h"
#include "checker/forms/report.h"

namespace morvcfg {
namespace {

std::string diagnose(const std::string& description, bool summary = false) {
    StringSource source(description);
    const FileReport report{"f", {}, check(source), {}, {}};
    std::string out;
    write_gcc(out, report, ReportOptions{{}, summary});
    return out;
}

struct CheckCase {
    std::string input;
    std::string expected;
};

TEST(CheckerTest, ExplainsWhatTheTranslatorDoesSilently) {
    const std::vector<CheckCase> cases = {
        // Clean input says nothing.
        {"", ""},
        {"MORV_IFCFG(10.1.2.3, 255.255.0.0);\nMORV_DEFGW(10.1.0.1);\nMORV_DNS(10.1.0.2);\n", ""},
        {"MORV_IFCFG(192.168.0.7);\r\n", ""},
        {"text\r\r\nmore\n\x1a", ""},
        // Operands.
        {"MORV_IFCFG;\n",
         "f:1:11: warning: MORV_IFCFG has no address operand: ThisIs keeps 192.168.0.254 and "
         "SubNetMask keeps 255.255.255.0 [-Woperand]\n"},
        {"MORV_NTPCFG\n", "f:1:12: warning: MORV_NTPCFG has no operand: NTPServer keeps 129.6.15.28 [-Woperand]\n"},
        {"MORV_LOCAL(10..1)\n",
         "f:1:15: warning: '10..1' gives only 1 of the 4 components of LocalHost: components 2 "
         "to 4 keep 0, 0 and 1, so LocalHost is 10.0.0.1 [-Woperand]\n"},
        {"MORV_MPF_SMALL()\n",
         "f:1:15: warning: MORV_MPF_SMALL has no operands: ETH0_SMALL_BLOCK_SIZE keeps 0 and ETH0_SMALL_BLOCKS "
         "keeps 0 [-Woperand]\n"},
        {"MORV_MPF_SMALL(big, 4)\n",
         "f:1:16: warning: 'big' is not a block size (a signed decimal number): ETH0_SMALL_BLOCK_SIZE keeps 0 and "
         "ETH0_SMALL_BLOCKS keeps 0 [-Woperand]\n"},
        {"MORV_MPF_SMALL(8, four)\n",
         "f:1:19: warning: 'four' is not a block count: ETH0_SMALL_BLOCK_SIZE is 8, and ETH0_SMALL_BLOCKS keeps 0 "
         "[-Woperand]\n"},
        {"MORV_MPF_VERY_SMALL(2 * 64, 16);\n",
         "f:1:23: warning: '*' is not a block count: ETH0_VERY_SMALL_BLOCK_SIZE is 2, and ETH0_VERY_SMALL_BLOCKS "
         "keeps 0 [-Woperand]\n"},
        // Device defines that are not written, and values that do not fit.
        {"MORV_DEV_ADR()\n",
         "f:1:13: warning: MORV_DEV_ADR has no device name: no define is written "
         "[-Wdevice-define]\n"},
        {"MORV_DEV_ADR(eth1)\n",
         "f:1:18: warning: MORV_DEV_ADR has no address after the device name: no define is "
         "written [-Wdevice-define]\n"},
        {"MORV_DEV_ADR(eth1, 0x123456789)\n",
         "f:1:22: warning: the address '123456789' does not fit 32 bits: it is "
         "written as 0x23456789 [-Wrange]\n"},
        {"MORV_DEV_ADR(eth1, 0x00000000ffffffff)\n", ""},
        // Numbers that wrap.
        {"MORV_LOCAL(4294967296.0.0.1)\n",
         "f:1:12: warning: component 1 of LocalHost '4294967296' does not fit 32 "
         "bits and is stored as 0 [-Wrange]\n"},
        {"MORV_LOCAL(99999999999999999999.0.0.1)\n",
         "f:1:12: warning: component 1 of LocalHost '99999999999999999999' is too large even for 64 bits and is "
         "read as 4294967295 [-Wrange]\n"},
        {"MORV_MPF_LARGE(4294967295, 2)\n",
         "f:1:1: warning: ETH0_RCV_LARGE_SZ is negative: -1 x 2 = -2 [-Wpool-size]\n"
         "f:1:16: warning: block size '4294967295' does not fit a signed 32-bit number and is stored as -1 "
         "[-Wrange]\n"},
        {"MORV_MPF_LARGE(-2147483648, 1)\n",
         "f:1:1: warning: ETH0_RCV_LARGE_SZ is negative: -2147483648 x 1 = -2147483648 [-Wpool-size]\n"},
        // Derivation: a default moved because the subnet changed is how the tool is meant to be used.
        {"MORV_IFCFG(10.1.2.3, 255.255.0.0);\nMORV_DNS(10.1.0.2);\n", ""},
        {"MORV_DEFGW(10.9.9.9)\n",
         "f:1:1: warning: the gateway 10.9.9.9 is outside this host's subnet "
         "192.168.0.0/255.255.255.0: it is written as 192.168.0.9 [-Wsubnet-move]\n"},
        // Addresses no host can have; with one host bit or none (/31, /32) every address is a host's.
        {"MORV_IFCFG(10.1.0.0, 255.255.0.0)\n",
         "f:1:1: warning: this host's address 10.1.0.0 is the network address of the subnet "
         "10.1.0.0/255.255.0.0: no host can have it [-Wimpossible-address]\n"},
        {"MORV_IFCFG(10.1.255.255, 255.255.0.0)\n",
         "f:1:1: warning: this host's address 10.1.255.255 is the broadcast address of the subnet "
         "10.1.0.0/255.255.0.0: no host can have it [-Wimpossible-address]\n"},
        {"MORV_IFCFG(10.1.2.0, 255.255.255.254)\n", ""},
        {"MORV_IFCFG(10.1.2.3, 255.255.255.255)\n",
         "f:1:1: warning: the default gateway 10.1.2.3 is this host's own address: a gateway is another host "
         "[-Wimpossible-address]\n"},
        {"MORV_IFCFG(10.1.2.1, 255.255.255.0)\nMORV_DEFGW(10.1.2.254)\nMORV_DNS(10.1.2.0)\n",
         "f:3:1: warning: the name server 10.1.2.0 is the network address of the subnet 10.1.2.0/255.255.255.0: "
         "no host can have it [-Wimpossible-address]\n"
         "f:1:1: note: this host's subnet is set here\n"},
        {"MORV_IFCFG(10.1.2.3, 255.255.255.0)\nMORV_DEFGW(10.1.2.255)\nMORV_DEFGW(10.1.2.3)\n",
         "f:3:1: warning: MORV_DEFGW sets GateWay again: 10.1.2.255 becomes 10.1.2.3 [-Woverride]\n"
         "f:2:1: note: set earlier here by MORV_DEFGW\n"
         "f:3:1: warning: the gateway 10.1.2.3 is this host's own address: a gateway is another host "
         "[-Wimpossible-address]\n"
         "f:1:1: note: this host's subnet is set here\n"},
        // Text mode and pieces.
        {"MORV_LOCAL(1.2.3.4)\x1a\n",
         "f:1:20: warning: Ctrl-Z ends the input: the 1 bytes after it are never read "
         "[-Wctrl-z]\n"},
        {"a\rb\r\rc\r\r\n",
         "f:1:2: warning: carriage return without a line feed: it is dropped, and the text on both "
         "sides becomes one line [-Wlone-cr]\n"
         "f:1:4: warning: carriage return without a line feed: it is dropped, and the text on both "
         "sides becomes one line [-Wlone-cr]\n"},
        {std::string("MORV_LOCAL(1.2.3.4\0.5)\n", 23),
         "f:1:19: warning: NUL byte: the directive's text ends here, "
         "and the rest of it is not read [-Wnul]\n"},
        {"MORV_DEV_ADR(a," + std::string(240, ' ') + "0x1)\n",
         "f:1:15: warning: MORV_DEV_ADR has no address after the device name: no define is written "
         "[-Wdevice-define]\n"
         "f:1:256: warning: line is 259 characters long: it is read as 2 pieces of at most 255 characters, each "
         "handled as a line of its own [-Wlong-line]\n"
         "f:1:256: note: the directive ends before this point; the text from here on is ordinary and is copied to "
         "the pass-through output\n"},
        {"\r\r" + std::string(300, 'y'),
         "f:1:1: warning: carriage return without a line feed: it is dropped, and the text on both sides becomes "
         "one line [-Wlone-cr]\n"
         "f:1:258: warning: line is 300 characters long: it is read as 2 pieces of at most 255 characters, each "
         "handled as a line of its own [-Wlong-line]\n"},
        // Lookalikes.
        {"\tmorv_dns(1.1.1.1)\n",
         "f:1:2: warning: 'morv_dns' is not in upper case (and indented), so the line is "
         "ordinary text and is copied unchanged; did you mean MORV_DNS? [-Wnot-directive]\n"},
        {"MORV_NTPCONFIG(1.1.1.1)\n",
         "f:1:1: warning: unknown directive 'MORV_NTPCONFIG': the line is ordinary text "
         "and is copied unchanged; did you mean MORV_NTPCFG? [-Wnot-directive]\n"},
        // As near to MORV_DNS as to MORV_NTPCFG, but MORV_NTPCFG cut short.
        {"MORV_NTP(1.1.1.1)\n",
         "f:1:1: warning: unknown directive 'MORV_NTP': the line is ordinary text "
         "and is copied unchanged; did you mean MORV_NTPCFG? [-Wnot-directive]\n"},
        // Of keywords as near, the one that shares more of the word's start; then the table's first.
        {"MORV_STPCFG(1.1.1.1)\n",
         "f:1:1: warning: unknown directive 'MORV_STPCFG': the line is ordinary text "
         "and is copied unchanged; did you mean MORV_SMTPCFG? [-Wnot-directive]\n"},
        {"MORV_MTPCFG(1.1.1.1)\n",
         "f:1:1: warning: unknown directive 'MORV_MTPCFG': the line is ordinary text "
         "and is copied unchanged; did you mean MORV_NTPCFG? [-Wnot-directive]\n"},
        // Other tools' macros: a word far from every keyword, or operands no keyword near it takes.
        {"MORV_MPF_XXXXX(1, 2);\nMORV_LOG_LEVEL(3);\nMORV_NTP(2);\n",
         "f:1:1: warning: unknown directive 'MORV_MPF_XXXXX': the line is ordinary text and is copied unchanged "
         "[-Wnot-directive]\n"
         "f:2:1: warning: unknown directive 'MORV_LOG_LEVEL': the line is ordinary text and is copied unchanged "
         "[-Wnot-directive]\n"
         "f:3:1: warning: unknown directive 'MORV_NTP': the line is ordinary text and is copied unchanged "
         "[-Wnot-directive]\n"},
        // Characters that show as nothing, or as a blank, are named.
        {"MORV_IFCFG(10.1.2.3,\xC2\xA0"
         "255.255.0.0);\nMORV_DNS(10.1.2.5);\xE2\x80\x8B\nx\n\xEF\xBB\xBFMORV_LOCAL(127.0.0.2);\n",
         "f:1:21: warning: '<U+00A0>255.255.0.0' (with a no-break space) is not an address: SubNetMask keeps "
         "255.255.255.0 [-Woperand]\n"
         "f:2:20: warning: '<U+200B>' (a zero-width space) is ignored: MORV_DNS takes one address [-Wignored-text]\n"
         "f:4:4: warning: MORV_LOCAL stands after a byte-order mark in the middle of the file (<U+FEFF>), so the line "
         "is ordinary text and is copied unchanged; a directive must start in the first column [-Wnot-directive]\n"},
        // A server at the network or broadcast address of this host's subnet.
        {"MORV_IFCFG(172.16.0.10, 255.255.255.0);\nMORV_POP3CFG(172.16.0.255);\nMORV_NTPCFG(172.16.0.0);\n"
         "MORV_SMTPCFG(172.16.1.255);\n",
         "f:2:1: warning: the mailbox server 172.16.0.255 is the broadcast address of the subnet "
         "172.16.0.0/255.255.255.0: no host can have it [-Wimpossible-address]\n"
         "f:1:1: note: this host's subnet is set here\n"
         "f:3:1: warning: the time server 172.16.0.0 is the network address of the subnet 172.16.0.0/255.255.255.0: "
         "no host can have it [-Wimpossible-address]\n"
         "f:1:1: note: this host's subnet is set here\n"},
        // UTF-16 without a byte-order mark, in either byte order: one warning, not one per NUL and CR.
        {std::string("M\0O\0R\0V\0_\0D\0N\0S\0\r\0\n\0x\0\r\0\n\0", 24),
         "f:1:1: warning: the file is UTF-16 (little-endian, without a byte-order mark: a NUL in every other byte): "
         "morvcfg reads it byte by byte, finds no directive in it and copies it as it is; save it as UTF-8 "
         "[-Wencoding]\n"},
        {std::string("\0M\0O\0R\0V\0\r\0\n", 12),
         "f:1:1: warning: the file is UTF-16 (big-endian, without a byte-order mark: a NUL in every other byte): "
         "morvcfg reads it byte by byte, finds no directive in it and copies it as it is; save it as UTF-8 "
         "[-Wencoding]\n"},
        // A line of blanks only, longer than a piece, and the line after it checked as ever.
        {std::string(300, ' ') + "\nMORV_LOCAL(127.0.1);\n",
         "f:1:256: warning: line is 300 characters long: it is read as 2 pieces of at most 255 characters, each "
         "handled as a line of its own [-Wlong-line]\n"
         "f:2:19: warning: '127.0.1' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so "
         "LocalHost is 127.0.1.1 [-Woperand]\n"},
        // A comment after the operands is no ignored text, nor an operand "%s" reads.
        {"MORV_MPF_SMALL(128,4); /* pool */\nMORV_DNS(192.168.0.53) // the resolver\n", ""},
        {"MORV_IFCFG(192.168.0.5);  /* this board */\nMORV_LOCAL(127.0.0.2);  // loop\n", ""},
        {"MORV_DNS // resolver\nMORV_DEV_ADR(uart1); /* later */\n",
         "f:1:9: warning: MORV_DNS has no operand: DomainNameServer keeps 192.168.0.1 [-Woperand]\n"
         "f:2:19: warning: MORV_DEV_ADR has no address after the device name: no define is written "
         "[-Wdevice-define]\n"},
        {"MORV_IFCFG(10.0.0.1, 255.255.255.0) junk;\n",
         "f:1:1: warning: the default gateway 10.0.0.1 is this host's own address: a gateway is another host "
         "[-Wimpossible-address]\n"
         "f:1:37: warning: 'junk' is ignored: MORV_IFCFG takes an address and a mask [-Wignored-text]\n"},
        // Values named as the firmware gets them: moved into the subnet, or set again later.
        {"MORV_IFCFG(10.1.2.3, 255.255.255.0);\nMORV_DEFGW(10.9.9.1, 10.1.2.1);\n",
         "f:2:1: warning: the gateway 10.9.9.1 is outside this host's subnet 10.1.2.0/255.255.255.0: it is written "
         "as 10.1.2.1 [-Wsubnet-move]\n"
         "f:1:1: note: this host's subnet is set here\n"
         "f:2:22: warning: '10.1.2.1' is ignored: MORV_DEFGW takes one address, so GateWay is 10.9.9.1, written as "
         "10.1.2.1 [-Wignored-text]\n"},
        {"MORV_DNS(10.1.0.53/32);\nMORV_IFCFG(10.1.2.3);\nMORV_DNS(10.1.2.53, 1);\n",
         "f:1:19: warning: '/32' after the address is ignored: DomainNameServer is 10.1.0.53 until line 3 sets it "
         "again [-Wignored-text]\n"
         "f:3:1: warning: MORV_DNS sets DomainNameServer again: 10.1.0.53 becomes 10.1.2.53 [-Woverride]\n"
         "f:1:1: note: set earlier here by MORV_DNS\n"
         "f:3:21: warning: '1' is ignored: MORV_DNS takes one address, so DomainNameServer is 10.1.2.53 "
         "[-Wignored-text]\n"},
        {"MORV_IFCFG(10.0.0.5);\nMORV_DNS;\nMORV_MPF_SMALL(64);\nMORV_MPF_SMALL(64, 2);\n",
         "f:2:9: warning: MORV_DNS has no operand: DomainNameServer keeps 192.168.0.1, written as 10.0.0.1 "
         "[-Woperand]\n"
         "f:3:18: warning: MORV_MPF_SMALL has no block count: ETH0_SMALL_BLOCK_SIZE is 64 until line 4 sets it "
         "again, and ETH0_SMALL_BLOCKS keeps 0 until line 4 sets it again [-Woperand]\n"
         "f:4:1: warning: MORV_MPF_SMALL sets the SMALL pool again: 64 x 0 becomes 64 x 2 [-Woverride]\n"
         "f:3:1: note: set earlier here by MORV_MPF_SMALL\n"},
        // A // comment a backslash continues takes in the next line, as C reads it; a /* */ one
        // ends where it ends.
        {"// see C:\\docs\\net\\\n  MORV_DNS(10.0.0.53);\n/* C:\\docs\\\n */\nMORV_NTPCFG(10.0.0.2);\n",
         "f:1:1: warning: this // comment ends in a backslash, which continues it onto line 2: C reads 'MORV_DNS' "
         "there as part of the comment [-Wcontinued-comment]\n"
         "f:2:1: note: line 2 starts here\n"},
        {"MORV_LOCAL(127.0.0.2); // x \\\nMORV_NTPCFG(192.168.0.2);\n// y\\\nMORV_LOCAL(127.0.0.1);\nz\n",
         "f:1:24: warning: this // comment ends in a backslash, which continues it onto line 2: C reads MORV_NTPCFG "
         "there as part of the comment, but morvcfg applies the directive anyway [-Wcontinued-comment]\n"
         "f:2:1: note: line 2 starts here\n"
         "f:3:1: warning: this // comment ends in a backslash, which continues it onto line 4: C reads MORV_LOCAL "
         "there as part of the comment, but morvcfg applies the directive anyway, and in the pass-through output, "
         "which leaves that line out, the comment takes in the line after it [-Wcontinued-comment]\n"
         "f:4:1: note: line 4 starts here\n"
         "f:4:1: warning: MORV_LOCAL sets LocalHost again: 127.0.0.2 becomes 127.0.0.1 [-Woverride]\n"
         "f:1:1: note: set earlier here by MORV_LOCAL\n"},
        // A warning whose fixes the conditional holds back says why once, however many it had.
        {"#ifdef A\nMORV_DEV_ADR(uart4, 0x4000 4400);\n#endif\n",
         "f:2:1: warning: MORV_DEV_ADR stands in the conditional block '#ifdef A', but morvcfg reads every line "
         "whatever the condition: the directive is applied anyway [-Wconditional-directive]\n"
         "f:1:1: note: the conditional opens here\n"
         "f:2:28: warning: '4400' is ignored: MORV_DEV_ADR takes a device name and an address, so the define "
         "UART4_START_ADDRESS is 0x00004000 [-Wignored-text]\n"
         "f:1:1: note: the conditional '#ifdef A' opens here: as a directive, the line would apply whatever the "
         "condition, so no fix is offered\n"},
        // A piece is 255 characters: a line of 255 is one, a line of 256 two.
        {std::string(255, 'x') + "\n" + std::string(256, 'y') + "\n",
         "f:2:256: warning: line is 256 characters long: it is read as 2 pieces of at most 255 characters, each "
         "handled as a line of its own [-Wlong-line]\n"},
        {"x\n\x1a" + std::string(200000, 'q'),
         "f:2:1: warning: Ctrl-Z ends the input: the 200000 bytes after it are never read [-Wctrl-z]\n"},
        // UTF-16 without a mark: the one warning, whatever its lines' lengths; four bytes suffice.
        {[] {
             std::string wide;
             for (int i = 0; i < 300; ++i) {
                 wide.append("M\0", 2);
             }
             return wide.append("\n\0", 2);
         }(),
         "f:1:1: warning: the file is UTF-16 (little-endian, without a byte-order mark: a NUL in every other byte): "
         "morvcfg reads it byte by byte, finds no directive in it and copies it as it is; save it as UTF-8 "
         "[-Wencoding]\n"},
        {std::string("a\0b\0", 4),
         "f:1:1: warning: the file is UTF-16 (little-endian, without a byte-order mark: a NUL in every other byte): "
         "morvcfg reads it byte by byte, finds no directive in it and copies it as it is; save it as UTF-8 "
         "[-Wencoding]\n"},
        {"/* MORV_IFCFG is set below */\n", ""},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(diagnose(c.input), c.expected) << c.input;
    }
}

// In-line ignores, shown with --show-ignored: each excuses one line's warnings, of the categories it
// names or of all; one that excuses nothing, or names no category, is a warning itself.
// note [ignore edits]: the comment goes at the end of a directive line whose end C reads as one, or
// on a line of its own before, with the line's own line end; nowhere after a continued line.
TEST(CheckerTest, IgnoreEditsExcuseTheWarningAndChangeNothingElse) {
    const std::string none = "(none)";
    const struct {
        std::string input;
        std::string edited;  // the file with the first warning's ignore edit applied
    } cases[] = {
        {"MORV_DNS(1.2.3.4);\n", "MORV_DNS(1.2.3.4);  /* morvcfg-check: ignore[subnet-move] */\n"},
        {"MORV_DNS(1.2.3.4);\r\n", "MORV_DNS(1.2.3.4);  /* morvcfg-check: ignore[subnet-move] */\r\n"},
        {"MORV_DNS(1.2.3.4);", "MORV_DNS(1.2.3.4);  /* morvcfg-check: ignore[subnet-move] */"},
        {"x\r\n  MORV_DNS(1.2.3.4);\r\n",
         "x\r\n// morvcfg-check: ignore-next-line[not-directive]\r\n  MORV_DNS(1.2.3.4);\r\n"},
        {"x\r\n  MORV_DNS(1.2.3.4);", "x\r\n// morvcfg-check: ignore-next-line[not-directive]\r\n  MORV_DNS(1.2.3.4);"},
        // The end of the line is in a comment or a literal, or cut by a lone CR or a Ctrl-Z.
        {"MORV_DNS(1.2.3.4); /* board\n*/\n",
         "// morvcfg-check: ignore-next-line[subnet-move]\nMORV_DNS(1.2.3.4); /* board\n*/\n"},
        {"MORV_DEV_ADR(eth1, 'xg)\n", "// morvcfg-check: ignore-next-line[device-define]\nMORV_DEV_ADR(eth1, 'xg)\n"},
        {"/*\nMORV_IFCFG", "/*\n// morvcfg-check: ignore-next-line[commented-directive]\nMORV_IFCFG"},
        // A bracket an ignore leaves open ends with its comment: the next comment's ']' closes nothing.
        {"MORV_DNS/*morvcfg-check:ignore[t,*/",
         "MORV_DNS/*morvcfg-check:ignore[t,*/  /* morvcfg-check: ignore[keyword-suffix] */"},
        {"x\nmorv_dns(1.2.3.4);\rMORV_POP3(1)\n",
         "x\n// morvcfg-check: ignore-next-line[not-directive]\nmorv_dns(1.2.3.4);\rMORV_POP3(1)\n"},
        {"MORV_DEV_ADR(eth1, \x1a 0x10)\n",
         "// morvcfg-check: ignore-next-line[device-define]\nMORV_DEV_ADR(eth1, \x1a 0x10)\n"},
        // A line that would grow past a piece takes the comment on the line before.
        {"MORV_DNS(1.2.3.4);" + std::string(220, ' ') + "\n",
         "// morvcfg-check: ignore-next-line[subnet-move]\nMORV_DNS(1.2.3.4);" + std::string(220, ' ') + "\n"},
        // After a line a backslash continues, a line of its own would be taken into that line.
        {"x \\\nmorv_dns(1.2.3.4);\n", none},
    };
    for (const auto& c : cases) {
        StringSource source(c.input);
        const CheckResult result = check(source);
        ASSERT_FALSE(result.findings.empty()) << c.input;
        const std::optional<Replacement> edit = ignore_edit(c.input, result, result.findings.front());
        if (!edit) {
            EXPECT_EQ(none, c.edited) << c.input;
            continue;
        }
        const Fix fix{FixKind::Certain, {*edit}, ""};
        const Fix* const fixes[] = {&fix};
        const std::string edited = apply_fixes(c.input, fixes);
        EXPECT_EQ(edited, c.edited) << c.input;
        StringSource again(edited);
        const CheckResult after = check(again);
        EXPECT_EQ(reported_warnings({"f", {}, after, {}, {}}, {}), reported_warnings({"f", {}, result, {}, {}}, {}) - 1)
            << c.input;
    }
}

TEST(CheckerTest, IgnoreCommentsExcuseOneLine) {
    const std::string indented =
        "directive MORV_DNS is indented, so the line is ordinary text and is copied unchanged; "
        "a directive must start in the first column [-Wnot-directive]\n";
    const std::string partial =
        "'1.2.3' gives only 3 of the 4 components of LocalHost: component 4 keeps 1, so LocalHost is 1.2.3.1 "
        "[-Woperand]\n";
    const std::vector<CheckCase> cases = {
        {"MORV_IFCFG(10.20.30.40, 255.255.255.0);\nMORV_DEFGW(10.20.31.1);  /* morvcfg-check: ignore[subnet-move] */\n",
         "f:2:1: ignored: the gateway 10.20.31.1 is outside this host's subnet 10.20.30.0/255.255.255.0: it is written "
         "as 10.20.30.1 [-Wsubnet-move]\nf:2:29: note: excused by this comment\n"},
        {"// morvcfg-check: ignore-next-line[not-directive]\n  MORV_DNS(1.2.3.4);\n",
         "f:2:3: ignored: " + indented + "f:1:4: note: excused by this comment\n"},
        {"  MORV_DNS(1.2.3.4); // morvcfg-check: ignore[not-directive, subnet-move]\n",
         "f:1:3: ignored: " + indented +
             "f:1:25: note: excused by this comment\nf:1:25: warning: this ignore excuses nothing of -Wsubnet-move: "
             "line 1 has no such warning [-Wunused-ignore]\n"},
        {"MORV_LOCAL(1.2.3) /* morvcfg-check: ignore */\n",
         "f:1:17: ignored: " + partial + "f:1:22: note: excused by this comment\n"},
        {"text /* morvcfg-check: ignore */\n",
         "f:1:9: warning: this ignore excuses nothing: line 1 has no warning [-Wunused-ignore]\n"},
        // Names that excuse nothing, once each, in the order the ignore writes them.
        {"text // morvcfg-check: ignore[range, operand, range]\n",
         "f:1:9: warning: this ignore excuses nothing of -Wrange: line 1 has no such warning [-Wunused-ignore]\n"
         "f:1:9: warning: this ignore excuses nothing of -Woperand: line 1 has no such warning "
         "[-Wunused-ignore]\n"},
        {"MORV_LOCAL(1.2.3) // morvcfg-check: ignore[operant]\n",
         "f:1:17: warning: " + partial +
             "f:1:44: warning: unknown warning category 'operant' in the ignore; did you mean 'operand'? "
             "[-Wunused-ignore]\n"},
        // The line after the marker's: here still the comment, so nothing is excused, and that is said.
        {"/* morvcfg-check: ignore-next-line[not-directive]\n   kept for board B */\n  MORV_DNS(1.2.3.4);\n",
         "f:1:4: warning: this ignore-next-line excuses nothing of -Wnot-directive: line 2 has no such warning "
         "[-Wunused-ignore]\nf:3:3: warning: " +
             indented},
        {"text // morvcfg-check: ignore[encoding]\n",
         "f:1:31: warning: -Wencoding is about the file as a whole and cannot be ignored on one line; a project file "
         "can silence it [-Wunused-ignore]\n"},
        {"  MORV_DNS(1.2.3.4); // morvcfg-check: ignore-next-line[not-directive\n",
         "f:1:3: warning: " + indented +
             "f:1:25: warning: the ignore-next-line has a '[' without its ']', so it excuses nothing: write "
             "ignore-next-line[NAME, ...] [-Wunused-ignore]\n"},
        // Not in a comment: ordinary text, and no ignore.
        {"MORV_LOCAL(1.2.3) morvcfg-check: ignore\n",
         "f:1:17: warning: " + partial +
             "f:1:19: warning: 'morvcfg-check: ignore' is ignored: MORV_LOCAL takes one address [-Wignored-text]\n"},
    };
    for (const CheckCase& c : cases) {
        StringSource source(c.input);
        const FileReport report{"f", {}, check(source), {}, {}};
        ReportOptions options;
        options.show_caret = false;
        options.show_ignored = true;
        std::string out;
        write_gcc(out, report, options);
        EXPECT_EQ(out, c.expected) << c.input;
        // Without --show-ignored the excused ones are left out, and do not count.
        options.show_ignored = false;
        out.clear();
        write_gcc(out, report, options);
        EXPECT_EQ(out.find("excused by"), std::string::npos) << c.input;
        std::size_t warnings_shown = 0;
        for (std::size_t at = out.find(": warning: "); at != std::string::npos; at = out.find(": warning: ", at + 1)) {
            ++warnings_shown;
        }
        EXPECT_EQ(reported_warnings(report, options), warnings_shown) << c.input;
    }
}

// Each value with where it comes from: a line, a default, a derivation, or a line (or default)
// moved into the subnet that the last line setting this host's address or mask gives.
TEST(CheckerTest, SummaryIsWhatTheTranslatorGeneratesAndWhereEachValueComesFrom) {
    const std::string out = diagnose(
        "MORV_IFCFG(10.1.2.3, 255.255.0.0);\nMORV_MPF_SMALL(64,16)\nMORV_DEV_ADR(x,0x1)\n"
        "MORV_DEV_ADR(abcdefghij,0x2)\nMORV_DEFGW(10.1.9.9)\nMORV_DNS(10.2.0.53)\nMORV_IFCFG(10.1.2.4)\n"
        "MORV_DEV_ADR(x,0x3)\n",
        true);
    EXPECT_EQ(out.substr(out.find("f: the configuration")),
              "f: the configuration morvcfg generates\n"
              "  ThisIs                  10.1.2.4         line 7\n"
              "  SubNetMask              255.255.0.0      line 1\n"
              "  NetWorkAddress          10.1.0.0         derived from line 7\n"
              "  LocalHost               127.0.0.1        default\n"
              "  GateWay                 10.1.9.9         line 5\n"
              "  DomainNameServer        10.1.0.53        line 6, moved into the subnet set at line 7\n"
              "  BroadCast               255.255.255.255  default\n"
              "  SubNetBroadCast         10.1.255.255     derived from line 7\n"
              "  NTPServer               129.6.15.28      default\n"
              "  SMTPServer              0.0.0.0          default\n"
              "  POP3Server              0.0.0.0          default\n"
              "  ETH0_RCV_VERY_SMALL_SZ  0 (0 x 0)        derived\n"
              "  ETH0_RCV_SMALL_SZ       1024 (64 x 16)   derived from line 2\n"
              "  ETH0_RCV_MIDDLE_SZ      0 (0 x 0)        derived\n"
              "  ETH0_RCV_LARGE_SZ       0 (0 x 0)        derived\n"
              "  X_START_ADDRESS         0x00000001       line 3\n"
              "  ABCDEFGHIJ_START_ADDRESS 0x00000002       line 4\n"  // a name of the column's width
              "  X_START_ADDRESS         0x00000003       line 8\n");
    // Without a line that sets the subnet, the defaults are moved into the default one.
    const std::string moved = diagnose("MORV_DEFGW(10.0.0.1)\n", true);
    EXPECT_NE(moved.find("  GateWay                 192.168.0.1      line 1, moved into the default subnet\n"),
              std::string::npos)
        << moved;
}

// The keyword help follows the directive table row by row: each summary names what its row sets,
// and each snippet, completed as it stands, is the directive with the record's defaults, so that it
// changes nothing until edited.
TEST(CheckerTest, KeywordHelpFollowsTheDirectiveTable) {
    const NetConfig defaults;
    for (const Directive& row : kDirectives) {
        const DirectiveHelp& help = help_for(row);
        std::string plain = snippet_for(row);
        for (std::size_t at = 0; (at = plain.find("${", at)) != std::string::npos;) {
            const std::size_t colon = plain.find(':', at);
            plain.erase(plain.find('}', at), 1).erase(at, colon + 1 - at);
        }
        EXPECT_TRUE(plain.starts_with(std::string(row.keyword) + "(")) << plain;
        StringSource source(plain + "\n");
        const CheckResult result = check(source);
        switch (row.kind) {
            case DirectiveKind::Interface:
            case DirectiveKind::Address:
                EXPECT_TRUE(result.findings.empty()) << plain;
                EXPECT_EQ(result.directives.at(0).settings.front().value,
                          dotted(row.kind == DirectiveKind::Address ? defaults.*row.address : defaults.ThisIs))
                    << plain;
                EXPECT_EQ(help.block_size, 0) << row.keyword;
                break;
            case DirectiveKind::Pool:
                EXPECT_NE(help.summary.find("ETH0_" + std::string(kPoolClassNames[static_cast<std::size_t>(row.pool)])),
                          std::string::npos)
                    << row.keyword;
                EXPECT_EQ(result.config.pool(row.pool).block_size, help.block_size) << plain;
                EXPECT_EQ(result.config.pool(row.pool).blocks, help.blocks) << plain;
                break;
            case DirectiveKind::Device:
                EXPECT_EQ(result.defines.size(), 1U) << plain;
                break;
        }
        if (row.kind == DirectiveKind::Address) {
            EXPECT_NE(help.summary.find(std::string(kAddressFields[field_index(row.address)].name)), std::string::npos)
                << row.keyword;
        }
    }
}

// UTF-8 at the edges of what is well formed: in JSON a byte that is not part of a character is
// written as \xNN, and in SARIF it counts as one column, however the reads cut the line.
TEST(CheckerTest, Utf8EdgesInJsonAndColumns) {
    const struct {
        const char* name;
        std::string bytes;
        std::string json;     // how JSON writes them
        std::uint64_t chars;  // the columns they take
    } cases[] = {
        {"two bytes", "\xC2\x80", "\xC2\x80", 1},
        {"overlong two", "\xC0\x80", "\\\\xc0\\\\x80", 2},
        {"lowest three", "\xE0\xA0\x80", "\xE0\xA0\x80", 1},
        {"overlong three", "\xE0\x9F\xBF", "\\\\xe0\\\\x9f\\\\xbf", 3},
        {"below the surrogates", "\xED\x9F\xBF", "\xED\x9F\xBF", 1},
        {"surrogate", "\xED\xA0\x80", "\\\\xed\\\\xa0\\\\x80", 3},
        {"top of Unicode", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", 1},
        {"past the top", "\xF4\x90\x80\x80", "\\\\xf4\\\\x90\\\\x80\\\\x80", 4},
        {"stray continuation", "\x80", "\\\\x80", 1},
        {"cut short", "\xF0\x9F\x98", "\\\\xf0\\\\x9f\\\\x98", 3},
        {"wide", "日本", "日本", 2},
        {"control byte",
         "lan\x01"
         "ctrl",
         "lan\\u0001ctrl", 8},
    };
    for (const auto& c : cases) {
        // The device name holds the bytes; the warning points at the address after them.
        const std::string input = "MORV_DEV_ADR(" + c.bytes + ", 300);\n";
        StringSource source(input);
        FileReport report{"f", {}, check(source), {}, {}};
        ASSERT_EQ(report.result.findings.size(), 1U) << c.name;
        for (const std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4096}}) {
            StringSource again(input, step);
            EXPECT_EQ(code_point_columns(again, report.result).at(report.result.findings[0].offset), 16 + c.chars)
                << c.name << ", reads of " << step;
        }
        report.result.defines.emplace_back(c.bytes, "0x0");
        std::string json;
        write_json(json, std::span<const FileReport>(&report, 1), {});
        EXPECT_NE(json.find("\"name\": \"" + c.json + "\""), std::string::npos) << c.name << json;
    }
}

// A place at the very end of a file without a final line end, and in its last byte, read one byte
// at a time: the column loop ends, and counts characters.
// GitHub's runner reads '%' and line ends as escapes in a command's message, and ':' and ',' too
// in its properties: each is written as it asks.
TEST(CheckerTest, GithubCommandsEscapeWhatTheRunnerReads) {
    StringSource source("MORV_LOCAL(127.0.0.2) x%\n");
    FileReport report{"a:b,c.cfg", {}, check(source), {}, {}};
    ReportOptions options;
    options.error_categories[Category::IgnoredText] = true;
    std::string out;
    write_github(out, std::span<const FileReport>(&report, 1), options);
    EXPECT_EQ(out,
              "::error file=a%3Ab%2Cc.cfg,line=1,col=23,endLine=1,endColumn=25,title=morvcfg-check "
              "[-Wignored-text]::'x%25' is ignored: MORV_LOCAL takes one address\n");
}

// The SARIF log of one file's bytes, its columns counted from the file read a byte at a time.
std::string sarif_of(const std::string& bytes) {
    StringSource source(bytes);
    FileReport report{"f", {}, check(source), {}, {}};
    StringSource again(bytes, 1);
    report.code_point_columns = code_point_columns(again, report.result);
    std::string sarif;
    write_sarif(sarif, std::span<const FileReport>(&report, 1), {});
    return sarif;
}

TEST(CheckerTest, ColumnsAtTheEndOfTheFile) {
    // The fix of "; é" at the very end ends before the column after é, in characters.
    const std::string sarif = sarif_of("MORV_DNS(10.20.30.2); é");
    EXPECT_NE(sarif.find("\"endColumn\": 24"), std::string::npos) << sarif;
    EXPECT_EQ(sarif.find("\"endColumn\": 25"), std::string::npos) << sarif;
    // A file ending in a byte that is no UTF-8, after one on an earlier line: one character each.
    const std::string cut = sarif_of("\xA9x\nMORV_DNS(1.2.3.4 \xC3");
    const std::size_t deleted = cut.find("\"deletedRegion\"");
    ASSERT_NE(deleted, std::string::npos) << cut;
    EXPECT_LT(cut.find("\"startColumn\": 17,", deleted), cut.find("\"endColumn\": 19\n", deleted)) << cut;
    EXPECT_LT(cut.find("\"endColumn\": 19\n", deleted), cut.find("insertedContent", deleted)) << cut;
    for (const std::string input : {"é\nMORV_LOCAL", "MORV_MPF_LARGE(1536", "日\nMORV_MPF_SMALL(1"}) {
        StringSource source(input);
        const CheckResult result = check(source);
        ASSERT_FALSE(result.findings.empty()) << input;
        StringSource whole(input);
        const auto expected = code_point_columns(whole, result);
        StringSource trickle(input, 1);
        EXPECT_EQ(code_point_columns(trickle, result), expected) << input;
    }
}

// A byte-order mark is no part of the first line: columns there count from after it, in bytes for
// the GCC form and JSON, in characters for SARIF.
TEST(CheckerTest, AByteOrderMarkTakesNoColumn) {
    const std::string input = "\xEF\xBB\xBFMORV_LOCAL(127.0.1);\r\nMORV_LOCAL(127.0.0.1.5);\r\n";
    StringSource source(input);
    FileReport report{"f", {}, check(source), {}, {}};
    ASSERT_EQ(report.result.findings.size(), 3U);
    EXPECT_EQ(line_and_column(report.result, report.result.findings[0].offset),
              (std::pair<std::uint64_t, std::uint64_t>{1, 19}));
    StringSource again(input);
    report.code_point_columns = code_point_columns(again, report.result);
    EXPECT_EQ(report.code_point_columns.at(report.result.findings[0].offset), 19U);
    EXPECT_EQ(report.code_point_columns.at(report.result.findings[2].offset), 21U);
    std::string json;
    write_json(json, std::span<const FileReport>(&report, 1), {});
    EXPECT_NE(json.find("\"line\": 1,\n          \"column\": 19"), std::string::npos) << json;
    std::string sarif;
    write_sarif(sarif, std::span<const FileReport>(&report, 1), {});
    EXPECT_NE(sarif.find("\"startLine\": 1,\n                  \"startColumn\": 19"), std::string::npos) << sarif;
}

TEST(CheckerTest, SarifNamesEveryKindOfPath) {
    const struct {
        std::string name;
        std::string uri;
    } cases[] = {
        {"boards/a/board.cfg", "boards/a/board.cfg"},
        {"my board.cfg", "my%20board.cfg"},
        {"ボード.cfg", "%E3%83%9C%E3%83%BC%E3%83%89.cfg"},
        {"/home/me/board.cfg", "file:///home/me/board.cfg"},
        {"C:\\boards\\board.cfg", "file:///C:/boards/board.cfg"},
        {"c:\\boards\\board.cfg", "file:///c:/boards/board.cfg"},
        {"c:board.cfg", "file:///c:board.cfg"},
        {"//server/share/board.cfg", "file://server/share/board.cfg"},
    };
    for (const auto& c : cases) {
        FileReport report{c.name, {}, {}, {}, {}};
        report.result.findings.push_back(Finding{0, 0, Category::Nul, "a NUL byte", {}, {}});
        std::string sarif;
        write_sarif(sarif, std::span<const FileReport>(&report, 1), {});
        EXPECT_NE(sarif.find("\"uri\": \"" + c.uri + "\""), std::string::npos) << c.name;
    }
    // A file that could not be read is the run's failure, named where it happened.
    const FileReport unread{"gone.cfg", "cannot open the file: No such file or directory", {}, {}, {}};
    std::string sarif;
    write_sarif(sarif, std::span<const FileReport>(&unread, 1), {});
    EXPECT_NE(sarif.find("\"executionSuccessful\": false"), std::string::npos);
    EXPECT_NE(sarif.find("\"text\": \"cannot open the file: No such file or directory\""), std::string::npos);
    EXPECT_NE(sarif.find("\"uri\": \"gone.cfg\""), std::string::npos);
    EXPECT_NE(sarif.find("\"results\": []"), std::string::npos);
}

}  // namespace
}  // namespace morvcfg
