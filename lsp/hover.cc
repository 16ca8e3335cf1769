#include <algorithm>
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

// Why the generated value of a setting differs from what `line` gives it, from where the value
// comes from: a later line sets it again, or the derivation moves it into the subnet.
std::string why_different(const Document& document, const DirectiveLine& line, const ValueOrigin& origin) {
    if (origin.at && *origin.at != line.offset) {
        const auto& directives = document.analysis().directives;
        const auto later = std::find_if(directives.begin(), directives.end(),
                                        [&](const DirectiveLine& d) { return d.offset == *origin.at; });
        return "line " + std::to_string(line_number(document, *origin.at)) +
               (later != directives.end() ? " (" + std::string(later->row->keyword) + ")" : std::string()) +
               " sets it last";
    }
    if (origin.kind == ValueOrigin::Kind::Moved) {
        return "moved into this host's subnet" +
               (origin.subnet_at ? " (set at line " + std::to_string(line_number(document, *origin.subnet_at)) + ")"
                                 : std::string(" (the default one)")) +
               ", keeping its host part";
    }
    return "";
}

// A table in the hover: Markdown's, or columns padded with spaces for a client that shows plain
// text.
std::string table(const std::vector<std::vector<std::string>>& rows, bool plain) {
    std::string text;
    if (!plain) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            for (const std::string& cell : rows[i]) {
                text += "| " + cell + " ";
            }
            text += "|\n";
            if (i == 0) {
                for (std::size_t column = 0; column < rows[i].size(); ++column) {
                    text += "|---";
                }
                text += "|\n";
            }
        }
        return text;
    }
    std::vector<std::size_t> width(rows.empty() ? 0 : rows.front().size());
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size() && column < width.size(); ++column) {
            width[column] = std::max(width[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            text += row[column];
            if (column + 1 < row.size()) {
                text += std::string(width[column] - row[column].size() + 2, ' ');
            }
        }
        text += "\n";
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
    std::map<std::string, GeneratedSetting> generated;
    for (GeneratedSetting& setting : generated_settings_in_order(document.analysis())) {
        generated.emplace(setting.name, std::move(setting));
    }
    std::vector<std::vector<std::string>> rows{{"setting", "this line gives", "generated", "comes from"}};
    std::string reasons;
    for (const Setting& setting : directive.settings) {
        const auto found = generated.find(setting.name);
        const GeneratedSetting none{setting.name, "", {}};
        const GeneratedSetting& final_setting = found != generated.end() ? found->second : none;
        rows.push_back({setting.name, setting.given.empty() ? setting.value : setting.given, final_setting.value,
                        origin_words(document, final_setting.origin)});
        if (!setting.note.empty()) {
            reasons += "- " + setting.name + ": " + setting.note + "\n";
        }
        if (final_setting.value != setting.value) {
            reasons += "- " + setting.name + " in " + std::string(holder(setting.name)) + " is " + final_setting.value +
                       ": " + why_different(document, directive, final_setting.origin) + "\n";
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
