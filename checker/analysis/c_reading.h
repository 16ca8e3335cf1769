#pragma once

// The description file as C reads it: comments, string literals, preprocessor conditionals and
// includes. morvcfg reads lines and knows none of them; where the two readings part, a firmware
// engineer is surprised, and the checker says so.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checker/analysis/file_layout.h"
#include "checker/analysis/findings.h"
#include "translator/directive_table.h"
#include "translator/environment.h"
#include "translator/text_reader.h"

namespace morvcfg {

// A file an `#include "name"` names: its bytes, and its name as reports show it (a path on the
// command line, a URI in an editor).
struct IncludedFile {
    std::unique_ptr<ByteSource> source;
    std::string name;
};
// Opens the file an `#include "name"` names, where the C preprocessor looks first: beside the
// description file. Nothing when there is no such file.
using IncludeOpener = std::function<std::optional<IncludedFile>(std::string_view name)>;

// The path of the file `name` when an #include in the file `file` names it: beside that file,
// unless `name` is absolute.
std::string path_beside(std::string_view file, std::string_view name);

// How the notes about an included file name it: by its path (a command line), or by its URI (an
// editor).
enum class IncludeNames { Paths, Uris };
// The files the #include lines of the file at `file` name, opened beside it through `files`, the
// one way the tools reach files (note [one way to reach files]); none when `files` is null or
// `file` is empty (a page without files, an editor's unsaved document).
IncludeOpener includes_beside(Environment* files, std::string file, IncludeNames names);

// The first directive line of a file (the line that starts with a keyword), as a note about it
// shows it; nothing when the file holds none.
std::optional<Note> first_directive_line(ByteSource& file, const std::string& name);

class CReading {
public:
    // What a byte of the piece last read is to C.
    enum class Role : unsigned char { Code, Comment, Literal };

    CReading(FindingList& findings, const FileLayout& layout, const IncludeOpener& open_include)
        : findings_(findings), layout_(layout), open_include_(open_include) {}

    // Reads the next piece of the text, which starts at `start` in the text and is the directive
    // `row`, or ordinary text when null. Warns about a directive that C would not see (in a comment
    // or in a conditional block) and about a comment that a directive's line takes half of.
    void read(std::string_view piece, std::uint64_t start, const Directive* row);

    // Of the piece last read: what byte `index` is.
    [[nodiscard]] Role role(std::size_t index) const { return roles_[index]; }
    // True when the piece last read starts inside a comment opened before it.
    [[nodiscard]] bool starts_in_comment() const { return started_in_comment_; }
    // True when the piece last read stands in a block the C preprocessor skips (after `#if 0`).
    [[nodiscard]] bool skipped() const;
    // True when the C preprocessor certainly reads the piece last read: it stands in no conditional
    // block, or only in branches that are always taken (`#if 1`, an include guard).
    [[nodiscard]] bool certainly_read() const { return deciding_conditional() == nullptr; }
    // For a piece that is not certainly read: the note that points at its conditional, and says
    // that as a directive it would apply whatever the condition.
    [[nodiscard]] Note conditional_note() const;
    // True when the piece last read stands in what may be an include guard: an `#ifndef NAME` and
    // `#define NAME` before any other text, whose `#endif` has not come yet. Only the end of the
    // file tells whether it is one (note [include guards]).
    [[nodiscard]] bool in_possible_guard() const { return guard_ == Guard::Open; }
    // After the last piece: settles whether the possible include guard wraps the whole file, and
    // when it does not, warns about the directives in its block as about those of any conditional.
    void finish();
    // After finish(): true when the file has no include guard that turned out to be none.
    [[nodiscard]] bool guard_held() const { return guard_ != Guard::Broken; }
    // The note conditional_note() gives for a line in the block of an include guard that turned out
    // to be none.
    [[nodiscard]] Note guard_note() const;
    // The lines whose end a backslash continues, and those that end in an open /* */ comment or
    // literal, as CheckResult keeps them.
    void take_line_ends(std::vector<std::uint64_t>& continued, std::vector<std::uint64_t>& ending_open) {
        continued = std::move(continued_lines_);
        ending_open = std::move(open_lines_);
    }
    // True when the piece last read belongs to a preprocessor line (one whose code starts with #).
    [[nodiscard]] bool preprocessor_line() const { return piece_preprocessor_; }

private:
    enum class Mode { Code, BlockComment, LineComment, String, Character };
    // Whether the preprocessor reads a branch of a conditional: certainly, certainly not, or as
    // the build decides.
    enum class Branch { Read, Skipped, Unknown };
    // A place in the text and its line (from 1).
    struct Place {
        std::uint64_t offset = 0;
        std::uint64_t line = 0;
    };
    // A conditional block: where it opens and where the branch being read starts (`#elif`,
    // `#else`, or the opener), as offsets in the text, and their lines as messages quote them.
    struct Conditional {
        std::uint64_t opener = 0;
        std::string opener_text;
        std::uint64_t branch = 0;
        std::string branch_text;
        Branch state = Branch::Unknown;
        bool read_before = false;     // an earlier branch is read
        bool unknown_before = false;  // an earlier branch may be read
        std::string guard;            // the name of an `#ifndef NAME` that may be an include guard

