#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/analysis/categories.h"
#include "generator/net_config.h"
#include "translator/directive_table.h"

namespace morvcfg {

// Something the checker points at: a byte offset in the file as it is on disk, or a place in
// another file (one that an #include names).
struct Note {
    Note() = default;
    Note(std::uint64_t at, std::string text) : offset(at), message(std::move(text)) {}

    std::uint64_t offset = 0;
    std::string message;
    // For a place in another file: its name as reports show it, the line and the column (from 1,
    // in bytes) and the text of that line; `offset` is then its warning's.
    std::string file;
    std::uint64_t line = 0;
    std::uint64_t column = 0;
    std::string line_text;
};

// The bytes [begin, end) of the file, offsets as on disk, replaced by `text` (an empty text deletes
// them, an empty range inserts it). A replacement never holds or crosses a line end.
struct Replacement {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    std::string text;
};

// note [certain fixes and guesses]: people apply fixes unread (--fix, an editor's fix-all on
// save), so a certain fix makes a line say only what it evidently means: it never removes or
// changes a digit, which would erase the one sign that the author meant another value, and it
// never touches a line in a comment or in a conditional block the build decides, which it might
// make apply on every board. A guess writes out the one evident reading of a value, or rests on the
// checker's reading of a typo, and is applied only with --unsafe-fixes. A fix is all of its
// replacements or none of them.
enum class FixKind { Certain, Guess };

struct Fix {
    FixKind kind = FixKind::Certain;
    std::vector<Replacement> replacements;
    // What it does, in words: "Remove the indent"; for a guess, what it guesses ("MORV_NTPCFG").
    std::string title;
};

struct Finding {
    // The bytes the warning is about, [offset, end); end == offset points at one place.
    std::uint64_t offset = 0;
    std::uint64_t end = 0;
    Category category = Category::Operand;
    std::string message;
    std::vector<Note> notes;
    std::optional<Fix> fix;
    // Where the comment that excuses this warning stands (morvcfg-check: ignore), if one does.
    std::optional<std::uint64_t> ignored_at{};
};

// A setting a directive line gives: the name the generated files use for it, and the value as the
// line leaves it in the record (before derivation).
struct Setting {
    std::string name;
    std::string value;
    // The operand as the line writes it, where the value is not simply that ("127.0.1"), and why
    // the value differs from it.
    std::string given{};
    std::string note{};
};

// A directive line, for the explanations of an editor: where its keyword stands, where its line
// ends, and what it sets.
struct DirectiveLine {
    std::uint64_t offset = 0;
    std::uint64_t end = 0;
    const Directive* row = nullptr;
    std::vector<Setting> settings;
};

// Everything the checker learned from one description file.
struct CheckResult {
    bool read_failed = false;
    // Warnings in file order, each with its notes.
    std::vector<Finding> findings;
    // The record as the translator would write it (after derivation), and the network address.
    NetConfig config;
    Address network{};
    // The defines the pass-through output would hold, in order: each name and its value as written
    // ("0x" and eight digits).
    std::vector<std::pair<std::string, std::string>> defines;
    // The directive lines in file order.
    std::vector<DirectiveLine> directives;
    // Offsets of the file's line feeds, to turn offsets into lines and columns.
    std::vector<std::uint64_t> line_feeds;
    // The size of the byte-order mark the file starts with (0 without one): the first line's
    // columns count from after it.
    std::uint64_t byte_order_mark = 0;
    // The lines (from 1, in order) whose end C reads as no end: a backslash continues them, or a
    // /* */ comment or a literal is still open there. Text added at such a line's end, or after a
    // continued one, would not be read as written.
    std::vector<std::uint64_t> continued_lines;
    std::vector<std::uint64_t> lines_ending_open;
};

// The longest part of a line that messages and reports show of it.
inline constexpr std::size_t kMaxShownLine = 4096;

// Line and column, both from 1, of a file offset; the column counts bytes.
std::pair<std::uint64_t, std::uint64_t> line_and_column(const CheckResult& result, std::uint64_t offset);

}  // namespace morvcfg

namespace morvcfg {

// The warnings of one file, collected as the analysis finds them.
class FindingList {
public:
    // Adds a warning about the place `offset`; its notes, range and fix may be added to the result.
    Finding& warn(std::uint64_t offset, Category category, std::string message);
    // Adds a warning about the bytes [begin, end).
    Finding& warn(std::uint64_t begin, std::uint64_t end, Category category, std::string message);
    // The warnings found so far, in the order they were added.
    std::span<Finding> all() { return findings_; }
    // The warning at `index` in the order they were added, and the index of one.
    Finding& at(std::size_t index) { return findings_[index]; }
    [[nodiscard]] std::size_t index_of(const Finding& finding) const {
        return static_cast<std::size_t>(&finding - findings_.data());
    }
    // Takes back every warning of `category` found so far.
    void forget(Category category);
    // The warnings in file order; those at one place in the order they were found.
    std::vector<Finding> take();

private:
    std::vector<Finding> findings_;
};

}  // namespace morvcfg
