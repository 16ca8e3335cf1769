// The language server in process: golden transcripts (messages in, messages out), the framing at
// its edges, and positions in every encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lsp/documents.h"
#include "lsp/serve.h"
#include "lsp/server.h"
#include "lsp/transport.h"
#include "translator/memory_environment.h"

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
    MemoryEnvironment files;
    files.files["/boards/net-common.cfg"] = "/* shared */\r\nMORV_DNS(10.0.0.2);\r\n";
    const int status = serve(
        source, sink, options, [&log](const std::string& line) { log += line + "\n"; }, &files);
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
// wrote to standard error and its exit status. The same output comes whatever the reads. With
// MORVCFG_UPDATE_GOLDEN=1 (or MORVCFG_UPDATE_TRANSCRIPTS) NAME.out is written first, and then read
// back like any other.
TEST_P(TranscriptTest, AnswersExactly) {
    const fs::path folder(MORVCFG_TRANSCRIPTS_DIR);
    const std::string messages = read_file(folder / (GetParam() + ".in"));
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && std::string(value) == "1";
    };
    if (set("MORVCFG_UPDATE_GOLDEN") || set("MORVCFG_UPDATE_TRANSCRIPTS")) {
        std::ofstream(folder / (GetParam() + ".out"), std::ios::binary) << run_transcript(messages, 1U << 20U);
    }
    ASSERT_TRUE(fs::exists(folder / (GetParam() + ".out"))) << GetParam() << ".out is missing";
    const std::string expected = read_file(folder / (GetParam() + ".out"));
    EXPECT_EQ(run_transcript(messages, 1U << 20U), expected);
    // Cancellation reaches only a request still waiting, which byte-by-byte reads never leave.
    if (GetParam() != "cancel") {
        EXPECT_EQ(run_transcript(messages, 1), expected);
    }
}

// Every transcript in the folder: each NAME.in is a case.
std::vector<std::string> transcripts() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(MORVCFG_TRANSCRIPTS_DIR)) {
        if (entry.path().extension() == ".in") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Transcripts, TranscriptTest, testing::ValuesIn(transcripts()),
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
        {"beyond 64 bits", "Content-Length: 17000000000000000000\r\n\r\n{}", {Status::TooLarge, Status::End}},
        {"just within 64 bits", "Content-Length: 18446744073709551600\r\n\r\n{}", {Status::TooLarge, Status::End}},
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

// A length too large to take is refused with the number as the client sent it.
TEST(TransportTest, RefusesALengthAsSent) {
    for (const std::string length : {"17000000000000000000", "18446744073709551600", "99999999999999999999999"}) {
        StringSource source("Content-Length: " + length + "\r\n\r\n{}");
        MessageReader reader(source, 64);
        const MessageReader::Result result = reader.next();
        EXPECT_EQ(result.status, MessageReader::Status::TooLarge) << length;
        EXPECT_NE(result.problem.find(length), std::string::npos) << result.problem;
    }
}

// Memory files that remember the paths asked for.
class RecordingFiles final : public MemoryEnvironment {
public:
    using MemoryEnvironment::open;
    std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) override {
        opened.push_back(path);
        return MemoryEnvironment::open(path, why);
    }
    std::vector<std::string> opened;
};

