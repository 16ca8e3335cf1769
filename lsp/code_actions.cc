#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

#include "checker/analysis/ignores.h"
#include "checker/fixes/fix.h"
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

// The edit that excuses a warning with a comment (note [ignore edits]); none where no comment can.
std::optional<Json> ignore_edit(const Document& document, const Finding& finding, const Session& session) {
    const std::optional<Replacement> made = morvcfg::ignore_edit(document.text(), document.analysis(), finding);
    if (!made) {
        return std::nullopt;
    }
    const Json edit = {{"range", to_json(document.range(made->begin, made->end, session.encoding))},
                       {"newText", made->text}};
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
        if (std::optional<Json> edit = ignore_edit(document, finding, session)) {
            ignores.push_back({{"title", "Ignore this warning on this line"},
                               {"kind", "quickfix"},
                               {"diagnostics", Json::array({diagnostic})},
                               {"edit", std::move(*edit)}});
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
