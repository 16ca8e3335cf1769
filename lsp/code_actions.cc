#include <algorithm>
#include <cstdint>
#include <iterator>

#include "checker/fix.h"
#include "lsp/handlers.h"

namespace morvcfg::lsp {
namespace {

// A workspace edit of the document, tied to its version where the client takes that.
Json workspace_edit(const Document& document, Json edits, const Session& session) {
    if (session.document_changes) {
        return {{"documentChanges",
                 Json::array({{{"textDocument", {{"uri", document.uri()}, {"version", document.version()}}},
                               {"edits", std::move(edits)}}})}};
    }
    return {{"changes", {{document.uri(), std::move(edits)}}}};
}

// The line a range in a request starts on, or -1.
std::int64_t start_line(const Json& range) {
    if (!range.is_object() || !range.contains("start") || !range.at("start").is_object()) {
        return -1;
    }
    const Json& line = range.at("start").value("line", Json());
    return line.is_number_integer() ? line.get<std::int64_t>() : -1;
}

// True when the request's context names the diagnostic, as a client does with those under the
// cursor, wherever the range asked about lies. A client keeps the code, the message and the line,
// but may rebuild the columns in its own units (bytes, say), so the columns are not compared.
bool named(const Json& context, const Json& diagnostic) {
    const auto listed = context.find("diagnostics");
    if (listed == context.end() || !listed->is_array()) {
        return false;
    }
    const std::int64_t line = start_line(diagnostic.at("range"));
    return std::any_of(listed->begin(), listed->end(), [&diagnostic, line](const Json& asked) {
        return asked.is_object() && asked.value("code", Json()) == diagnostic.at("code") &&
               asked.value("message", Json()) == diagnostic.at("message") &&
               start_line(asked.value("range", Json())) == line;
    });
}

// The edit that excuses a warning with a comment: at the end of a directive line, which never
// reaches the pass-through output; before any other line, as a line of its own.
Json ignore_edit(const Document& document, const Finding& finding, const Session& session) {
    const std::uint64_t line = document.position(finding.offset, PositionEncoding::Utf8).line;
    const std::uint64_t begin = document.line_start(line);
    const std::uint64_t end = document.line_end(line);
    const std::string name(name_of(finding.category));
    const auto& directives = document.analysis().directives;
    const bool directive_line = std::any_of(directives.begin(), directives.end(),
                                            [begin](const DirectiveLine& d) { return d.offset == begin; });
    Json edit;
    if (directive_line) {
        edit = {{"range", to_json(document.range(end, end, session.encoding))},
                {"newText", "  /* morvcfg-check: ignore[" + name + "] */"}};
    } else {
        // The line end the line itself has; a last line without one takes a line feed.
        const std::string_view text = document.text();
        const std::string_view after = end < text.size() ? text.substr(static_cast<std::size_t>(end)) : "";
        const std::string line_end = after.starts_with("\r\n") ? "\r\n" : after.starts_with('\r') ? "\r" : "\n";
        edit = {{"range", to_json(document.range(begin, begin, session.encoding))},
                {"newText", "// morvcfg-check: ignore-next-line[" + name + "]" + line_end}};
    }
    return workspace_edit(document, Json::array({edit}), session);
}

bool wanted(const Json& context, std::string_view kind) {
    const auto only = context.find("only");
    if (only == context.end() || !only->is_array()) {
        return true;
    }
    return std::any_of(only->begin(), only->end(), [kind](const Json& asked) {
        const std::string prefix = asked.is_string() ? asked.get<std::string>() : "";
        return kind == prefix || kind.starts_with(prefix + ".");
    });
}

}  // namespace

Json code_actions(const Document& document, Range range, const Json& context, const Session& session) {
    const CheckResult& result = document.analysis();
    const std::uint64_t begin = document.offset(range.start, session.encoding);
    const std::uint64_t end = document.offset(range.end, session.encoding);
    const Json published = diagnostics(document, session).at("diagnostics");
    Json actions = Json::array();
    Json ignores = Json::array();
    std::size_t index = 0;  // of the finding among those published
    for (const Finding& finding : result.findings) {
        if (!reported(document.options().verdict(finding))) {
            continue;
        }
        const Json& diagnostic = published.at(index++);
        const bool touches =
            (finding.offset <= end && std::max(finding.end, finding.offset) >= begin) || named(context, diagnostic);
        if (!touches || !wanted(context, "quickfix")) {
            continue;
        }
        if (finding.fix) {
            Json edits = Json::array();
            std::transform(
                finding.fix->replacements.begin(), finding.fix->replacements.end(), std::back_inserter(edits),
                [&](const Replacement& replacement) {
                    return Json{
                        {"range", to_json(document.range(replacement.begin, replacement.end, session.encoding))},
                        {"newText", replacement.text}};
                });
            const bool certain = finding.fix->kind == FixKind::Certain;
            actions.push_back({{"title", (certain ? "" : "Guess: ") + finding.fix->title},
                               {"kind", "quickfix"},
                               {"diagnostics", Json::array({diagnostic})},
                               {"isPreferred", certain},
                               {"edit", workspace_edit(document, std::move(edits), session)}});
        }
        // A team that judges the warning excuses it on its line, as linters offer.
        if (finding.category != Category::Encoding && finding.category != Category::UnusedIgnore) {
            ignores.push_back({{"title", "Ignore this warning on this line"},
                               {"kind", "quickfix"},
                               {"diagnostics", Json::array({diagnostic})},
                               {"edit", ignore_edit(document, finding, session)}});
        }
    }
    // The fixes first: a client that takes the first offered takes a fix, not an ignore.
    actions.insert(actions.end(), ignores.begin(), ignores.end());
    if (wanted(context, "source.fixAll.morvcfg")) {
        const FixedText fixed = fix_text(document.text(), document.options(), false);
        if (fixed.bytes != document.text()) {
            Json edits = Json::array({{{"range", to_json(document.range(0, document.text().size(), session.encoding))},
                                       {"newText", fixed.bytes}}});
            actions.push_back({{"title", "Apply all certain fixes (" + std::to_string(fixed.applied) + ")"},
                               {"kind", "source.fixAll.morvcfg"},
                               {"edit", workspace_edit(document, std::move(edits), session)}});
        }
    }
    return actions;
}

}  // namespace morvcfg::lsp
