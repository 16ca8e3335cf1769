#include <algorithm>
#include <iterator>

#include "checker/analysis/explanations.h"
#include "lsp/handlers.h"

namespace morvcfg::lsp {

Position position_from(const Json& json) {
    return {json.at("line").get<std::uint64_t>(), json.at("character").get<std::uint64_t>()};
}

Range range_from(const Json& json) {
    return {position_from(json.at("start")), position_from(json.at("end"))};
}

const DirectiveLine* set_again_later(const CheckResult& result, const DirectiveLine& line, std::string_view name) {
    const auto later = std::find_if(result.directives.rbegin(), result.directives.rend(), [&](const DirectiveLine& d) {
        return d.offset > line.offset &&
               std::any_of(d.settings.begin(), d.settings.end(), [name](const Setting& s) { return s.name == name; });
    });
    return later != result.directives.rend() ? &*later : nullptr;
}

std::uint64_t line_number(const Document& document, std::uint64_t offset) {
    return document.position(offset, PositionEncoding::Utf8).line + 1;
}

std::string origin_words(const Document& document, const ValueOrigin& origin) {
    return origin_text(origin,
                       [&document](std::uint64_t at) { return "line " + std::to_string(line_number(document, at)); });
}

Json diagnostics(const Document& document, const Session& session) {
    Json list = Json::array();
    for (const Finding& finding : document.analysis().findings) {
        const Verdict verdict = document.options().verdict(finding);
        if (!reported(verdict)) {
            continue;
        }
        // A place without a range marks the character there, as long as it stays on its line.
        std::uint64_t end = finding.end;
        if (end == finding.offset) {
            const std::uint64_t line = document.position(finding.offset, PositionEncoding::Utf8).line;
            end = std::min(finding.offset + 1, document.line_end(line));
            end = std::max(end, finding.offset);
        }
        Json diagnostic = {
            {"range", to_json(document.range(finding.offset, end, session.encoding))},
            {"severity", verdict == Verdict::Error ? 1 : 2},  // error or warning
            {"code", name_of(finding.category)},
            {"codeDescription",
             {{"href", session.explanation_page.empty()
                           ? std::string("man:morvcfg-check(1)")
                           : session.explanation_page + "#" + std::string(explanation_anchor(finding.category))}}},
            {"source", "morvcfg-check"},
            {"message", finding.message},
        };
        if (!finding.notes.empty()) {
            Json related = Json::array();
            std::transform(
                finding.notes.begin(), finding.notes.end(), std::back_inserter(related), [&](const Note& note) {
                    if (!note.file.empty()) {
                        // A place in another file: its line, and its column counted in the
                        // session's encoding.
                        const Position place{
                            note.line - 1,
                            characters(
                                std::string_view(note.line_text).substr(0, static_cast<std::size_t>(note.column - 1)),
                                session.encoding)};
                        return Json{{"location", {{"uri", note.file}, {"range", to_json(Range{place, place})}}},
                                    {"message", note.message}};
                    }
                    return Json{{"location",
                                 {{"uri", document.uri()},
                                  {"range", to_json(document.range(note.offset, note.offset, session.encoding))}}},
                                {"message", note.message}};
                });
            diagnostic["relatedInformation"] = std::move(related);
        }
        list.push_back(std::move(diagnostic));
    }
    return {{"uri", document.uri()}, {"version", document.version()}, {"diagnostics", std::move(list)}};
}

}  // namespace morvcfg::lsp
