#include "checker/forms/explanation_forms.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "checker/analysis/explanations.h"
#include "checker/analysis/source_display.h"

namespace morvcfg {
namespace {

// The paragraphs of a text, apart at blank lines.
std::vector<std::string_view> paragraphs(std::string_view text) {
    std::vector<std::string_view> found;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find("\n\n", at), text.size());
        found.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return found;
}

// The lines of a text, without their line feeds; none after a last line feed.
std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// The lines of a file's bytes as the checker shows them under a warning.
std::vector<std::string> shown_lines(std::string_view bytes) {
    const std::vector<std::string_view> raw = lines_of(bytes);
    std::vector<std::string> lines;
    std::transform(raw.begin(), raw.end(), std::back_inserter(lines),
                   [](std::string_view line) { return ShownLine(line).text(); });
    return lines;
}

// A paragraph folded at `width` columns, blanks between words.
std::string folded(std::string_view paragraph, std::size_t width) {
    std::string out;
    std::size_t line = 0;
    while (!paragraph.empty()) {
        const std::size_t end = std::min(paragraph.find(' '), paragraph.size());
        const std::string_view word = paragraph.substr(0, end);
        if (line > 0 && line + 1 + word.size() > width) {
            out += '\n';
            line = 0;
        } else if (line > 0) {
            out += ' ';
            ++line;
        }
        out.append(word);
        line += word.size();
        paragraph.remove_prefix(std::min(end + 1, paragraph.size()));
    }
    return out;
}

// Text with each `code` span written by `code` and the rest by `plain`.
template <typename Plain, typename Code>
std::string spans(std::string_view text, Plain plain, Code code) {
    std::string out;
    bool in_code = false;
    while (!text.empty()) {
        const std::size_t tick = std::min(text.find('`'), text.size());
        out += in_code ? code(text.substr(0, tick)) : plain(text.substr(0, tick));
        in_code = tick < text.size() ? !in_code : in_code;
        text.remove_prefix(std::min(tick + 1, text.size()));
    }
    return out;
}

std::string html_escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : c == '"' ? "&quot;" : std::string(1, c);
    }
    return out;
}

std::string html_paragraph(std::string_view text) {
    return "<p>" +
           spans(text, html_escaped, [](std::string_view code) { return "<code>" + html_escaped(code) + "</code>"; }) +
           "</p>\n";
}

// Text for groff: a backslash as \e, and in code a hyphen as a minus sign, so that an option can
// be copied from the page; a line that would start with a control character is guarded.
std::string groff_escaped(std::string_view text, bool code) {
    std::string out;
    for (const char c : text) {
        out += c == '\\' ? "\\e" : code && c == '-' ? "\\-" : std::string(1, c);
    }
    return out;
}

std::string groff_paragraph(std::string_view text) {
    std::string out = spans(
        text, [](std::string_view plain) { return groff_escaped(plain, false); },
        [](std::string_view code) { return "\\fB" + groff_escaped(code, true) + "\\fR"; });
    if (out.starts_with('.') || out.starts_with('\'')) {
        out.insert(0, "\\&");
    }
    return out + "\n";
}

}  // namespace

std::string explanation_text(Category category) {
    const Explanation& explanation = explanation_of(category);
    std::string out = "-W" + std::string(name_of(category)) + ": " + std::string(category_row(category).covers) + "\n";
    for (const std::string_view paragraph : paragraphs(explanation.meaning)) {
        out += "\n" + folded(paragraph, 80) + "\n";
    }
    out += "\nExample, " + std::string(kExampleName) + ":\n";
    for (const std::string& line : shown_lines(explanation.example)) {
        out += "    " + line + "\n";
    }
    if (!explanation.included.empty()) {
        out += "and beside it, " + std::string(kIncludedName) + ":\n";
        for (const std::string& line : shown_lines(explanation.included)) {
            out += "    " + line + "\n";
        }
    }
    out += "\nmorvcfg-check " + std::string(kExampleName) + " says:\n";
    for (const std::string_view line : lines_of(explanation.warning)) {
        out += "    " + std::string(line) + "\n";
    }
    out += "\n" + folded(fixing_of(category), 80) + "\n\n" + folded(silencing_of(category), 80) + "\n";
    return out;
}

