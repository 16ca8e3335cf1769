#include "checker/fixes/diff.h"

#include <algorithm>
#include <span>
#include <vector>

namespace morvcfg {
namespace {

// The lines of a text, each with its line feed.
std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

// One line of a diff: its mark, the line, and the note patch wants after a last line without a line
// feed.
void diff_line(std::string& out, char mark, std::string_view line) {
    out += mark;
    out.append(line);
    if (!line.ends_with('\n')) {
        out += "\n\\ No newline at end of file\n";
    }
}

// Where the lines of `after` that each line of `before` became start, and after the last where
// they end: one line each, unless a fix broke one, which then runs on to where the next line is
// found again (the last line takes what is left).
std::vector<std::size_t> lines_made(std::span<const std::string_view> before, std::span<const std::string_view> after) {
    std::vector<std::size_t> made(before.size() + 1, after.size());
    for (std::size_t i = 0, j = 0; i < before.size(); ++i) {
        made[i] = j;
        std::size_t take = i + 1 == before.size() ? after.size() - j : 1;
        const std::size_t spare = (after.size() - j) - (before.size() - i);
        for (std::size_t extra = 0; i + 1 < before.size() && before[i] != after[j] && extra <= spare; ++extra) {
            if (after[j + 1 + extra] == before[i + 1]) {
                take = 1 + extra;
                break;
            }
        }
        j += take;
    }
    return made;
}

bool line_changed(std::span<const std::string_view> before, std::span<const std::string_view> after,
                  std::span<const std::size_t> made, std::size_t line) {
    return made[line + 1] - made[line] != 1 || before[line] != after[made[line]];
}

// The lines of a hunk, from line `first` of `before` to `end`: each run of changed lines as diff
// writes it, the old lines and then the new ones.
void write_hunk(std::string& out, std::span<const std::string_view> before, std::span<const std::string_view> after,
                std::span<const std::size_t> made, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end;) {
        if (!line_changed(before, after, made, i)) {
            diff_line(out, ' ', before[i++]);
            continue;
        }
        std::size_t run_end = i;
        while (run_end < end && line_changed(before, after, made, run_end)) {
            ++run_end;
        }
        for (std::size_t k = i; k < run_end; ++k) {
            diff_line(out, '-', before[k]);
        }
        for (std::size_t k = made[i]; k < made[run_end]; ++k) {
            diff_line(out, '+', after[k]);
        }
        i = run_end;
    }
}

std::string hunk_range(std::size_t start, std::size_t count) {
    return std::to_string(start + 1) + (count == 1 ? "" : "," + std::to_string(count));
}

}  // namespace

std::string unified_diff(std::string_view name, std::string_view before, std::string_view after) {
    const std::vector<std::string_view> old_lines = lines_of(before);
    const std::vector<std::string_view> new_lines = lines_of(after);
    if (old_lines.empty() || new_lines.size() < old_lines.size()) {
        return "";  // nothing was fixed, or not by fixes
    }
    const std::vector<std::size_t> made = lines_made(old_lines, new_lines);
    const auto changed = [&](std::size_t i) { return line_changed(old_lines, new_lines, made, i); };
    constexpr std::size_t kContext = 3;
    const std::size_t count = old_lines.size();
    std::string out;
    std::size_t line = 0;
    while (line < count) {
        if (!changed(line)) {
            ++line;
            continue;
        }
        // A hunk: from three lines before the first change to three after the last change that is
        // within six lines of the one before it.
        const std::size_t first = line > kContext ? line - kContext : 0;
        std::size_t last_change = line;
        for (std::size_t next = line + 1; next < count && next <= last_change + 2 * kContext; ++next) {
            if (changed(next)) {
                last_change = next;
            }
        }
        const std::size_t end = std::min(count, last_change + kContext + 1);
        if (out.empty()) {
            out.append("--- ").append(name).append("\n+++ ").append(name).append("\n");
        }
        out +=
            "@@ -" + hunk_range(first, end - first) + " +" + hunk_range(made[first], made[end] - made[first]) + " @@\n";
        write_hunk(out, old_lines, new_lines, made, first, end);
        line = end;
    }
    return out;
}

}  // namespace morvcfg
