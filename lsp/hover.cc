#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "checker/analysis/directive_help.h"
#include "lsp/handlers.h"

namespace morvcfg::lsp {
namespace {

// Which generated file holds a setting.
std::string_view holder(const std::string& name) {
    if (name.starts_with("ETH0_")) {
        return "morv_cfg.h";
    }
    return name.ends_with("_START_ADDRESS") ? "the pass-through output" : "morv_cfg.c";
}

// Why the generated value of a setting differs from what `line` gives it: a later line sets it
// again, or the derivation moves it into the subnet.
std::string why_different(const Document& document, const DirectiveLine& line, const Setting& setting) {
    if (const DirectiveLine* later = set_again_later(document.analysis(), line, setting.name)) {
        return "line " + std::to_string(line_number(document, later->offset)) + " (" +
               std::string(later->row->keyword) + ") sets it last";
    }
    if (setting.name == "GateWay" || setting.name == "DomainNameServer") {
        return "moved into this host's subnet, keeping its host part";
    }
    return "";
}

// A table in the hover: Markdown's, or columns padded with spaces for a client that shows plain
// text.
std::string table(const std::vector<std::array<std::string, 3>>& rows, bool plain) {
    std::string text;
    if (!plain) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            text += "| " + rows[i][0] + " | " + rows[i][1] + " | " + rows[i][2] + " |\n";
            text += i == 0 ? "|---|---|---|\n" : "";
        }
        return text;
    }
    std::array<std::size_t, 2> width{};
    for (const auto& row : rows) {
        width[0] = std::max(width[0], row[0].size());
        width[1] = std::max(width[1], row[1].size());
    }
    for (const auto& row : rows) {
        text += row[0] + std::string(width[0] - row[0].size() + 2, ' ') + row[1] +
                std::string(width[1] - row[1].size() + 2, ' ') + row[2] + "\n";
    }
    return text;
}

// What a directive line sets: the value it gives each setting, the value the generated files
// hold, and why the two differ.
std::string directive_text(const Document& document, const DirectiveLine& directive, bool plain) {
    const DirectiveHelp& help = help_for(*directive.row);
    const std::string keyword(directive.row->keyword);
    std::string text = (plain ? keyword : "**" + keyword + "**") + ": " + std::string(help.summary) + "\n\n";
    if (directive.settings.empty()) {
        return text + "This line sets nothing.\n";
    }
    const std::map<std::string, std::string> generated = generated_settings(document.analysis());
    std::vector<std::array<std::string, 3>> rows{{"setting", "this line gives", "generated"}};
    std::string reasons;
    for (const Setting& setting : directive.settings) {
        const auto found = generated.find(setting.name);
        const std::string final_value = found != generated.end() ? found->second : "";
        rows.push_back({setting.name, setting.given.empty() ? setting.value : setting.given, final_value});
        if (!setting.note.empty()) {
            reasons += "- " + setting.name + ": " + setting.note + "\n";
        }
        if (final_value != setting.value) {
            reasons += "- " + setting.name + " in " + std::string(holder(setting.name)) + " is " + final_value + ": " +
                       why_different(document, directive, setting) + "\n";
        }
    }
    return text + table(rows, plain) + (reasons.empty() ? "" : "\n" + reasons);
}

}  // namespace

Json hover(const Document& document, Position position, const Session& session) {
    const CheckResult& result = document.analysis();
    const std::uint64_t line = position.line;
    const std::uint64_t begin = document.line_start(line);
    const std::uint64_t end = document.line_end(line);
    std::string text;
    const auto directive = std::find_if(result.directives.begin(), result.directives.end(),
                                        [&](const DirectiveLine& d) { return d.offset >= begin && d.offset <= end; });
    if (directive != result.directives.end()) {
        text = directive_text(document, *directive, session.plain_hover);
    }
    // The warnings on the line say what else happens to it (a component kept, text ignored, or why
    // a line that looks like a directive is ordinary text).
    std::string warnings;
    for (const Finding& finding : result.findings) {
        if (finding.offset >= begin && finding.offset <= end && reported(document.options().verdict(finding))) {
            warnings += "- " + finding.message + " [" + std::string(name_of(finding.category)) + "]\n";
        }
    }
    if (!warnings.empty()) {
        text += (text.empty() ? "" : "\n") + std::string("Warnings on this line:\n") + warnings;
    }
    if (text.empty()) {
        return nullptr;
    }
    return {{"contents", {{"kind", session.plain_hover ? "plaintext" : "markdown"}, {"value", text}}},
            {"range", to_json(document.range(begin, end, session.encoding))}};
}

}  // namespace morvcfg::lsp
