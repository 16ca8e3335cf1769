#include "lsp/server.h"

#include "checker/analysis/uri.h"
#include "checker/forms/report.h"

namespace morvcfg::lsp {
namespace {

// The position encoding the client offers first among those the server knows; UTF-16 when it
// offers none.
std::pair<PositionEncoding, std::string> chosen_encoding(const Json& params) {
    const Json offered = params.value("/capabilities/general/positionEncodings"_json_pointer, Json::array());
    for (const Json& name : offered) {
        if (name == "utf-8") {
            return {PositionEncoding::Utf8, "utf-8"};
        }
        if (name == "utf-32") {
            return {PositionEncoding::Utf32, "utf-32"};
        }
        if (name == "utf-16") {
            break;
        }
    }
    return {PositionEncoding::Utf16, "utf-16"};
}

}  // namespace

Json Server::initialize(const Json& params) {
    const auto [encoding, name] = chosen_encoding(params);
    session_.encoding = encoding;
    session_.snippets =
        params.value("/capabilities/textDocument/completion/completionItem/snippetSupport"_json_pointer, false);
    session_.document_changes =
        params.value("/capabilities/workspace/workspaceEdit/documentChanges"_json_pointer, false);
    watch_offered_ =
        params.value("/capabilities/workspace/didChangeWatchedFiles/dynamicRegistration"_json_pointer, false);
    // The formats the client shows hover in, the one it prefers first; Markdown unless it names
    // plain text before it.
    const Json formats = params.value("/capabilities/textDocument/hover/contentFormat"_json_pointer, Json::array());
    session_.plain_hover = formats.is_array() && !formats.empty() && formats.front() == "plaintext";
    return {
        {"capabilities",
         {
             {"positionEncoding", name},
             {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", Json::object()}}},  // incremental
             {"hoverProvider", true},
             {"completionProvider", Json::object()},
             {"documentSymbolProvider", true},
             {"inlayHintProvider", true},
             {"codeActionProvider", {{"codeActionKinds", {"quickfix", "source.fixAll.morvcfg"}}}},
         }},
        {"serverInfo", {{"name", "morvcfg-check"}, {"version", std::string(checker_version())}}},
    };
}

Document* Server::document_of(const Json& params) {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    const auto found = documents_.find(uri);
    return found != documents_.end() ? &found->second : nullptr;
}

void Server::apply_project_file(Document& document) {
    const std::string path = path_of_file_uri(document.uri());
    const PathOptions found =
        options_for_path(path, {session_.options, session_.project.warning_words, session_.project.config_file},
                         session_.project.search && !path.empty() ? &*session_.project.search : nullptr);
    if (!found.error.empty()) {
        send_(notification("window/showMessage", {{"type", 1}, {"message", "morvcfg-check: " + found.error}}));
    }
    document.set_options(found.options);
}

void Server::publish(const Document& document) {
    send_(notification("textDocument/publishDiagnostics", diagnostics(document, session_)));
}

void Server::handle(const Json& raw) {
    const Message message = classify(raw);
    switch (message.kind) {
        case Message::Kind::Invalid:
            send_(error_response(message.id, kInvalidRequest, "invalid message: " + message.problem));
            return;
        case Message::Kind::Response:
            return;  // to the server's one request, to watch project files: nothing to do
        case Message::Kind::Notification:
            notify(message);
            return;
        case Message::Kind::Request:
            break;
    }
    if (cancelled_.erase(message.id.dump()) > 0) {
        send_(error_response(message.id, kRequestCancelled, "the request was cancelled"));
        return;
    }
    if (state_ == State::Starting && message.method != "initialize") {
        send_(error_response(message.id, kServerNotInitialized, "the server is not initialized"));
        return;
    }
    if (state_ == State::ShuttingDown) {
        send_(error_response(message.id, kInvalidRequest, "the server is shutting down"));
        return;
    }
    try {
        request(message);
    } catch (const Json::exception& error) {
        send_(error_response(message.id, kInvalidParams, std::string("invalid params: ") + error.what()));
    }
}

void Server::request(const Message& message) {
    const Json& params = message.params;
    const auto answer = [&](Json result) { send_(response(message.id, std::move(result))); };
    if (message.method == "initialize") {
        if (state_ != State::Starting) {
            send_(error_response(message.id, kInvalidRequest, "the server is initialized already"));
            return;
        }
        state_ = State::Running;
        answer(initialize(params));
    } else if (message.method == "shutdown") {
        state_ = State::ShuttingDown;
        shut_down_ = true;
        answer(nullptr);
    } else if (message.method == "textDocument/hover" || message.method == "textDocument/completion" ||
               message.method == "textDocument/documentSymbol" || message.method == "textDocument/inlayHint" ||
               message.method == "textDocument/codeAction" || message.method == "morvcfg/configuration") {
        const Document* document = document_of(params);
        if (document == nullptr) {
            send_(error_response(message.id, kInvalidParams, "the document is not open"));
        } else if (message.method == "textDocument/hover") {
            answer(hover(*document, position_from(params.at("position")), session_));
        } else if (message.method == "textDocument/completion") {
            answer(completion(*document, position_from(params.at("position")), session_));
        } else if (message.method == "textDocument/documentSymbol") {
            answer(document_symbols(*document, session_));
        } else if (message.method == "textDocument/inlayHint") {
            answer(inlay_hints(*document, range_from(params.at("range")), session_));
        } else if (message.method == "morvcfg/configuration") {
            answer(configuration(*document));
        } else {
            answer(code_actions(*document, range_from(params.at("range")), params.value("context", Json::object()),
                                session_));
        }
    } else {
        send_(error_response(message.id, kMethodNotFound, "no method " + message.method));
    }
}

void Server::notify(const Message& message) {
    const Json& params = message.params;
    if (message.method == "exit") {
        state_ = State::Exited;
        return;
    }
    if (state_ != State::Running) {
        return;  // before initialize and after shutdown, notifications are dropped
    }
    try {
        if (message.method == "textDocument/didOpen") {
            // Read in this order, so that a message missing several says the same whatever the compiler.
            const Json& item = params.at("textDocument");
            std::string uri = item.at("uri").get<std::string>();
            const auto version = item.at("version").get<std::int64_t>();
            std::string text = item.at("text").get<std::string>();
            Document& opened =
                documents_
                    .insert_or_assign(
                        uri, Document(uri, version, std::move(text),
                                      includes_beside(session_.files, path_of_file_uri(uri), IncludeNames::Uris)))
                    .first->second;
            apply_project_file(opened);
            publish(opened);
        } else if (message.method == "textDocument/didChange") {
            Document* document = document_of(params);
            if (document == nullptr) {
                return;
            }
            const std::int64_t version = params.at("textDocument").at("version").get<std::int64_t>();
            for (const Json& change : params.at("contentChanges")) {
                const auto range = change.find("range");
                const std::optional<Range> where =
                    range != change.end() ? std::optional<Range>(range_from(*range)) : std::nullopt;
                document->replace(where, change.at("text").get<std::string>(), version, session_.encoding);
            }
            if (!watching_) {
                apply_project_file(*document);  // no word comes of a changed project file: read it again
            }
            publish(*document);
        } else if (message.method == "textDocument/didSave") {
            if (Document* document = document_of(params); document != nullptr) {
                apply_project_file(*document);
                publish(*document);
            }
        } else if (message.method == "workspace/didChangeWatchedFiles") {
            // A project file changed, came or went: every open document may take other options.
            for (auto& [uri, document] : documents_) {
                apply_project_file(document);
                publish(document);
            }
        } else if (message.method == "initialized") {
            if (watch_offered_ && session_.project.search) {
                watching_ = true;
                send_(Json{
                    {"jsonrpc", "2.0"},
                    {"id", "morvcfg-watch-project-files"},
                    {"method", "client/registerCapability"},
                    {"params",
                     {{"registrations",
                       Json::array({{{"id", "morvcfg-project-files"},
                                     {"method", "workspace/didChangeWatchedFiles"},
                                     {"registerOptions",
                                      {{"watchers", Json::array({{{"globPattern", "**/.morvcfg-check"}}})}}}}})}}}});
            }
        } else if (message.method == "textDocument/didClose") {
            const std::string uri = params.at("textDocument").at("uri").get<std::string>();
            if (documents_.erase(uri) > 0) {
                send_(notification("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}}));
            }
        }
        // Other notifications ("$/cancelRequest", handled as messages arrive,
        // "$/setTrace", ...) need nothing.
    } catch (const Json::exception& error) {
        // A notification cannot be answered: a malformed one changes nothing and is told to the log.
        log_("morvcfg-check: " + message.method + " ignored: " + error.what());
    }
}

}  // namespace morvcfg::lsp
