// Where the text the translator reads stands in the file: its offsets past the CRs the text mode
// drops and past a byte-order mark, however the reads fall.
#include "checker/analysis/file_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvcfg {
namespace {

TEST(FileLayoutTest, TextOffsetsLeadIntoTheFile) {
    const struct {
        const char* name;
        std::string file;
        bool mark;
        std::vector<std::uint64_t> offsets;  // in the file, of each byte of the text
        bool crlf;
    } cases[] = {
        {"LF lines", "ab\ncd\n", false, {0, 1, 2, 3, 4, 5}, false},
        {"CR LF lines", "a\r\nb\r\n", false, {0, 2, 3, 5}, true},
        {"a lone CR", "a\rb\n", false, {0, 2, 3}, false},
        {"CRs in a run", "a\r\r\r\nb", false, {0, 4, 5}, true},
        {"a byte-order mark",
         "\xEF\xBB\xBF"
         "a\r\nb",
         true,
         {3, 5, 6},
         true},
        {"no line end yet", "abc", false, {0, 1, 2}, true},
    };
    for (const auto& c : cases) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
            FindingList findings;
            FileLayout layout(findings);
            if (c.mark) {
                layout.skip_byte_order_mark();
            }
            for (std::size_t at = 0; at < c.file.size(); at += step) {
                layout.on_read(std::string_view(c.file).substr(at, step));
            }
            std::vector<std::uint64_t> offsets;
            for (std::uint64_t i = 0; i < c.offsets.size(); ++i) {
                offsets.push_back(layout.file_offset(i));
            }
            EXPECT_EQ(offsets, c.offsets) << c.name << ", reads of " << step;
            EXPECT_EQ(layout.crlf_line_ends(), c.crlf) << c.name;
        }
    }
}

TEST(FileLayoutTest, RangesStopBeforeADroppedCarriageReturn) {
    FindingList findings;
    FileLayout layout(findings);
    layout.on_read("ab\r\ncd\re\n");  // the text: "ab\ncde\n"
    // "ab" is bytes 0 to 2, its CR not among them; "cde" spans the lone CR.
    EXPECT_EQ(layout.file_range(0, 2), (std::pair<std::uint64_t, std::uint64_t>{0, 2}));
    EXPECT_EQ(layout.file_range(3, 6), (std::pair<std::uint64_t, std::uint64_t>{4, 8}));
    // A place is just after the character before it: a line's end is before its CR LF, where a
    // fix that ends the line inserts, as at the LF of a file without CRs.
    EXPECT_EQ(layout.file_range(5, 5), (std::pair<std::uint64_t, std::uint64_t>{6, 6}));
    EXPECT_EQ(layout.file_range(2, 2), (std::pair<std::uint64_t, std::uint64_t>{2, 2}));
    EXPECT_EQ(layout.file_range(3, 3), (std::pair<std::uint64_t, std::uint64_t>{4, 4}));
    EXPECT_FALSE(layout.carriage_return_within(0, 2));
    EXPECT_TRUE(layout.carriage_return_within(0, 3));
    EXPECT_TRUE(layout.carriage_return_within(4, 8));
    EXPECT_FALSE(layout.carriage_return_within(7, 9));
}

}  // namespace
}  // namespace morvcfg
