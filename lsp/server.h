#pragma once

// The language server's lifecycle and its routing of messages to the handlers.
#include <functional>
#include <set>
#include <string>

#include "lsp/documents.h"
#include "lsp/handlers.h"
#include "lsp/protocol.h"

namespace morvcfg::lsp {

class Server {
public:
    // `send` takes each message for the client, `log` what can be told to no one but standard
    // error; `options` are the command line's (-Wno-NAME); `files` holds the files that
    // documents' #include lines name (none when null); `project` finds each document's project
    // file; `explanation_page` is the URI diagnostics link to (Session::explanation_page).
    Server(ReportOptions options, std::function<void(const Json&)> send, std::function<void(const std::string&)> log,
           Environment* files = nullptr, ProjectFiles project = {}, std::string explanation_page = {})
        : send_(std::move(send)), log_(std::move(log)) {
        session_.options = std::move(options);
        session_.files = files;
        session_.project = std::move(project);
        session_.explanation_page = std::move(explanation_page);
    }

    // Takes one parsed message from the client and answers it as the protocol asks.
    void handle(const Json& raw);
    // A request not yet handled that the client has given up on: it is answered as cancelled.
    void cancel(const Json& id) { cancelled_.insert(id.dump()); }

    // True once the client has sent `exit`; the process then ends with exit_status().
    [[nodiscard]] bool exited() const { return state_ == State::Exited; }
    [[nodiscard]] int exit_status() const { return shut_down_ ? 0 : 1; }

private:
    enum class State { Starting, Running, ShuttingDown, Exited };

    void request(const Message& message);
    void notify(const Message& message);
    Json initialize(const Json& params);
    // The document a request or notification names, or null.
    Document* document_of(const Json& params);
    void publish(const Document& document);
    // Gives a document the options of its project file, where one applies; a project file that
    // cannot be used is told to the user, and the command line's options stand.
    void apply_project_file(Document& document);

    std::function<void(const Json&)> send_;
    std::function<void(const std::string&)> log_;
    Session session_;
    DocumentStore documents_;
    std::set<std::string> cancelled_;
    State state_ = State::Starting;
    bool shut_down_ = false;
    // Whether the client offers to tell of changed files: it is asked to watch project files, and
    // they are read again when it says they changed; otherwise at each change of a document.
    bool watch_offered_ = false;
    bool watching_ = false;
};

}  // namespace morvcfg::lsp
