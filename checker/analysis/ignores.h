#pragma once

// In-line ignores: a comment, as C reads one, that excuses the warnings of one line.
//   MORV_DEFGW(10.0.0.1);  /* morvcfg-check: ignore[subnet-move] */
//   // morvcfg-check: ignore-next-line[conditional-directive, not-directive]
// Without a bracket every category is excused. An ignore that excuses nothing, or names no
// category, is a warning of its own (-Wunused-ignore), so that a stale one does not stay unseen.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/c_reading.h"
#include "checker/analysis/file_layout.h"
#include "checker/analysis/findings.h"

namespace morvcfg {

struct IgnoreComment {
    std::uint64_t offset = 0;  // where "morvcfg-check:" starts in the file
    std::uint64_t end = 0;     // after the ignore's last character
    bool next_line = false;    // ignore-next-line
    bool all = true;           // no bracket: every category
    bool unclosed = false;     // a bracket without its ']'
    // The names in the bracket as written, each with where it starts in the file.
    std::vector<std::pair<std::string, std::uint64_t>> names;
};

// Finds the ignores in the pieces of a file as the check reads them.
class IgnoreReader {
public:
    // Reads the piece just read by `c_reading`, which starts at `start` in the text.
    void read(std::string_view piece, std::uint64_t start, const CReading& c_reading, const FileLayout& layout);
    [[nodiscard]] std::vector<IgnoreComment> take() { return std::move(ignores_); }

private:
    std::vector<IgnoreComment> ignores_;
};

// Whether an ignore comment can excuse a warning of this kind on its line: not -Wencoding, about the
// file as a whole, nor -Wunused-ignore, about ignores themselves. Only -Wno-NAME silences those.
constexpr bool excusable_on_its_line(Category category) {
    return category != Category::Encoding && category != Category::UnusedIgnore;
}

// Marks each finding an ignore excuses (Finding::ignored_at), and adds a -Wunused-ignore warning for
// each ignore, or name in one, that excuses nothing. -Wencoding, about the file as a whole, cannot
// be excused on one line.
void apply_ignores(CheckResult& result, const std::vector<IgnoreComment>& ignores);

// note [ignore edits]: the edit that excuses a warning with a comment, as an editor's "Ignore this
// warning on this line" writes it. On a directive line, which never reaches the pass-through
// output, the comment goes at the end; before any other line, it is a line of its own, with the
// line's own line end. Either way C and morvcfg read the rest as before: the end of a line C
// continues (a backslash, an open /* */ comment) takes no comment, a directive line no longer than
// a piece stays so, and no line goes in after a line a backslash continues. Nothing where no edit
// can keep that, or for a warning no ignore excuses (-Wencoding, -Wunused-ignore).
std::optional<Replacement> ignore_edit(std::string_view text, const CheckResult& result, const Finding& finding);
// The same for the warnings of several kinds on one line (from 1): one comment names them all.
std::optional<Replacement> ignore_edit(std::string_view text, const CheckResult& result, std::uint64_t line,
                                       std::span<const Category> categories);

}  // namespace morvcfg
