#include "checker/analysis/ignores.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/categories.h"
#include "checker/analysis/messages.h"
#include "translator/text_reader.h"

namespace morvcfg {
namespace {

constexpr std::string_view kMarker = "morvcfg-check:";

}  // namespace

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
        text.remove_suffix(1);
    }
    return text;
}

// The names in a bracket that starts at `open` in the piece (which starts at `start` in the text);
// the index after the bracket, or after the piece when it is not closed.
std::size_t read_names(std::string_view piece, std::size_t open, std::uint64_t start, const FileLayout& layout,
                       IgnoreComment& ignore) {
    ignore.all = false;
    const std::size_t close = piece.find(']', open);
    ignore.unclosed = close == std::string_view::npos;
    if (ignore.unclosed) {
        return piece.size();
    }
    for (std::size_t name_start = open + 1; name_start <= close;) {
        const std::size_t name_end = std::min(piece.find(',', name_start), close);
        const std::string_view name = trimmed(piece.substr(name_start, name_end - name_start));
        if (!name.empty()) {
            const auto at = static_cast<std::uint64_t>(name.data() - piece.data());
            ignore.names.emplace_back(std::string(name), layout.file_offset(start + at));
        }
        name_start = name_end + 1;
    }
    return close + 1;
}

// The ignore whose marker stands at `at` in the piece, or nothing when the words after the marker
// are not an ignore.
std::optional<IgnoreComment> read_ignore(std::string_view piece, std::size_t at, std::uint64_t start,
                                         const FileLayout& layout) {
    std::size_t i = at + kMarker.size();
    while (i < piece.size() && is_space_or_tab(piece[i])) {
        ++i;
    }
    IgnoreComment ignore;
    const std::string_view word = piece.substr(i);
    if (word.starts_with("ignore-next-line")) {
        ignore.next_line = true;
        i += 16;
    } else if (word.starts_with("ignore")) {
        i += 6;
    } else {
        return std::nullopt;  // another note to morvcfg-check's readers, not an ignore
    }
    if (i < piece.size() && (is_name_char(piece[i]) || piece[i] == '-')) {
        return std::nullopt;  // "ignored", "ignores": words, not the ignore
    }
    if (i < piece.size() && piece[i] == '[') {
        i = read_names(piece, i, start, layout, ignore);
    }
    ignore.offset = layout.file_offset(start + at);
    ignore.end = layout.file_offset(start + i - 1) + 1;
    return ignore;
}

}  // namespace

void IgnoreReader::read(std::string_view piece, std::uint64_t start, const CReading& c_reading,
                        const FileLayout& layout) {
    for (std::size_t at = piece.find(kMarker); at != std::string_view::npos; at = piece.find(kMarker, at + 1)) {
        if (c_reading.role(at) != CReading::Role::Comment) {
            continue;
        }
        // The ignore ends with its comment: a bracket it leaves open is not closed by another.
        std::size_t end = at;
        while (end < piece.size() && c_reading.role(end) == CReading::Role::Comment) {
            ++end;
        }
        if (std::optional<IgnoreComment> ignore = read_ignore(piece.substr(0, end), at, start, layout)) {
            ignores_.push_back(std::move(*ignore));
        }
    }
}

namespace {

// A -Wunused-ignore warning about [offset, end).
Finding unused_ignore(std::uint64_t offset, std::uint64_t end, std::string message) {
    Finding finding;
    finding.offset = offset;
    finding.end = end;
    finding.category = Category::UnusedIgnore;
    finding.message = std::move(message);
    return finding;
}

// The categories an ignore names, each with whether it has excused a warning yet; a warning for
// each name that is none, or names what cannot be ignored on one line.
std::map<Category, bool> named_categories(const IgnoreComment& ignore, const std::string& written,
                                          std::vector<Finding>& unused) {
    std::map<Category, bool> named;
    for (const auto& [name, offset] : ignore.names) {
        const std::optional<Category> category = category_named(name);
        const std::uint64_t end = offset + name.size();
        std::string message;
        if (!category) {
            const std::string_view near = nearest_category(name);
            message.append("unknown warning category ").append(quoted(name)).append(" in the ").append(written);
            message.append(near.empty() ? "; morvcfg-check --help lists them"
                                        : "; did you mean '" + std::string(near) + "'?");
        } else if (!excusable_on_its_line(*category)) {
            message.append("-W").append(name).append(" is about ");
            message.append(*category == Category::Encoding ? "the file as a whole" : "ignores themselves");
            message.append(" and cannot be ignored on one line; a project file can silence it");
        } else {
            named.emplace(*category, false);
            continue;
        }
        unused.push_back(unused_ignore(offset, end, std::move(message)));
    }
    return named;
}

// Marks the warnings of `line` that the ignore excuses; true when it excuses any.
// The findings are in file order: only those from the line's start on are looked at, up to the
// first on a later line.
bool excuse(CheckResult& result, const IgnoreComment& ignore, std::uint64_t line, std::map<Category, bool>& named) {
    const std::vector<std::uint64_t>& feeds = result.line_feeds;
    const std::uint64_t start =
        line < 2 || line - 2 >= feeds.size() ? 0 : feeds[static_cast<std::size_t>(line - 2)] + 1;
    bool any = false;
    for (auto finding = std::lower_bound(result.findings.begin(), result.findings.end(), start,
                                         [](const Finding&f, std::uint64_t at) { return f.offset < at; });
         finding != result.findings.end(); ++finding) {
        const std::uint64_t on = line_and_column(result, finding->offset).first;
        if (on > line) {
            break;
        }
        if (finding->ignored_at || finding->category == Category::Encoding || on != line) {
            continue;
        }
        const auto found = named.find(finding->category);
        if (ignore.all || found != named.end()) {
            finding->ignored_at = ignore.offset;
            any = true;
            if (found != named.end()) {
                found->second = true;
            }
        }
    }
    return any;
}

}  // namespace

