#include <algorithm>
#include <cctype>
#include <string>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/directive_help.h"
#include "lsp/handlers.h"

namespace morvcfg::lsp {
namespace {

// A snippet as plain text: each ${1:value} as its value.
std::string plain(std::string_view snippet) {
    std::string text;
    for (std::size_t i = 0; i < snippet.size(); ++i) {
        if (snippet.substr(i).starts_with("${")) {
            const std::size_t colon = snippet.find(':', i);
            const std::size_t close = snippet.find('}', i);
            text.append(snippet.substr(colon + 1, close - colon - 1));
            i = close;
        } else {
            text += snippet[i];
        }
    }
    return text;
}

}  // namespace

Json completion(const Document& document, Position position, const Session& session) {
    // Only at the start of a line: a directive must start in the first column.
    const std::uint64_t begin = document.line_start(position.line);
    const std::uint64_t at = document.offset(position, session.encoding);
    const std::string_view typed =
        std::string_view(document.text()).substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(at - begin));
    const bool word = std::all_of(typed.begin(), typed.end(), is_name_char);
    Json items = Json::array();
    if (!word) {
        return items;
    }
    const Range replaced = document.range(begin, at, session.encoding);
    for (const Directive& row : kDirectives) {
        const std::string snippet = snippet_for(row);
        Json item = {
            {"label", row.keyword},      {"kind", 14},  // keyword
            {"detail", plain(snippet)},  {"documentation", help_for(row).summary},
            {"filterText", row.keyword},
        };
        if (session.snippets) {
            item["insertTextFormat"] = 2;
            item["textEdit"] = {{"range", to_json(replaced)}, {"newText", snippet}};
        } else {
            item["insertTextFormat"] = 1;
            item["textEdit"] = {{"range", to_json(replaced)}, {"newText", row.keyword}};
        }
        items.push_back(std::move(item));
    }
    return {{"isIncomplete", false}, {"items", std::move(items)}};
}

}  // namespace morvcfg::lsp