std::string explanation_markdown(Category category) {
    const Explanation& explanation = explanation_of(category);
    std::string out =
        "**-W" + std::string(name_of(category)) + "**: " + std::string(category_row(category).covers) + "\n";
    for (const std::string_view paragraph : paragraphs(explanation.meaning)) {
        out += "\n" + std::string(paragraph) + "\n";
    }
    out += "\nExample, `" + std::string(kExampleName) + "`:\n\n```\n";
    for (const std::string& line : shown_lines(explanation.example)) {
        out += line + "\n";
    }
    out += "```\n";
    if (!explanation.included.empty()) {
        out += "\nand beside it, `" + std::string(kIncludedName) + "`:\n\n```\n";
        for (const std::string& line : shown_lines(explanation.included)) {
            out += line + "\n";
        }
        out += "```\n";
    }
    out += "\n`morvcfg-check " + std::string(kExampleName) + "` says:\n\n```\n" + std::string(explanation.warning) +
           "```\n\n" + fixing_of(category) + "\n\n" + silencing_of(category) + "\n";
    return out;
}

std::string explanations_man() {
    std::string out;
    for (const WarningCategory& row : kWarningCategories) {
        out += ".TP\n.B " + groff_escaped(row.name, true) + "\n";
        bool first = true;
        for (const std::string_view paragraph : paragraphs(explanation_of(row.category).meaning)) {
            out += (first ? "" : ".IP\n") + groff_paragraph(paragraph);
            first = false;
        }
        out += ".IP\n" + groff_paragraph(fixing_of(row.category));
    }
    return out;
}

std::string explanations_html() {
    std::string out =
        "<!DOCTYPE html>\n"
        "<html lang=\"en\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>morvcfg-check: the kinds of warning</title>\n"
        "<style>\n"
        "body { font-family: system-ui, sans-serif; line-height: 1.5; margin: 0 auto; max-width: 52rem; "
        "padding: 1rem; color: #1b1b1b; background: #fff; }\n"
        "code, pre { font-family: ui-monospace, monospace; }\n"
        "pre { background: #f3f3f3; padding: 0.5rem; overflow-x: auto; white-space: pre; }\n"
        "section { border-top: 1px solid #bbb; margin-top: 2rem; }\n"
        "nav ul { columns: 3 12rem; padding-left: 1.2rem; }\n"
        "a { color: #0645ad; }\n"
        "@media (prefers-color-scheme: dark) { body { color: #eee; background: #161616; } "
        "pre { background: #262626; } a { color: #8ab4f8; } }\n"
        "</style>\n"
        "</head>\n"
        "<body>\n"
        "<main>\n"
        "<h1>morvcfg-check: the kinds of warning</h1>\n"
        "<p>Each kind is named as its <code>-W</code> option names it. <code>morvcfg-check --explain NAME</code> "
        "prints the same explanation.</p>\n"
        "<nav aria-label=\"The kinds\">\n<ul>\n";
    for (const WarningCategory& row : kWarningCategories) {
        out += "<li><a href=\"#" + html_escaped(explanation_anchor(row.category)) + "\">" + html_escaped(row.name) +
               "</a></li>\n";
    }
    out += "</ul>\n</nav>\n";
    for (const WarningCategory& row : kWarningCategories) {
        const Explanation& explanation = explanation_of(row.category);
        const std::string name = html_escaped(row.name);
        const std::string anchor = html_escaped(explanation_anchor(row.category));
        out.append("<section id=\"").append(anchor).append("\" aria-labelledby=\"").append(anchor);
        out.append("-title\">\n<h2 id=\"").append(anchor).append("-title\"><code>-W").append(name);
        out.append("</code>: ").append(html_escaped(row.covers)).append("</h2>\n");
        for (const std::string_view paragraph : paragraphs(explanation.meaning)) {
            out += html_paragraph(paragraph);
        }
        out += "<h3>Example</h3>\n<p><code>" + html_escaped(kExampleName) + "</code>:</p>\n<pre tabindex=\"0\">";
        for (const std::string& line : shown_lines(explanation.example)) {
            out += html_escaped(line) + "\n";
        }
        out += "</pre>\n";
        if (!explanation.included.empty()) {
            out += "<p>and beside it, <code>" + html_escaped(kIncludedName) + "</code>:</p>\n<pre tabindex=\"0\">";
            for (const std::string& line : shown_lines(explanation.included)) {
                out += html_escaped(line) + "\n";
            }
            out += "</pre>\n";
        }
        out += "<p><code>morvcfg-check " + html_escaped(kExampleName) + "</code> says:</p>\n<pre tabindex=\"0\">" +
               html_escaped(explanation.warning) + "</pre>\n";
        out += "<h3>Fix</h3>\n" + html_paragraph(fixing_of(row.category));
        out += "<h3>Silence it</h3>\n" + html_paragraph(silencing_of(row.category));
        out += "</section>\n";
    }
    out += "</main>\n</body>\n</html>\n";
    return out;
}

}  // namespace morvcfg
