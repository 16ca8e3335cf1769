// What --diff prints: unified diffs of fixed text, which patch -p0 applies.
#include "checker/fixes/diff.h"

#include <gtest/gtest.h>

#include <string>

namespace morvcfg {
namespace {

// Lines "1" to "n", each with its line feed.
std::string numbered(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) {
        text += std::to_string(i) + "\n";
    }
    return text;
}

// `text` with line `line` (from 1) replaced by `with`.
std::string replaced(std::string text, int line, const std::string& with) {
    std::size_t begin = 0;
    for (int i = 1; i < line; ++i) {
        begin = text.find('\n', begin) + 1;
    }
    return text.replace(begin, text.find('\n', begin) - begin, with);
}

TEST(DiffTest, HunksAsPatchReadsThem) {
    const std::string twenty = numbered(20);
    const struct {
        const char* name;
        std::string before;
        std::string after;
        std::string diff;
    } cases[] = {
        {"nothing changed", twenty, twenty, ""},
        {"nothing to diff", "", "", ""},
        {"one line, three of context each side", twenty, replaced(twenty, 10, "ten"),
         "--- f\n+++ f\n@@ -7,7 +7,7 @@\n 7\n 8\n 9\n-10\n+ten\n 11\n 12\n 13\n"},
        {"at the start", twenty, replaced(twenty, 1, "one"), "--- f\n+++ f\n@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n"},
        {"at the end", twenty, replaced(twenty, 20, "twenty"),
         "--- f\n+++ f\n@@ -17,4 +17,4 @@\n 17\n 18\n 19\n-20\n+twenty\n"},
        // Changes six lines apart share a hunk; seven apart do not.
        {"six apart", twenty, replaced(replaced(twenty, 5, "five"), 11, "eleven"),
         "--- f\n+++ f\n@@ -2,13 +2,13 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n 9\n 10\n-11\n+eleven\n 12\n 13\n 14\n"},
        {"seven apart", twenty, replaced(replaced(twenty, 5, "five"), 12, "twelve"),
         "--- f\n+++ f\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n@@ -9,7 +9,7 @@\n 9\n 10\n "
         "11\n-12\n+twelve\n"
         " 13\n 14\n 15\n"},
        // A line broken in two: its old line, then both new ones; the lines after it keep their
        // numbers in the old text and move by one in the new.
        {"a line broken in two", twenty, replaced(twenty, 10, "10a\n10b"),
         "--- f\n+++ f\n@@ -7,7 +7,8 @@\n 7\n 8\n 9\n-10\n+10a\n+10b\n 11\n 12\n 13\n"},
        {"two lines broken", twenty, replaced(replaced(twenty, 12, "12a\n12b"), 10, "10a\n10b"),
         "--- f\n+++ f\n@@ -7,9 +7,11 @@\n 7\n 8\n 9\n-10\n+10a\n+10b\n 11\n-12\n+12a\n+12b\n 13\n 14\n 15\n"},
        // A last line without a line feed, as patch wants it marked.
        {"no line feed at the end", "a\nb", "a\nB",
         "--- f\n+++ f\n@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+B\n\\ No newline at end of file\n"},
        {"CR LF lines", "a\r\nb\r\n", "A\r\nb\r\n", "--- f\n+++ f\n@@ -1,2 +1,2 @@\n-a\r\n+A\r\n b\r\n"},
        // Lines only ever grow in number: fewer lines are no fix's doing.
        {"lines joined", "a\nb\n", "ab\n", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(unified_diff("f", c.before, c.after), c.diff) << c.name;
    }
}

}  // namespace
}  // namespace morvcfg
