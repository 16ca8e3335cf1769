#include "translator/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvcfg {
namespace {

class BrokenSource final : public ByteSource {
public:
    std::ptrdiff_t read(char* /*buffer*/, std::size_t /*size*/) override { return -1; }
    bool close() override { return true; }
};

std::vector<std::string> pieces_of(ByteSource& source) {
    PieceReader reader(source);
    std::vector<std::string> pieces;
    std::span<char> piece;
    while (reader.next(piece)) {
        pieces.emplace_back(piece.data(), piece.size());
    }
    EXPECT_FALSE(reader.failed());
    return pieces;
}

struct PieceCase {
    const char* name;
    std::string input;
    std::vector<std::string> pieces;
};

TEST(PieceReaderTest, CutsTextModeInputIntoPieces) {
    const std::string x254(254, 'x');
    const std::string x255(255, 'x');
    const std::vector<PieceCase> cases = {
        {"empty", "", {}},
        {"lines", "a\nbb\n", {"a\n", "bb\n"}},
        {"crlf", "a\r\nbb\r\n", {"a\n", "bb\n"}},
        {"lone cr joins lines", "a\rb\r\n", {"ab\n"}},
        {"cr only", "\r\r\r", {}},
        {"last line without end", "a\nlast", {"a\n", "last"}},
        {"ctrl-z ends input",
         "a\nb\x1a"
         "c\nd\n",
         {"a\n", "b"}},
        {"ctrl-z first",
         "\x1a"
         "a\n",
         {}},
        {"nul is a character", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}},
        {"254 and line end fit", x254 + "\n", {x254 + "\n"}},
        {"254 and cr lf fit", x254 + "\r\n", {x254 + "\n"}},
        {"255 then line end apart", x255 + "\n", {x255, "\n"}},
        {"255 then cr lf apart", x255 + "\r\n", {x255, "\n"}},
        {"lone cr past 255", x255 + "\ry\n", {x255, "y\n"}},
        {"300 in two", x255 + "yyyyy\n", {x255, "yyyyy\n"}},
        {"crs do not count", std::string(300, '\r') + "a\n", {"a\n"}},
        {"long line in three",
         std::string(600, 'z'),
         {std::string(255, 'z'), std::string(255, 'z'), std::string(90, 'z')}},
    };
    for (const PieceCase& c : cases) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{7}, std::size_t{1} << 20}) {
            StringSource source(c.input, step);
            EXPECT_EQ(pieces_of(source), c.pieces) << c.name << ", read " << step << " at a time";
        }
    }
}

TEST(PieceReaderTest, ReadsNothingAfterCtrlZ) {
    // The source fails if read past the first chunk; Ctrl-Z in that chunk must stop reading.
    class OneChunk final : public ByteSource {
    public:
        std::ptrdiff_t read(char* buffer, std::size_t /*size*/) override {
            if (done_) {
                return -1;
            }
            done_ = true;
            const std::string text = "a\n\x1a";
            text.copy(buffer, text.size());
            return static_cast<std::ptrdiff_t>(text.size());
        }
        bool close() override { return true; }

    private:
        bool done_ = false;
    } source;
    EXPECT_EQ(pieces_of(source), std::vector<std::string>{"a\n"});
}

TEST(PieceReaderTest, ReportsReadErrors) {
    BrokenSource source;
    PieceReader reader(source);
    std::span<char> piece;
    EXPECT_FALSE(reader.next(piece));
    EXPECT_TRUE(reader.failed());
}

TEST(PieceReaderTest, KeepsLargeInputWhole) {
    std::string input;
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        const std::string line = "line " + std::to_string(i);
        input += line + "\r\n";
        expected += line + "\n";
    }
    StringSource source(input);
    std::string joined;
    for (const std::string& piece : pieces_of(source)) {
        joined += piece;
    }
    EXPECT_EQ(joined, expected);
}

}  // namespace
}  // namespace morvcfg
