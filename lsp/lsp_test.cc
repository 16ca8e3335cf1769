// The language server in process: golden transcripts (messages in, messages out), the framing at
// its edges, and positions in every encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "lsp/documents.h"
#include "lsp/serve.h"
#include "lsp/transport.h"

namespace morvcfg::lsp {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string framed(std::string_view body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

// Runs the server on the transcript's messages (one per line), read `step` bytes at a time;
// returns its messages, one per line, what it logged, and its exit status.
std::string run_transcript(const std::string& messages, std::size_t step) {
    std::string input;
    for (std::size_t start = 0; start < messages.size();) {
        const std::size_t end = messages.find('\n', start);
        input += framed(messages.substr(start, end - start));
        start = end == std::string::npos ? messages.size() : end + 1;
    }
    StringSource source(input, step);
    StringSink sink;
    std::string log;
    ReportOptions options;
    options.disabled.emplace(Category::SubnetMask);
    // The one file beside the documents that an #include names.
    const auto open_file = [](const std::string& path) -> std::unique_ptr<ByteSource> {
        if (path != "/boards/net-common.cfg") {
            return nullptr;
        }
        return std::make_unique<StringSource>("/* shared */\r\nMORV_DNS(10.0.0.2);\r\n");
    };
    const int status = serve(
        source, sink, options, [&log](const std::string& line) { log += line + "\n"; }, open_file);
    std::string out;
    StringSource replies(sink.contents());
    MessageReader replies_reader(replies);
    for (MessageReader::Result reply = replies_reader.next(); reply.status == MessageReader::Status::Message;
         reply = replies_reader.next()) {
        out += reply.body + "\n";
    }
    return out + log + "exit " + std::to_string(status) + "\n";
}

class TranscriptTest : public testing::TestWithParam<std::string> {};

// NAME.in holds the client's messages, one per line; NAME.out the server's, one per line, what it
// wrote to standard error and its exit status. The same output comes whatever the reads.
TEST_P(TranscriptTest, AnswersExactly) {
    const fs::path folder(MORVCFG_TRANSCRIPTS_DIR);
    const std::string messages = read_file(folder / (GetParam() + ".in"));
    const std::string expected = read_file(folder / (GetParam() + ".out"));
    if (std::getenv("MORVCFG_UPDATE_TRANSCRIPTS") != nullptr) {
        std::ofstream(folder / (GetParam() + ".out"), std::ios::binary) << run_transcript(messages, 1U << 20U);
    }
    EXPECT_EQ(run_transcript(messages, 1U << 20U), expected);
    // Cancellation reaches only a request still waiting, which byte-by-byte reads never leave.
    if (GetParam() != "cancel") {
        EXPECT_EQ(run_transcript(messages, 1), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Transcripts, TranscriptTest,
                         testing::Values("lifecycle", "editing", "encodings", "cancel", "c-reading"),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(TransportTest, FramingAtItsEdges) {
    using Status = MessageReader::Status;
    const struct {
        const char* name;
        std::string input;
        std::vector<Status> statuses;
    } cases[] = {
        {"two in one read", framed("{}") + framed("[]"), {Status::Message, Status::Message, Status::End}},
        {"other headers and any case",
         "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\ncontent-length:  2 \r\n\r\n{}",
         {Status::Message, Status::End}},
        {"no length", "Content-Type: x\r\n\r\n{}" + framed("{}"), {Status::Malformed, Status::Message, Status::End}},
        {"a length that is no number",
         "Content-Length: 2x\r\n\r\n" + framed("{}"),
         {Status::Malformed, Status::Message, Status::End}},
        {"beyond the limit",
         "Content-Length: 100\r\n\r\n" + std::string(100, 'x') + framed("{}"),
         {Status::TooLarge, Status::Message, Status::End}},
        {"far beyond", "Content-Length: 99999999999999999999999\r\n\r\n{}", {Status::TooLarge, Status::End}},
        {"cut short", "Content-Length: 10\r\n\r\n{}", {Status::End}},
        {"a header without end", std::string(9000, 'x'), {Status::Malformed, Status::End}},
    };
    for (const auto& c : cases) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{1} << 20U}) {
            StringSource source(c.input, step);
            MessageReader reader(source, 64);
            std::vector<Status> statuses;
            do {
                statuses.push_back(reader.next().status);
            } while (statuses.back() != Status::End && statuses.size() < 10);
            EXPECT_EQ(statuses, c.statuses) << c.name << ", reads of " << step;
        }
    }
    // A terminal's Ctrl-D ends the input for good, though more would follow: nothing is read after.
    class Terminal final : public ByteSource {
    public:
        std::ptrdiff_t read(char* buffer, std::size_t size) override {
            ++reads;
            if (reads == 2) {
                return 0;  // Ctrl-D
            }
            const std::string message = framed("{}");
            const std::size_t count = std::min(size, message.size());
            message.copy(buffer, count);
            return static_cast<std::ptrdiff_t>(count);
        }
        bool close() override { return true; }
        int reads = 0;
    } terminal;
    MessageReader reader(terminal);
    EXPECT_EQ(reader.next().status, Status::Message);
    EXPECT_EQ(reader.next().status, Status::End);
    EXPECT_EQ(reader.next().status, Status::End);
    EXPECT_EQ(terminal.reads, 2);
}

TEST(DocumentTest, PositionsInEveryEncoding) {
    // "ネ" is 3 bytes and 1 UTF-16 unit, "😀" 4 bytes and 2 units; lines end in CR LF, a lone CR
    // and LF.
    const Document document("file:///d", 1, "aネ😀b\r\nc\rd\n");
    const struct {
        std::uint64_t offset;
        Position utf8;
        Position utf16;
        Position utf32;
    } cases[] = {
        {0, {0, 0}, {0, 0}, {0, 0}},  {1, {0, 1}, {0, 1}, {0, 1}},  {4, {0, 4}, {0, 2}, {0, 2}},
        {8, {0, 8}, {0, 4}, {0, 3}},  {9, {0, 9}, {0, 5}, {0, 4}},  {10, {0, 9}, {0, 5}, {0, 4}},
        {11, {1, 0}, {1, 0}, {1, 0}}, {13, {2, 0}, {2, 0}, {2, 0}}, {15, {3, 0}, {3, 0}, {3, 0}},
        {2, {0, 1}, {0, 1}, {0, 1}},  // inside a character: its start
    };
    for (const auto& c : cases) {
        for (const auto& [encoding, expected] :
             {std::pair{PositionEncoding::Utf8, c.utf8}, std::pair{PositionEncoding::Utf16, c.utf16},
              std::pair{PositionEncoding::Utf32, c.utf32}}) {
            const Position got = document.position(c.offset, encoding);
            EXPECT_EQ(got.line, expected.line) << c.offset;
            EXPECT_EQ(got.character, expected.character) << c.offset;
            if (c.offset != 2 && c.offset != 10) {
                EXPECT_EQ(document.offset(expected, encoding), c.offset);
            }
        }
    }
    // Past the end of a line is its end; past the last line the end of the text.
    EXPECT_EQ(document.offset({0, 99}, PositionEncoding::Utf16), 9U);
    EXPECT_EQ(document.offset({9, 0}, PositionEncoding::Utf16), 15U);
}

}  // namespace
}  // namespace morvcfg::lsp
