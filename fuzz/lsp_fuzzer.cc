// Fuzz target of the language server: arbitrary bytes on its input, in three shapes chosen by the
// first byte. '{': lines of JSON, each framed as a message; 'C': raw bytes, headers included;
// anything else: the bytes as a document an editor opens, asks about and edits. Whatever comes,
// the server answers with well-framed JSON-RPC and ends with status 0 or 1.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lsp/protocol.h"
#include "lsp/serve.h"
#include "lsp/transport.h"

namespace {

using morvcfg::lsp::Json;

void require(bool condition, const char* what) {
    if (!condition) {
        (void)std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::string framed(const Json& message) {
    const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

Json request(int id, const std::string& method, Json params) {
    return {{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}};
}

// A session on the input as a document: open, ask at places the bytes choose, edit, close.
std::string session(std::string_view text) {
    const Json document = {{"uri", "file:///f.cfg"}};
    std::string input = framed(request(1, "initialize",
                                       {{"capabilities",
                                         {{"general", {{"positionEncodings", {text.size() % 2 ? "utf-8" : "utf-16"}}}},
                                          {"workspace", {{"workspaceEdit", {{"documentChanges", true}}}}}}}}));
    input += framed({{"jsonrpc", "2.0"},
                     {"method", "textDocument/didOpen"},
                     {"params", {{"textDocument", {{"uri", "file:///f.cfg"}, {"version", 1}, {"text", text}}}}}});
    int id = 2;
    for (std::size_t i = 0; i < text.size() && i < 24; i += 3) {
        const Json position = {{"line", static_cast<unsigned char>(text[i]) % 8},
                               {"character", static_cast<unsigned char>(text[i + 1 < text.size() ? i + 1 : i]) % 40}};
        const Json range = {{"start", position},
                            {"end", {{"line", position["line"].get<int>() + 1}, {"character", 3}}}};
        input += framed(request(id++, "textDocument/hover", {{"textDocument", document}, {"position", position}}));
        input += framed(request(id++, "textDocument/completion", {{"textDocument", document}, {"position", position}}));
        input += framed(request(id++, "textDocument/codeAction",
                                {{"textDocument", document}, {"range", range}, {"context", Json::object()}}));
        input += framed(request(id++, "textDocument/inlayHint", {{"textDocument", document}, {"range", range}}));
        input += framed({{"jsonrpc", "2.0"},
                         {"method", "textDocument/didChange"},
                         {"params",
                          {{"textDocument", {{"uri", "file:///f.cfg"}, {"version", id}}},
                           {"contentChanges", {{{"range", range}, {"text", text.substr(i, 2)}}}}}}});
    }
    input += framed(request(id++, "textDocument/documentSymbol", {{"textDocument", document}}));
    input +=
        framed({{"jsonrpc", "2.0"}, {"method", "textDocument/didClose"}, {"params", {{"textDocument", document}}}});
    input += framed(request(id, "shutdown", nullptr));
    return input + framed({{"jsonrpc", "2.0"}, {"method", "exit"}});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string input;
    if (bytes.starts_with('{')) {
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
            const std::string_view line = bytes.substr(start, end - start);
            input += "Content-Length: " + std::to_string(line.size()) + "\r\n\r\n" + std::string(line);
            start = end + 1;
        }
    } else if (bytes.starts_with('C')) {
        input = bytes;
    } else {
        input = session(bytes);
    }
    morvcfg::StringSource source(input);
    morvcfg::StringSink sink;
    const int status = morvcfg::lsp::serve(source, sink, {}, [](const std::string&) {});
    require(status == 0 || status == 1, "the server ends with 0 or 1");

    morvcfg::StringSource replies(sink.contents());
    morvcfg::lsp::MessageReader reader(replies);
    for (auto reply = reader.next(); reply.status != morvcfg::lsp::MessageReader::Status::End; reply = reader.next()) {
        require(reply.status == morvcfg::lsp::MessageReader::Status::Message, "every answer is framed");
        const Json message = Json::parse(reply.body, nullptr, false);
        require(message.is_object() && message.value("jsonrpc", "") == "2.0", "every answer is JSON-RPC");
    }
    return 0;
}