        // Goes on to the branch that starts `at` (`#elif`, `#else`), which reads `text` and whose
        // condition alone decides `condition`.
        void next_branch(std::uint64_t at, const std::string& text, Branch condition);
    };
    // What a condition decides when it is a plain number; Unknown for any other.
    static Branch decided(std::string_view condition);
    // The name an `#if` condition asks is not defined ("!defined(NAME)"); empty for any other.
    static std::string_view guard_condition(std::string_view condition);

    void directive_warnings(const Directive& row, std::uint64_t start);
    // The warning about the directive `row` at `start` in the text, in a block of `deciding`.
    void conditional_directive(const Directive& row, std::uint64_t start, const Conditional& conditional);
    // The note that points at a conditional and says why a line in it gets no fix.
    [[nodiscard]] Note no_fix_note(const Conditional& deciding) const;
    // The conditional that decides whether the preprocessor reads the current line: the outermost
    // one it skips, or else the innermost one it may skip; null when it reads the line.
    [[nodiscard]] const Conditional* deciding_conditional() const;
    // One byte of the piece, at `index` in it, in each mode; and a line end.
    void code_byte(char c, std::size_t index);
    void literal_byte(char c, std::size_t index);
    void line_end();
    void end_line();
    // A preprocessor line; `first_code` when no code came before it in the file.
    void preprocessor_directive(std::string_view word, std::string_view operand, const std::string& text,
                                bool first_code);
    void check_include(std::string_view operand, const std::string& text);
    void comment_opened(std::uint64_t at);
    // The piece `piece`, at `start`, begins a line that a backslash at the end of a // comment
    // joins to that comment.
    void continued_comment(std::string_view piece, std::uint64_t start, const Directive* row);
    void comment_closed(std::uint64_t at);
    [[nodiscard]] std::uint64_t file_offset(std::uint64_t text_offset) const {
        return layout_.file_offset(text_offset);
    }

    FindingList& findings_;
    const FileLayout& layout_;
    const IncludeOpener& open_include_;

    Mode mode_ = Mode::Code;
    char previous_ = '\n';  // the byte before, in the mode it was read in
    std::uint64_t line_ = 1;
    Place comment_;  // where the open block comment started
    // Where the last // comment started, and whether a directive's line holds it.
    Place line_comment_;
    bool line_comment_on_directive_ = false;
    // True when a backslash at the end of a // comment's line continues it onto the next line.
    bool comment_continues_ = false;
    std::vector<std::uint64_t> continued_lines_;
    std::vector<std::uint64_t> open_lines_;
    std::vector<Conditional> conditionals_;

    // The logical line being read (continued lines included): its code with each comment as a
    // blank, and where its first code byte stands.
    std::string code_;
    std::uint64_t code_start_ = 0;
    bool preprocessor_ = false;
    bool guard_pending_ = false;  // the line after an `#ifndef NAME` may be its `#define NAME`
    bool code_seen_ = false;      // a line with code has ended
    // note [include guards]: a guard is a guard only when it wraps the whole file. Open from its
    // `#define` to its `#endif`, Closed after that while no code follows, Broken once any does (or
    // when the file ends before its `#endif`).
    enum class Guard { None, Open, Closed, Broken };
    Guard guard_ = Guard::None;
    std::optional<Conditional> guard_block_;
    // The directives read in the possible guard's block, where nothing else decided: their row and
    // place in the text.
    std::vector<std::pair<const Directive*, std::uint64_t>> guarded_directives_;

    // The piece being read.
    std::vector<Role> roles_;
    bool started_in_comment_ = false;
    bool piece_preprocessor_ = false;
    const Directive* row_ = nullptr;
    std::uint64_t piece_start_ = 0;
    // A directive piece that opens a comment and leaves it open, until the comment closes.
    std::optional<Place> opened_by_directive_;
};

}  // namespace morvcfg
