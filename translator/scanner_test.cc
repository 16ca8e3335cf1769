#include "translator/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvcfg {
namespace {

// What a scan gave, in one comparable string: the result, then each stored field's text and,
// for patterns of numbers only, its bits.
std::string describe(std::string_view pattern, std::string_view text) {
    const ScanResult result = scan(text, pattern);
    std::string out = std::to_string(result.count);
    const bool numbers = pattern.find("%s") == std::string_view::npos;
    for (std::size_t i = 0; i < result.stored(); ++i) {
        out.append(" [").append(result.fields[i].text).append("]");
        if (numbers) {
            out.append("=").append(std::to_string(result.fields[i].bits));
        }
    }
    return out;
}

struct ScanCase {
    const char* pattern;
    std::string text;
    std::string expected;
};

TEST(ScannerTest, FollowsTheScanningRules) {
    const std::vector<ScanCase> cases = {
        // Tokens: white space skipped before each, the longest run taken, any length.
        {"%s %s", "KEY  10.0.0.1 \n", "2 [KEY] [10.0.0.1]"},
        {"%s %s", "KEY\t\v\f\r10.0.0.1", "2 [KEY] [10.0.0.1]"},
        {"%s %s", "KEY \n", "1 [KEY]"},
        {"%s %s %s", "MORV_IFCFG   ", "1 [MORV_IFCFG]"},
        {"%s", "", "-1"},
        {"%s", " \n ", "-1"},
        {"%s",
         "\x80\xff"
         "abc def",
         "1 [\x80\xff"
         "abc]"},
        {"%s %s", "K " + std::string(40, 'n'), "2 [K] [" + std::string(40, 'n') + "]"},
        // Dotted quads: components stored as they come.
        {"%u.%u.%u.%u", "10.1.2.3", "4 [10]=10 [1]=1 [2]=2 [3]=3"},
        {"%u.%u.%u.%u", "10.0.0", "3 [10]=10 [0]=0 [0]=0"},
        {"%u.%u.%u.%u", "10.0..1", "2 [10]=10 [0]=0"},
        {"%u.%u.%u.%u", "10.0.x", "2 [10]=10 [0]=0"},
        {"%u.%u.%u.%u", "0x10.0.0.1", "1 [0]=0"},
        {"%u.%u.%u.%u", "10.0.0.1.7", "4 [10]=10 [0]=0 [0]=0 [1]=1"},
        {"%u.%u.%u.%u", "x.1.2.3", "0"},
        {"%u.%u.%u.%u", "", "-1"},
        {"%u.%u.%u.%u", "-", "-1"},
        {"%u.%u.%u.%u", "+", "-1"},
        {"%u.%u.%u.%u", "-x", "0"},
        {"%u.%u.%u.%u", "10. 1.2.3", "4 [10]=10 [1]=1 [2]=2 [3]=3"},  // a field skips white space itself
        {"%u.%u.%u.%u", "10 .1.2.3", "1 [10]=10"},                    // a literal does not
        // Decimal: always base ten, one sign, modulo 2^32, 64-bit overflow.
        {"%u", "010", "1 [010]=10"},
        {"%u", "+7", "1 [+7]=7"},
        {"%u", "-1", "1 [-1]=4294967295"},
        {"%u", "4294967296", "1 [4294967296]=0"},
        {"%u", "4294967297", "1 [4294967297]=1"},
        {"%u", "18446744073709551615", "1 [18446744073709551615]=4294967295"},
        {"%u", "18446744073709551616", "1 [18446744073709551616]=4294967295"},
        {"%u", "-18446744073709551616", "1 [-18446744073709551616]=0"},
        {"%u", "99999999999999999999999", "1 [99999999999999999999]=4294967295"},
        {"%u", "0000000000000000000000000000042", "1 [0000000000000000000000000000042]=42"},
        {"%u", "+-1", "0"},
        {"%u", "12ab", "1 [12]=12"},
        {"%d %d", "-4 16", "2 [-4]=4294967292 [16]=16"},
        {"%d", "4294967295", "1 [4294967295]=4294967295"},
        {"%d %d", "256", "1 [256]=256"},
        {"%d %d", "x 8", "0"},
        {"%u.%u", "99999999999999999999999.5", "1 [99999999999999999999]=4294967295"},
        // Hexadecimal: its own optional 0x or 0X, after an optional sign.
        {"%lx", "300", "1 [300]=768"},
        {"%lx", "0x300", "1 [0x300]=768"},
        {"%lx", "0X300", "1 [0X300]=768"},
        {"%lx", "-0x1", "1 [-0x1]=4294967295"},
        {"%lx", "123456789", "1 [123456789]=591751049"},
        {"%lx", "aBcDeF", "1 [aBcDeF]=11259375"},
        {"%lx", "g", "0"},
        {"%lx", "0xg", "1 [0x]=0"},
        {"%lx", "fffffffffffffffff", "1 [fffffffffffffffff]=4294967295"},
        {"%lx", "ffffffffffffffff", "1 [ffffffffffffffff]=4294967295"},
        {"%lx", "10000000000000000f", "1 [10000000000000000]=4294967295"},
        // Literals and blanks in the pattern.
        {"%s %s 0x%lx", "D eth1 0x300", "3 [D] [eth1] [300]"},
        {"%s %s 0x%lx", "D eth1 0x 300", "3 [D] [eth1] [300]"},
        {"%s %s 0x%lx", "D eth1 0x0x300", "3 [D] [eth1] [0x300]"},
        {"%s %s 0x%lx", "D eth1 0X300", "2 [D] [eth1]"},
        {"%s %s 0x%lx", "D eth1 300", "2 [D] [eth1]"},
        {"%s %s 0x%lx", "D eth1 0xg", "2 [D] [eth1]"},
        {"%s %s 0x%lx", "D eth1", "2 [D] [eth1]"},
        {"%s %s 0x%lx", "D eth1 0x", "2 [D] [eth1]"},
        {"%s %s 0x%lx", "D eth1 0x-5", "3 [D] [eth1] [-5]"},
        {"%u.%u", "1.", "1 [1]=1"},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(describe(c.pattern, c.text), c.expected) << "pattern \"" << c.pattern << "\" on \"" << c.text << "\"";
    }
}

TEST(ScannerTest, ReportsWhereItStopped) {
    const ScanResult result = scan("10.0.x", "%u.%u.%u.%u");
    EXPECT_EQ(result.stop, 5U);
    EXPECT_EQ(result.pattern_stop, 6U);  // the third "%u"
    const ScanResult whole = scan("1.2.3.4 rest", "%u.%u.%u.%u");
    EXPECT_EQ(whole.stop, 7U);
    EXPECT_EQ(whole.pattern_stop, 11U);
    EXPECT_TRUE(scan("99999999999999999999", "%u").fields[0].overflowed);
    const ScanField wide = scan("-4294967296", "%d").fields[0];  // the value as written, before 32 bits
    EXPECT_TRUE(wide.negative);
    EXPECT_EQ(wide.magnitude, 4294967296U);
    EXPECT_EQ(wide.bits, 0U);
}

}  // namespace
}  // namespace morvcfg
