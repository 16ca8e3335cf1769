#pragma once

// The requests and notifications the server answers, one file each; they read documents and their
// analysis, and know nothing of the transport or the lifecycle.
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "checker/forms/report.h"
#include "checker/frontend/project_file.h"
#include "lsp/documents.h"
#include "lsp/protocol.h"

namespace morvcfg::lsp {

// Opens a file by its path for reading; null when it cannot.

// How the server finds each document's project file (.morvcfg-check above it): how files are read
// and where relative paths start (without a search none is read, as in a page without files);
// the command line's -W words, which come after its options, and --config.
struct ProjectFiles {
    std::optional<ProjectFileSearch> search;
    std::vector<std::string> warning_words;
    std::string config_file;
};

// What the client and the command line settled for the session.
struct Session {
    PositionEncoding encoding = PositionEncoding::Utf16;
    bool snippets = false;          // completion items may be snippets
    bool document_changes = false;  // workspace edits may name the document version
    bool plain_hover = false;       // hover text as plain text: the client shows no Markdown
    ReportOptions options;          // the categories left out (-Wno-NAME)
    Environment* files = nullptr;   // for the files #include lines name; none when null
    ProjectFiles project{};
    // The URI of the page that explains each kind of warning, which a diagnostic links to at the
    // kind's anchor; empty where there is none (the manual page is linked to then).
    std::string explanation_page{};
};

inline Json to_json(const Position& position) {
    return {{"line", position.line}, {"character", position.character}};
}
inline Json to_json(const Range& range) {
    return {{"start", to_json(range.start)}, {"end", to_json(range.end)}};
}
// A position or range from the client; throws nlohmann's type_error on a malformed one.
Position position_from(const Json& json);
Range range_from(const Json& json);

// The parameters of textDocument/publishDiagnostics for a document: its warnings.
Json diagnostics(const Document& document, const Session& session);
// The hover at a position: what the directive line sets and what the generated files hold, or why
// a line that looks like a directive is ignored; null elsewhere.
Json hover(const Document& document, Position position, const Session& session);

// morvcfg/configuration: the settings the generated files hold for the document, in the order the
// summary lists them (each define as often as it is written), as [{"name", "value", "origin"}]
// (a page shows them beside the text); the origin as the JSON report gives it: {"kind", "text",
// "line", "subnet_line"}, lines from 1, each left out where it is a default.
Json configuration(const Document& document);
// The keywords, at the start of a line.
Json completion(const Document& document, Position position, const Session& session);
// One symbol per directive line.
Json document_symbols(const Document& document, const Session& session);
// Where the value the generated files hold differs from what a line in `range` gives.
Json inlay_hints(const Document& document, Range range, const Session& session);
// The fixes of the warnings in `range` as quick fixes, and all certain fixes as one source action.
Json code_actions(const Document& document, Range range, const Json& context, const Session& session);

// The last directive line after `line` that sets the setting `name` again; null if none does.
const DirectiveLine* set_again_later(const CheckResult& result, const DirectiveLine& line, std::string_view name);

// The line number (from 1) of a byte offset, as a person reads it in messages.
std::uint64_t line_number(const Document& document, std::uint64_t offset);
// Where a value comes from in words, each line named "line N" as the editor counts lines.
std::string origin_words(const Document& document, const ValueOrigin& origin);

}  // namespace morvcfg::lsp