std::optional<Replacement> ignore_edit(std::string_view text, const CheckResult& result, const Finding& finding) {
    const Category category = finding.category;
    return ignore_edit(text, result, line_and_column(result, finding.offset).first, {&category, 1});
}

std::optional<Replacement> ignore_edit(std::string_view text, const CheckResult& result, std::uint64_t line,
                                       std::span<const Category> categories) {
    if (categories.empty() || !std::all_of(categories.begin(), categories.end(), excusable_on_its_line)) {
        return std::nullopt;
    }
    // In a file the checker takes for UTF-16, a comment written in bytes of one would be no text.
    for (auto finding = result.findings.begin(); finding != result.findings.end() && finding->offset == 0; ++finding) {
        if (finding->category == Category::Encoding) {
            return std::nullopt;
        }
    }
    const auto feed_of = [&result](std::uint64_t number) {
        return static_cast<std::size_t>(result.line_feeds[static_cast<std::size_t>(number - 1)]);
    };
    const std::size_t begin = line == 1 ? static_cast<std::size_t>(result.byte_order_mark) : feed_of(line - 1) + 1;
    const bool last = line > result.line_feeds.size();
    const std::size_t feed = last ? text.size() : feed_of(line);
    const bool crlf = !last && feed > begin && text[feed - 1] == '\r';
    const std::size_t end = crlf ? feed - 1 : feed;
    std::string name;
    for (const Category category : categories) {
        name.append(name.empty() ? "" : ", ").append(name_of(category));
    }
    const auto listed = [](const std::vector<std::uint64_t>& lines, std::uint64_t number) {
        return std::binary_search(lines.begin(), lines.end(), number);
    };
    // The directive lines are in file order.
    const auto directive = std::lower_bound(result.directives.begin(), result.directives.end(), begin,
                                            [](const DirectiveLine& d, std::uint64_t at) { return d.offset < at; });
    const bool directive_line = directive != result.directives.end() && directive->offset == begin;
    const std::string comment = "  /* morvcfg-check: ignore[" + name + "] */";
    const std::string_view line_text = text.substr(begin, end - begin);
    // The line starts and ends where C reads code: not inside a comment or a literal that another
    // line opened, or that this one leaves open, and not joined to the line before or after.
    const bool whole_c_line = !listed(result.continued_lines, line) && !listed(result.lines_ending_open, line) &&
                              !listed(result.continued_lines, line - 1) && !listed(result.lines_ending_open, line - 1);
    if (directive_line && whole_c_line && line_text.size() + comment.size() <= kMaxPiece &&
        line_text.find_first_of(std::string_view("\r\0\x1a", 3)) == std::string_view::npos) {
        // A lone CR, a NUL or a Ctrl-Z: what stands after it is on another line, or never read.
        return Replacement{end, end, comment};
    }
    if (line > 1 && listed(result.continued_lines, line - 1)) {
        return std::nullopt;  // the line before would take the comment's line into its own
    }
    // The line's own line end; a last line without one takes the file's.
    const bool crlf_file = crlf || (last && !result.line_feeds.empty() && result.line_feeds.back() > 0 &&
                                    text[static_cast<std::size_t>(result.line_feeds.back()) - 1] == '\r');
    return Replacement{begin, begin, "// morvcfg-check: ignore-next-line[" + name + "]" + (crlf_file ? "\r\n" : "\n")};
}

void apply_ignores(CheckResult& result, const std::vector<IgnoreComment>& ignores) {
    std::vector<Finding> unused;
    for (const IgnoreComment& ignore : ignores) {
        const std::uint64_t line = line_and_column(result, ignore.offset).first + (ignore.next_line ? 1 : 0);
        const std::string written = ignore.next_line ? "ignore-next-line" : "ignore";
        if (ignore.unclosed) {
            std::string message = "the " + written;
            message.append(" has a '[' without its ']', so it excuses nothing: write ").append(written);
            message.append("[NAME, ...]");
            unused.push_back(unused_ignore(ignore.offset, ignore.end, std::move(message)));
            continue;
        }
        std::map<Category, bool> named = named_categories(ignore, written, unused);
        if (!excuse(result, ignore, line, named) && ignore.all) {
            unused.push_back(unused_ignore(
                ignore.offset, ignore.end,
                "this " + written + " excuses nothing: line " + std::to_string(line) + " has no warning"));
        }
        // Each name that excused nothing, once, in the order the ignore writes them.
        for (const auto& [name, offset] : ignore.names) {
            const std::optional<Category> category = category_named(name);
            const auto found = category ? named.find(*category) : named.end();
            if (found == named.end() || found->second) {
                continue;
            }
            found->second = true;
            std::string message = "this " + written;
            message.append(" excuses nothing of -W").append(name_of(*category)).append(": line ");
            message.append(std::to_string(line)).append(" has no such warning");
            unused.push_back(unused_ignore(ignore.offset, ignore.end, std::move(message)));
        }
    }
    // Each in its place in file order, after those already at that place.
    for (Finding& finding : unused) {
        const auto at = std::upper_bound(result.findings.begin(), result.findings.end(), finding.offset,
                                         [](std::uint64_t offset, const Finding& f) { return offset < f.offset; });
        result.findings.insert(at, std::move(finding));
    }
}

}  // namespace morvcfg
