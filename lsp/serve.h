#pragma once

#include <functional>
#include <string>

#include "checker/forms/report.h"
#include "generator/text_writer.h"
#include "lsp/handlers.h"
#include "lsp/protocol.h"
#include "translator/text_reader.h"

namespace morvcfg::lsp {

class Server;

// Runs the language server on `input` and `output` until the client says `exit` or the input ends;
// returns the process's exit status (0 after shutdown and exit, 1 otherwise). `log` takes what can
// be told to no one but standard error; `files` holds the files documents include (none when
// null), `project` finds each document's project file, and diagnostics link to
// `explanation_page` (Session::explanation_page).
int serve(ByteSource& input, ByteSink& output, const ReportOptions& options,
          const std::function<void(const std::string&)>& log, Environment* files = nullptr,
          const ProjectFiles& project = {}, const std::string& explanation_page = {});

// The text of a message for the client: JSON, any text in it that is not UTF-8 (a token cut by a
// 255-character piece) shown as U+FFFD.
std::string message_text(const Json& message);

// Handles one message's body, for a host that delivers whole messages itself (a Web Worker): it
// is parsed and handled, or answered with a parse error through `send`.
void receive(Server& server, std::string_view body, const std::function<void(const Json&)>& send);

}  // namespace morvcfg::lsp