// The server in process: what it sends back for the messages it is given.
class ServerTest : public testing::Test {
protected:
    explicit ServerTest(ReportOptions options = {})
        : server_(
              std::move(options), [this](const Json& message) { sent_.push_back(message); }, [](const std::string&) {},
              &files_) {
        // The one file an #include finds.
        files_.files["C:/w/inc.cfg"] = "MORV_DNS(10.0.0.2);\n";
        server_.handle({{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", {{"capabilities", {}}}}});
        server_.handle({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}});
        sent_.clear();
    }
    // Opens a document and returns the diagnostics published for it.
    Json open_document(const std::string& uri, const std::string& text) {
        server_.handle(
            {{"jsonrpc", "2.0"},
             {"method", "textDocument/didOpen"},
             {"params",
              {{"textDocument", {{"uri", uri}, {"languageId", "morvcfg"}, {"version", 1}, {"text", text}}}}}});
        return sent_.back().at("params").at("diagnostics");
    }
    // The result of a request about a document.
    Json ask(const std::string& method, const std::string& uri, Json params = Json::object()) {
        params["textDocument"] = {{"uri", uri}};
        server_.handle({{"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}});
        return sent_.back().at("result");
    }
    RecordingFiles files_;
    std::vector<Json> sent_;
    Server server_;
};

TEST_F(ServerTest, FindsTheIncludeBesideAWindowsDocument) {
    const Json published = open_document("file:///C:/w/main.cfg", "#include \"inc.cfg\"\n");
    EXPECT_EQ(files_.opened, std::vector<std::string>{"C:/w/inc.cfg"});
    ASSERT_EQ(published.size(), 1U);
    EXPECT_EQ(published[0].at("code"), "included-directive");
}

TEST_F(ServerTest, NamesEachDirectiveByWhatItSets) {
    open_document("file:///b.cfg", "MORV_DEV_ADR(UART1, 0x40002000);\nMORV_DNS(10.0.0.53);\n");
    const Json symbols = ask("textDocument/documentSymbol", "file:///b.cfg");
    ASSERT_EQ(symbols.size(), 2U);
    EXPECT_EQ(symbols[0].at("name"), "MORV_DEV_ADR UART1 0x40002000");
    EXPECT_EQ(symbols[1].at("name"), "MORV_DNS 10.0.0.53");
}

TEST_F(ServerTest, HoverOnALineThatSetsNothing) {
    open_document("file:///b.cfg", "MORV_DNS();\n");
    const Json answer = ask("textDocument/hover", "file:///b.cfg", {{"position", {{"line", 0}, {"character", 2}}}});
    const std::string text = answer.at("contents").at("value");
    EXPECT_NE(text.find("This line sets nothing."), std::string::npos) << text;
    EXPECT_EQ(text.find("| setting |"), std::string::npos) << text;
}

// Where each value comes from, in lines as the editor counts them: a lone carriage return ends a
// line for the editor (LSP), not for morvcfg, so the two count differently after one.
TEST_F(ServerTest, SaysWhereEachValueComesFromInTheEditorsLines) {
    open_document("file:///b.cfg", "/* a\rb */\nMORV_IFCFG(10.1.2.3, 255.255.0.0);\nMORV_DEFGW(10.9.0.1);\n");
    const Json settings = ask("morvcfg/configuration", "file:///b.cfg");
    const auto origin_of = [&settings](std::string_view name) {
        const auto found =
            std::find_if(settings.begin(), settings.end(), [name](const Json& s) { return s.at("name") == name; });
        return found != settings.end() ? found->at("origin") : Json();
    };
    EXPECT_EQ(origin_of("ThisIs"), Json({{"kind", "line"}, {"line", 3}, {"text", "line 3"}}));
    EXPECT_EQ(origin_of("GateWay"), Json({{"kind", "moved"},
                                          {"line", 4},
                                          {"subnet_line", 3},
                                          {"text", "line 4, moved into the subnet set at line 3"}}));
    EXPECT_EQ(origin_of("LocalHost"), Json({{"kind", "default"}, {"text", "default"}}));
    const Json shown = ask("textDocument/hover", "file:///b.cfg", {{"position", {{"line", 3}, {"character", 2}}}});
    const std::string text = shown.at("contents").at("value");
    EXPECT_NE(text.find("| GateWay | 10.9.0.1 | 10.1.0.1 | line 4, moved into the subnet set at line 3 |"),
              std::string::npos)
        << text;
}

class QuietServerTest : public ServerTest {
protected:
    QuietServerTest() : ServerTest(options()) {}
    static ReportOptions options() {
        ReportOptions quiet;
        quiet.disabled.insert(Category::NotDirective);
        return quiet;
    }
};

// -Wno-NAME given with --lsp holds for every document.
TEST_F(QuietServerTest, LeavesOutWhatTheCommandLineLeftOut) {
    const Json published = open_document("file:///b.cfg", "  MORV_DNS(10.0.0.53);\nMORV_LOCAL(1.2.3);\n");
    ASSERT_EQ(published.size(), 1U);
    EXPECT_EQ(published[0].at("code"), "operand");
}

// A project file, in memory, above an open document: the diagnostics follow it, at the client's
// word where it watches files and at the document's next change where it cannot; the ignore quick
// fix writes the comment that excuses a warning.
class ProjectServerTest : public testing::Test {
protected:
    void start(bool watch) {
        sent_.clear();
        ProjectFiles project{project_file_search(files_), {}, ""};
        server_ = std::make_unique<Server>(
            ReportOptions{}, [this](const Json& message) { sent_.push_back(message); }, [](const std::string&) {},
            nullptr, std::move(project));
        const Json capabilities = {{"workspace", {{"didChangeWatchedFiles", {{"dynamicRegistration", watch}}}}}};
        server_->handle(
            {{"jsonrpc", "2.0"}, {"id", 0}, {"method", "initialize"}, {"params", {{"capabilities", capabilities}}}});
        server_->handle({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", Json::object()}});
    }
    void notify(const std::string& method, Json params) {
        server_->handle({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
    }
    // The codes of the diagnostics last published.
    std::string published_codes() const {
        std::string codes;
        for (auto message = sent_.rbegin(); message != sent_.rend(); ++message) {
            if (message->value("method", "") == "textDocument/publishDiagnostics") {
                for (const Json& diagnostic : message->at("params").at("diagnostics")) {
                    codes += diagnostic.at("code").get<std::string>() + " ";
                }
                return codes;
            }
        }
        return "(none published)";
    }

    MemoryEnvironment files_;
    std::vector<Json> sent_;
    std::unique_ptr<Server> server_;
};

TEST_F(ProjectServerTest, DiagnosticsFollowTheProjectFile) {
    for (const bool watch : {true, false}) {
        files_.files.clear();
        start(watch);
        // A client that watches files is asked to watch project files.
        const bool asked = std::any_of(sent_.begin(), sent_.end(), [](const Json& m) {
            return m.value("method", "") == "client/registerCapability" &&
                   m.dump().find("**/.morvcfg-check") != std::string::npos;
        });
        EXPECT_EQ(asked, watch);
        notify("textDocument/didOpen", {{"textDocument",
                                         {{"uri", "file:///boards/b.cfg"},
                                          {"languageId", "morvcfg"},
                                          {"version", 1},
                                          {"text", "  MORV_DNS(1.2.3.4);\n"}}}});
        EXPECT_EQ(published_codes(), "not-directive ");
        // The team's file comes, then a mistake in it.
        int version = 1;
        const auto told = [&] {
            if (watch) {
                notify("workspace/didChangeWatchedFiles",
                       {{"changes", Json::array({{{"uri", "file:///boards/.morvcfg-check"}, {"type", 2}}})}});
            } else {
                notify("textDocument/didChange",
                       {{"textDocument", {{"uri", "file:///boards/b.cfg"}, {"version", ++version}}},
                        {"contentChanges", Json::array({{{"text", "  MORV_DNS(1.2.3.4);\n"}}})}});
            }
        };
        files_.files["/boards/.morvcfg-check"] = "# ours\n-Wno-not-directive\n";
        told();
        EXPECT_EQ(published_codes(), "") << watch;
        files_.files["/.morvcfg-check"] = "-Werror\n";  // farther up: the nearest one holds
        files_.files["/boards/.morvcfg-check"] = "-Wno-not-directve\n";
        sent_.clear();
        told();
        EXPECT_EQ(published_codes(), "not-directive ") << watch;
        EXPECT_TRUE(std::any_of(sent_.begin(), sent_.end(), [](const Json& m) {
            return m.value("method", "") == "window/showMessage" &&
                   m.at("params").at("message").get<std::string>().find(
                       "/boards/.morvcfg-check:1:1: error: unknown warning category 'not-directve'") !=
                       std::string::npos;
        })) << watch;
    }
}

TEST_F(ProjectServerTest, TheIgnoreQuickFixWritesTheComment) {
    start(false);
    const std::string text =
        "MORV_IFCFG(10.20.30.40, 255.255.255.0);\r\nMORV_DEFGW(10.20.31.1);\r\n  MORV_DNS(10.20.30.53);\r\n";
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", "file:///b.cfg"}, {"languageId", "morvcfg"}, {"version", 1}, {"text", text}}}});
    // The default name server moves too, as the indented line is ordinary text.
    EXPECT_EQ(published_codes(), "subnet-move subnet-move not-directive ");
    const struct {
        int line;
        std::string edit;  // line:character newText
    } cases[] = {
        {1, "1:23   /* morvcfg-check: ignore[subnet-move] */"},            // a directive line: at its end
        {2, "2:0 // morvcfg-check: ignore-next-line[not-directive]\r\n"},  // ordinary text: a line before
    };
    for (const auto& c : cases) {
        server_->handle(
            {{"jsonrpc", "2.0"},
             {"id", 5},
             {"method", "textDocument/codeAction"},
             {"params",
              {{"textDocument", {{"uri", "file:///b.cfg"}}},
               {"range",
                {{"start", {{"line", c.line}, {"character", 0}}}, {"end", {{"line", c.line}, {"character", 99}}}}},
               {"context", {{"diagnostics", Json::array()}}}}}});
        const Json& actions = sent_.back().at("result");
        const auto ignore = std::find_if(actions.begin(), actions.end(), [](const Json& a) {
            return a.at("title") == "Ignore this warning on this line";
        });
        ASSERT_NE(ignore, actions.end()) << c.line;
        const Json& edit = ignore->at("edit").at("changes").at("file:///b.cfg").at(0);
        EXPECT_EQ(std::to_string(edit.at("range").at("start").at("line").get<int>()) + ":" +
                      std::to_string(edit.at("range").at("start").at("character").get<int>()) + " " +
                      edit.at("newText").get<std::string>(),
                  c.edit);
        notify("textDocument/didChange",
               {{"textDocument", {{"uri", "file:///b.cfg"}, {"version", c.line + 1}}},
                {"contentChanges", Json::array({{{"range", edit.at("range")}, {"text", edit.at("newText")}}})}});
    }
    // Both excused, and neither ignore unused: the default name server's move stays.
    EXPECT_EQ(published_codes(), "subnet-move ");
}

// What a host that hands over whole messages (the page's Web Worker) gets for a body that is not
// JSON, and for one that is.
TEST(ReceiveTest, AnswersEachBodyItIsHanded) {
    std::vector<Json> sent;
    Server server(
        {}, [&sent](const Json& message) { sent.push_back(message); }, [](const std::string&) {});
    const auto send = [&sent](const Json& message) { sent.push_back(message); };
    receive(server, "{oops", send);
    ASSERT_EQ(sent.size(), 1U);
    EXPECT_EQ(sent[0].at("error").at("code"), -32700);
    EXPECT_TRUE(sent[0].at("id").is_null());
    receive(server, R"({"jsonrpc":"2.0","id":7,"method":"initialize","params":{"capabilities":{}}})", send);
    ASSERT_EQ(sent.size(), 2U);
    EXPECT_EQ(sent[1].at("id"), 7);
    EXPECT_EQ(sent[1].at("result").at("serverInfo").at("name"), "morvcfg-check");
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
