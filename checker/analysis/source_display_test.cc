// A line as a terminal shows it under a warning, and the quotes and escapes messages use.
#include "checker/analysis/source_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checker/analysis/messages.h"

namespace morvcfg {
namespace {

TEST(SourceDisplayTest, EachCharacterHasItsColumns) {
    const struct {
        std::string bytes;
        std::string shown;
        std::vector<std::size_t> starts;  // the column each byte's character starts at
    } cases[] = {
        {"ab", "ab", {0, 1, 2}},
        {"\tb", "        b", {0, 8, 9}},
        {"a\tb", "a       b", {0, 1, 8, 9}},
        {"a\r", "a", {0, 1}},                                 // a CR LF line's CR
        {"a\rb", "a<U+000D>b", {0, 1, 9, 10}},                // a lone CR
        {"\x01", "<U+0001>", {0, 8}},                         // a control character
        {"\x80z", "<80>z", {0, 4, 5}},                        // no UTF-8
        {"\xE6\x97\xA5z", "\xE6\x97\xA5z", {0, 0, 0, 2, 3}},  // a wide character
        {"e\xCC\x81z", "e\xCC\x81z", {0, 1, 1, 1, 2}},        // a combining mark takes none
        {"\xC2\xA0z", "<U+00A0>z", {0, 0, 8, 9}},             // a no-break space
        {"\xE2\x80\x8Bz", "<U+200B>z", {0, 0, 0, 8, 9}},      // a zero-width space
        {"\xEF\xBB\xBFz", "<U+FEFF>z", {0, 0, 0, 8, 9}},      // a byte-order mark
        {"\xE3\x80\x80z", "<U+3000>z", {0, 0, 0, 8, 9}},      // an ideographic space
    };
    for (const auto& c : cases) {
        const ShownLine line(c.bytes);
        EXPECT_EQ(line.text(), c.shown) << c.bytes;
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < c.starts.size(); ++i) {
            starts.push_back(line.start_column(i));
        }
        EXPECT_EQ(starts, c.starts) << c.bytes;
    }
    // Past the end of the line: the column after it, one wide.
    const ShownLine tab("\t");
    EXPECT_EQ(tab.start_column(5), 8U);
    EXPECT_EQ(tab.end_column(5), 9U);
    EXPECT_EQ(ShownLine("\xE6\x97\xA5").end_column(0), 2U);
}

TEST(SourceDisplayTest, MessagesQuoteAndNameWhatTheyShow) {
    EXPECT_EQ(quoted("10.0.0.1"), "'10.0.0.1'");
    EXPECT_EQ(quoted("a\tb"), "'a       b'");
    EXPECT_EQ(quoted("\xC2\xA0"
                     "255.255.0.0"),
              "'<U+00A0>255.255.0.0' (with a no-break space)");
    EXPECT_EQ(quoted("\xE2\x80\x8B"), "'<U+200B>' (a zero-width space)");
    EXPECT_EQ(quoted("\xE2\x80\x8B\xE2\x80\x8B"), "'<U+200B><U+200B>' (a zero-width space)");
    EXPECT_EQ(quoted("a\xC2\xA0\xE2\x80\x8B\xC2\xA0"
                     "b"),
              "'a<U+00A0><U+200B><U+00A0>b' (with a no-break space and a zero-width space)");
    EXPECT_EQ(quoted("\xEF\xBB\xBFMORV"), "'<U+FEFF>MORV' (with a byte-order mark in the middle of the file)");
    EXPECT_EQ(quoted("\x80"), "'<80>'");
}

TEST(SourceDisplayTest, FixItsEscapeAsGccDoes) {
    EXPECT_EQ(gcc_escaped("plain"), "\"plain\"");
    EXPECT_EQ(gcc_escaped("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(gcc_escaped("\t\n"), "\"\\t\\n\"");
    EXPECT_EQ(gcc_escaped("\r\n"), "\"\\015\\n\"");
    EXPECT_EQ(gcc_escaped("\xC3\xA9"), "\"\\303\\251\"");
    EXPECT_EQ(gcc_escaped(std::string("\0", 1)), "\"\\000\"");
}

}  // namespace
}  // namespace morvcfg
