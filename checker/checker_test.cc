#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checker/check.h"
#include "checker/report.h"

namespace morvcfg {
namespace {

std::string diagnose(const std::string& description, bool summary = false) {
    StringSource source(description);
    const FileReport report{"f", {}, check(source), {}};
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
         "f:1:15: warning: MORV_MPF_SMALL has no operands: the SMALL pool keeps block size 0 and count 0 "
         "[-Woperand]\n"},
        {"MORV_MPF_SMALL(big, 4)\n",
         "f:1:16: warning: 'big' is not a block size (a signed decimal number): the SMALL "
         "pool keeps block size 0 and count 0 [-Woperand]\n"},
        {"MORV_MPF_SMALL(8, four)\n",
         "f:1:19: warning: 'four' is not a block count (a signed decimal number): the "
         "SMALL pool keeps count 0 [-Woperand]\n"},
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
        {"/* MORV_IFCFG is set below */\n", ""},
    };
    for (const CheckCase& c : cases) {
        EXPECT_EQ(diagnose(c.input), c.expected) << c.input;
    }
}

TEST(CheckerTest, SummaryIsWhatTheTranslatorGenerates) {
    const std::string out =
        diagnose("MORV_IFCFG(10.1.2.3, 255.255.0.0);\nMORV_MPF_SMALL(64,16)\nMORV_DEV_ADR(x,0x1)\n", true);
    EXPECT_EQ(out.substr(out.find("f: the configuration")),
              "f: the configuration morvcfg generates\n"
              "  ThisIs                  10.1.2.3\n"
              "  SubNetMask              255.255.0.0\n"
              "  NetWorkAddress          10.1.0.0\n"
              "  LocalHost               127.0.0.1\n"
              "  GateWay                 10.1.0.1\n"
              "  DomainNameServer        10.1.0.1\n"
              "  BroadCast               255.255.255.255\n"
              "  SubNetBroadCast         10.1.255.255\n"
              "  NTPServer               129.6.15.28\n"
              "  SMTPServer              0.0.0.0\n"
              "  POP3Server              0.0.0.0\n"
              "  ETH0_RCV_VERY_SMALL_SZ  0 (0 x 0)\n"
              "  ETH0_RCV_SMALL_SZ       1024 (64 x 16)\n"
              "  ETH0_RCV_MIDDLE_SZ      0 (0 x 0)\n"
              "  ETH0_RCV_LARGE_SZ       0 (0 x 0)\n"
              "  X_START_ADDRESS         0x00000001\n");
}

}  // namespace
}  // namespace morvcfg
