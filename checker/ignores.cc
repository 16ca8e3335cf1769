#include "checker/ignores.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <set>
#include <utility>

#include "checker/categories.h"
#include "checker/messages.h"

namespace morvcfg {
namespace {

constexpr std::string_view kMarker = "morvcfg-check:";

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// The category nearest to a name that is none, as the command line suggests one; empty when none
// is near.
std::string_view nearest_category(std::string_view name) {
    std::string_view nearest;
    std::size_t best = 0;
    for (const WarningCategory& category : kWarningCategories) {
        const std::size_t distance = edit_distance(name, category.name);
        if (nearest.empty() || distance < best) {
            nearest = category.name;
            best = distance;
        }
    }
    return best <= std::max<std::size_t>(2, name.size() / 3) ? nearest : std::string_view();
}

}  // namespace

void IgnoreReader::read(std::string_view piece, std::uint64_t start, const CReading& c_reading,
                        const FileLayout& layout) {
    for (std::size_t at = piece.find(kMarker); at != std::string_view::npos; at = piece.find(kMarker, at + 1)) {
        if (c_reading.role(at) != CReading::Role::Comment) {
            continue;
        }
        std::size_t i = at + kMarker.size();
        while (i < piece.size() && (piece[i] == ' ' || piece[i] == '\t')) {
            ++i;
        }
        IgnoreComment ignore;
        std::string_view word = piece.substr(i);
        if (word.starts_with("ignore-next-line")) {
            ignore.next_line = true;
            i += 16;
        } else if (word.starts_with("ignore")) {
            i += 6;
        } else {
            continue;  // another note to morvcfg-check's readers, not an ignore
        }
        if (i < piece.size() && is_name_char(piece[i])) {
            continue;  // "ignored", "ignores": words, not the ignore
        }
        if (i < piece.size() && piece[i] == '[') {
            ignore.all = false;
            const std::size_t close = piece.find(']', i);
            ignore.unclosed = close == std::string_view::npos;
            const std::size_t list_end = ignore.unclosed ? piece.size() : close;
            std::size_t name_start = i + 1;
            while (name_start <= list_end) {
                std::size_t name_end = std::min(piece.find(',', name_start), list_end);
                std::string_view name = piece.substr(name_start, name_end - name_start);
                std::size_t lead = 0;
                while (lead < name.size() && (name[lead] == ' ' || name[lead] == '\t')) {
                    ++lead;
                }
                name.remove_prefix(lead);
                while (!name.empty() &&
                       (name.back() == ' ' || name.back() == '\t' || name.back() == '\r' || name.back() == '\n')) {
                    name.remove_suffix(1);
                }
                if (!name.empty() && !ignore.unclosed) {
                    ignore.names.emplace_back(std::string(name), layout.file_offset(start + name_start + lead));
                }
                name_start = name_end + 1;
            }
            i = ignore.unclosed ? list_end : close + 1;
        }
        ignore.offset = layout.file_offset(start + at);
        ignore.end = layout.file_offset(start + i - 1) + 1;
        ignores_.push_back(std::move(ignore));
    }
}

void apply_ignores(CheckResult& result, const std::vector<IgnoreComment>& ignores) {
    std::vector<Finding> unused;
    for (const IgnoreComment& ignore : ignores) {
        const std::uint64_t line = line_and_column(result, ignore.offset).first + (ignore.next_line ? 1 : 0);
        const std::string written = ignore.next_line ? "ignore-next-line" : "ignore";
        const auto warn = [&](std::uint64_t offset, std::uint64_t end, std::string message) {
            Finding finding;
            finding.offset = offset;
            finding.end = end;
            finding.category = Category::UnusedIgnore;
            finding.message = std::move(message);
            unused.push_back(std::move(finding));
        };
        if (ignore.unclosed) {
            warn(ignore.offset, ignore.end,
                 "the " + written + " has a '[' without its ']', so it excuses nothing: write " + written +
                     "[NAME, ...]");
            continue;
        }
        // The categories it names, each with whether it excused a warning.
        std::map<Category, bool> named;
        for (const auto& [name, offset] : ignore.names) {
            const std::optional<Category> category = category_named(name);
            const std::uint64_t end = offset + name.size();
            if (!category) {
                const std::string_view near = nearest_category(name);
                warn(offset, end,
                     "unknown warning category " + quoted(name) + " in the " + written +
                         (near.empty() ? "; morvcfg-check --help lists them"
                                       : "; did you mean '" + std::string(near) + "'?"));
            } else if (*category == Category::Encoding || *category == Category::UnusedIgnore) {
                warn(offset, end,
                     "-W" + name + " is about " +
                         (*category == Category::Encoding ? std::string("the file as a whole")
                                                          : std::string("ignores themselves")) +
                         " and cannot be ignored on one line; a project file can silence it");
            } else {
                named.emplace(*category, false);
            }
        }
        bool excused = false;
        for (Finding& finding : result.findings) {
            if (finding.ignored_at || finding.category == Category::Encoding ||
                line_and_column(result, finding.offset).first != line) {
                continue;
            }
            const auto found = named.find(finding.category);
            if (ignore.all || found != named.end()) {
                finding.ignored_at = ignore.offset;
                excused = true;
                if (found != named.end()) {
                    found->second = true;
                }
            }
        }
        if (ignore.all && !excused) {
            warn(ignore.offset, ignore.end,
                 "this " + written + " excuses nothing: line " + std::to_string(line) + " has no warning");
        }
        for (const auto& [category, used] : named) {
            if (!used) {
                warn(ignore.offset, ignore.end,
                     "this " + written + " excuses nothing of -W" + std::string(name_of(category)) + ": line " +
                         std::to_string(line) + " has no such warning");
            }
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
