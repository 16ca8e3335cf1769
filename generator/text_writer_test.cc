#include "generator/text_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

namespace morvcfg {
namespace {

class FailingSink final : public ByteSink {
public:
    int writes = 0;
    bool write(std::string_view /*bytes*/) override {
        ++writes;
        return false;
    }
    bool close() override { return true; }
};

TEST(TextWriterTest, WritesLineEndsAsCrLfAndNothingElseTranslated) {
    StringSink sink;
    TextWriter out(sink);
    out.write(std::string("a\nb\r\0c\x1a", 7));
    out.write("\n\n");
    ASSERT_TRUE(out.close());
    EXPECT_EQ(sink.contents(), std::string("a\r\nb\r\0c\x1a\r\n\r\n", 12));
    EXPECT_TRUE(sink.closed());
}

TEST(TextWriterTest, FormatsNumbers) {
    StringSink sink;
    TextWriter out(sink);
    out.write_unsigned(4294967295U);
    out.write(" ");
    out.write_signed(-2147483647 - 1);
    out.write(" ");
    out.write_padded(3, 2);
    out.write_padded(2004, 4);
    out.write_padded(12345, 4);
    out.write_padded(-5, 4);
    out.write(" ");
    out.write_hex8(0x300);
    out.write_hex8(0xA0000000U);
    ASSERT_TRUE(out.close());
    EXPECT_EQ(sink.contents(), "4294967295 -2147483648 03200412345-005 00000300a0000000");
}

TEST(TextWriterTest, KeepsLargeOutputWhole) {
    // A larger buffer is taken once the default one has filled.
    for (const std::size_t capacity :
         {TextWriter::kDefaultCapacity, 4 * TextWriter::kDefaultCapacity, std::size_t{1}}) {
        StringSink sink;
        TextWriter out(sink, capacity);
        std::string expected;
        for (int i = 0; i < 20000; ++i) {
            out.write("0123456789\n");
            expected += "0123456789\r\n";
        }
        ASSERT_TRUE(out.close());
        EXPECT_EQ(sink.contents(), expected) << capacity;
    }
}

TEST(TextWriterTest, ReportsAFailedWriteAndStopsWriting) {
    FailingSink sink;
    TextWriter out(sink);
    out.write("x");
    EXPECT_TRUE(out.ok());  // still buffered
    EXPECT_FALSE(out.flush());
    out.write("more");
    EXPECT_FALSE(out.close());
    EXPECT_EQ(sink.writes, 1);
}

// A system that takes a gather write in part: each call here takes at most `most` bytes, stopping
// where that falls, even one byte into a part; the rest follows exactly once.
TEST(WriteAllPartsTest, ContinuesWhereTheSystemStopped) {
    const std::string_view parts[] = {"abc", "", "def", "ghi"};
    for (const std::size_t most : {1U, 2U, 4U, 5U, 7U, 100U}) {
        std::string written;
        const bool done = write_all_parts(parts, [&](std::span<const std::string_view> left) {
            std::size_t taken = 0;
            for (const std::string_view part : left) {
                const std::size_t take = std::min(part.size(), most - taken);
                written.append(part.substr(0, take));
                taken += take;
                if (take < part.size()) {
                    break;
                }
            }
            return static_cast<std::ptrdiff_t>(taken);
        });
        EXPECT_TRUE(done) << most;
        EXPECT_EQ(written, "abcdefghi") << most;
    }
    // A system that takes nothing, or fails, ends the write.
    EXPECT_FALSE(write_all_parts(parts, [](std::span<const std::string_view>) { return std::ptrdiff_t{0}; }));
    EXPECT_FALSE(write_all_parts(parts, [](std::span<const std::string_view>) { return std::ptrdiff_t{-1}; }));
}

}  // namespace
}  // namespace morvcfg
