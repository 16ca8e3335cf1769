#include "checker/analysis/c_reading.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/findings.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/uri.h"

namespace morvcfg {
namespace {

// The longest part of a logical line kept to recognise a preprocessor directive and quote it.
constexpr std::size_t kMaxCodeKept = 512;
// The longest preprocessor line a message quotes in full.
constexpr std::size_t kMaxQuoted = 60;

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_c_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_c_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view identifier_at(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && is_name_char(text[end])) {
        ++end;
    }
    return text.substr(0, end);
}

// A preprocessor line as messages quote it: its code, cut short when long.
std::string quoted_line(std::string_view line) {
    std::string collapsed;
    for (const char c : trim(line)) {
        if (!is_c_blank(c) || !collapsed.ends_with(' ')) {
            collapsed += is_c_blank(c) ? ' ' : c;
        }
    }
    const std::string_view code = collapsed;
    return code.size() > kMaxQuoted ? quoted(std::string(code.substr(0, kMaxQuoted)) + "...") : quoted(code);
}

}  // namespace

std::string path_beside(std::string_view file, std::string_view name) {
    const bool absolute = name.starts_with('/') || name.starts_with('\\') ||
                          (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])));
    if (absolute) {
        return std::string(name);
    }
    const std::size_t slash = file.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? "" : file.substr(0, slash + 1)) + std::string(name);
}

IncludeOpener includes_beside(Environment* files, std::string file, IncludeNames names) {
    if (files == nullptr || file.empty()) {
        return {};
    }
    return [files, file = std::move(file), names](std::string_view name) -> std::optional<IncludedFile> {
        std::string path = path_beside(file, name);
        std::unique_ptr<ByteSource> source = files->open(path);
        if (!source) {
            return std::nullopt;
        }
        return IncludedFile{std::move(source), names == IncludeNames::Uris ? uri_of(path) : std::move(path)};
    };
}

std::optional<Note> first_directive_line(ByteSource& file, const std::string& name) {
    std::string line;
    std::uint64_t number = 1;
    char buffer[4096];
    const auto found = [&]() -> std::optional<Note> {
        std::string_view text = line;
        if (number == 1 && text.starts_with(kByteOrderMark)) {
            text.remove_prefix(kByteOrderMark.size());
        }
        if (match_directive(text) == nullptr) {
            return std::nullopt;
        }
        Note note;
        note.file = name;
        note.line = number;
        note.column = 1;
        note.line_text = std::string(text.substr(0, std::min(text.find('\r'), text.size())));
        return note;
    };
    for (std::ptrdiff_t count = 0; (count = file.read(buffer, sizeof buffer)) > 0;) {
        for (const char c : std::string_view(buffer, static_cast<std::size_t>(count))) {
            if (c != '\n') {
                if (line.size() < kMaxShownLine) {
                    line += c;
                }
                continue;
            }
            if (auto note = found()) {
                return note;
            }
            line.clear();
            ++number;
        }
    }
    return found();
}

bool CReading::skipped() const {
    const Conditional* deciding = deciding_conditional();
    return deciding != nullptr && deciding->state == Branch::Skipped;
}

const CReading::Conditional* CReading::deciding_conditional() const {
    const Conditional* unknown = nullptr;
    for (const Conditional& conditional : conditionals_) {
        if (conditional.state == Branch::Skipped) {
            return &conditional;
        }
        if (conditional.state == Branch::Unknown) {
            unknown = &conditional;
        }
    }
    return unknown;
}

Note CReading::conditional_note() const {
    const Conditional* deciding = deciding_conditional();
    return deciding == nullptr ? Note() : no_fix_note(*deciding);
}

Note CReading::guard_note() const {
    return guard_block_ ? no_fix_note(*guard_block_) : Note();
}

Note CReading::no_fix_note(const Conditional& deciding) const {
    return {file_offset(deciding.opener), "the conditional " + deciding.opener_text +
                                              " opens here: as a directive, the line would apply whatever the "
                                              "condition, so no fix is offered"};
}

void CReading::finish() {
    // A last line without a line feed that ends in an open comment or literal.
    if (mode_ == Mode::BlockComment || mode_ == Mode::String || mode_ == Mode::Character) {
        open_lines_.push_back(line_);
    }
    if (guard_ == Guard::Open) {
        guard_ = Guard::Broken;  // its #endif never came
    }
    if (guard_ != Guard::Broken || !guard_block_) {
        return;
    }
    guard_block_->state = Branch::Unknown;
    for (const auto& [row, start] : guarded_directives_) {
        conditional_directive(*row, start, *guard_block_);
    }
}

void CReading::read(std::string_view piece, std::uint64_t start, const Directive* row) {
    roles_.assign(piece.size(), Role::Code);
    // A // comment goes on into a piece only where a backslash continued it, or a long line was cut.
    started_in_comment_ = mode_ == Mode::BlockComment || mode_ == Mode::LineComment;
    piece_preprocessor_ = preprocessor_;
    row_ = row;
    piece_start_ = start;
    if (row != nullptr) {
        directive_warnings(*row, start);
    }
    if (std::exchange(comment_continues_, false)) {
        continued_comment(piece, start, row);
    }
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const char c = piece[i];
        if (c == '\n') {
            line_end();
        } else if (mode_ == Mode::Code) {
            code_byte(c, i);
        } else if (mode_ == Mode::BlockComment) {
            roles_[i] = Role::Comment;
            if (previous_ == '*' && c == '/') {
                mode_ = Mode::Code;
                comment_closed(start + i - 1);
                previous_ = '\0';
            } else {
                previous_ = c;
            }
        } else if (mode_ == Mode::LineComment) {
            roles_[i] = Role::Comment;
            previous_ = c;
        } else {
            literal_byte(c, i);
        }
    }
    if (row != nullptr && mode_ == Mode::BlockComment && comment_.offset >= start) {
        opened_by_directive_ = comment_;
    }
}

void CReading::line_end() {
    // A backslash before the line end continues the logical line (and its comment or literal) on
    // the next one.
    if (previous_ == '\\') {
        if (mode_ == Mode::Code && !code_.empty()) {
            code_.pop_back();
        }
        comment_continues_ = mode_ == Mode::LineComment;
        continued_lines_.push_back(line_);
        previous_ = '\0';
    } else {
        if (mode_ == Mode::BlockComment || mode_ == Mode::String || mode_ == Mode::Character) {
            open_lines_.push_back(line_);  // an open comment, or a literal that never closed
        }
        if (mode_ != Mode::BlockComment) {
            mode_ = Mode::Code;
        }
        end_line();
        previous_ = '\n';
    }
    ++line_;
}

void CReading::code_byte(char c, std::size_t index) {
    if (previous_ == '/' && (c == '*' || c == '/')) {
        if (index > 0) {
            roles_[index - 1] = Role::Comment;
        }
        roles_[index] = Role::Comment;
        if (!code_.empty()) {
            code_.back() = ' ';  // a comment is a blank to the preprocessor
        }
        mode_ = c == '*' ? Mode::BlockComment : Mode::LineComment;
        if (c == '*') {
            comment_opened(piece_start_ + index - 1);
        } else {
            line_comment_ = {piece_start_ + index - 1, line_};
            line_comment_on_directive_ = row_ != nullptr;
        }
        previous_ = '\0';
        return;
    }
    if (c == '"' || c == '\'') {
        mode_ = c == '"' ? Mode::String : Mode::Character;
        roles_[index] = Role::Literal;
    }
    if (!is_c_blank(c) && code_.find_first_not_of(" \t\v\f") == std::string::npos) {
        code_start_ = piece_start_ + index;
        preprocessor_ = preprocessor_ || c == '#';
        piece_preprocessor_ = piece_preprocessor_ || preprocessor_;
    }
    if (code_.size() < kMaxCodeKept) {
        code_ += c;
    }
    previous_ = c;
}

void CReading::literal_byte(char c, std::size_t index) {
    roles_[index] = Role::Literal;
    if (code_.size() < kMaxCodeKept) {
        code_ += c;
    }
    if (c == (mode_ == Mode::String ? '"' : '\'') && previous_ != '\\') {
        mode_ = Mode::Code;
        previous_ = '\0';
    } else {
        // An escaped backslash escapes nothing after it.
        previous_ = previous_ == '\\' && c == '\\' ? '\0' : c;
    }
}

void CReading::directive_warnings(const Directive& row, std::uint64_t start) {
    const auto [begin, end] = layout_.file_range(start, start + row.keyword.size());
    const std::string keyword(row.keyword);
    if (mode_ == Mode::BlockComment) {
        Finding& finding = findings_.warn(begin, end, Category::CommentedDirective,
                                          keyword +
                                              " stands inside a /* */ comment, but morvcfg reads lines, not "
                                              "comments: the directive is applied anyway");
        finding.notes.emplace_back(file_offset(comment_.offset), "the comment opens here");
        return;
    }
    const Conditional* deciding = deciding_conditional();
    if (deciding == nullptr) {
        if (guard_ == Guard::Open) {
            guarded_directives_.emplace_back(&row, start);
        }
        return;
    }
    conditional_directive(row, start, *deciding);
}

void CReading::conditional_directive(const Directive& row, std::uint64_t start, const Conditional& conditional) {
    const auto [begin, end] = layout_.file_range(start, start + row.keyword.size());
    const std::string keyword(row.keyword);
    const Conditional* deciding = &conditional;
    const bool in_branch = deciding->branch != deciding->opener;
    const std::string branch = "the " + deciding->branch_text + " branch of " + deciding->opener_text;
    std::string where;
    if (deciding->state == Branch::Skipped) {
        where = in_branch ? branch + ", which the C preprocessor skips"
                          : "a block that " + deciding->opener_text + " switches off";
    } else {
        where = in_branch ? branch : "the conditional block " + deciding->opener_text;
    }
    Finding& finding = findings_.warn(begin, end, Category::ConditionalDirective,
                                      keyword + " stands in " + where +
                                          ", but morvcfg reads every line whatever the condition: the directive "
                                          "is applied anyway");
    finding.notes.emplace_back(file_offset(deciding->opener), "the conditional opens here");
    if (in_branch) {
        finding.notes.emplace_back(file_offset(deciding->branch),
                                   "the " + deciding->branch_text + " branch starts here");
    }
}

void CReading::continued_comment(std::string_view piece, std::uint64_t start, const Directive* row) {
    // A line that C takes into the comment matters when it holds a directive, which morvcfg
    // applies anyway, or a word that would be one, which the author may think is read.
    const std::string_view code = trim_left(piece.substr(0, piece.find('\0')));
    const bool would_be =
        code.size() >= kKeywordPrefix.size() && upper_case(code.substr(0, kKeywordPrefix.size())) == kKeywordPrefix;
    if (row == nullptr && !would_be) {
        return;
    }
    const std::string line = std::to_string(line_);
    std::string message = "this // comment ends in a backslash, which continues it onto line " + line + ": C reads " +
                          (row != nullptr ? std::string(row->keyword) +
                                                " there as part of the comment, but morvcfg "
                                                "applies the directive anyway"
                                          : quoted(identifier_at(code)) + " there as part of the comment");
    if (row != nullptr && !line_comment_on_directive_) {
        message +=
            ", and in the pass-through output, which leaves that line out, the comment takes in the line "
            "after it";
    }
    const std::uint64_t at = file_offset(line_comment_.offset);
    Finding& finding = findings_.warn(at, at + 2, Category::ContinuedComment, std::move(message));
    finding.notes.emplace_back(file_offset(start), "line " + line + " starts here");
}

void CReading::comment_opened(std::uint64_t at) {
    comment_ = {at, line_};
}

void CReading::comment_closed(std::uint64_t at) {
    const std::string line = std::to_string(comment_.line);
    if (row_ != nullptr && started_in_comment_ && comment_.offset < piece_start_) {
        const auto [begin, end] = layout_.file_range(at, at + 2);
        Finding& finding =
            findings_.warn(begin, end, Category::SplitComment,
                           "this directive line closes the comment opened on line " + line +
                               ": morvcfg takes the line out, end and all, so in the pass-through output the "
                               "comment runs on past it");
        finding.notes.emplace_back(file_offset(comment_.offset), "the comment opens here");
    }
    if (opened_by_directive_ && opened_by_directive_->offset == comment_.offset) {
        const auto [begin, end] = layout_.file_range(comment_.offset, comment_.offset + 2);
        Finding& finding = findings_.warn(
            begin, end, Category::SplitComment,
            "this directive line opens a comment that closes on line " + std::to_string(line_) +
                ": morvcfg takes the line out, opening and all, so the pass-through output keeps the comment's "
                "end without its start");
        finding.notes.emplace_back(file_offset(at),
                                   "the comment closes here; in the pass-through output this */ "
                                   "closes nothing");
        opened_by_directive_.reset();
    }
}

void CReading::end_line() {
    const std::string code = std::exchange(code_, {});
    const bool preprocessor = std::exchange(preprocessor_, false);
    const std::string_view text = trim(code);
    if (text.empty()) {
        return;  // blank lines and comments change nothing
    }
    const bool guard_pending = std::exchange(guard_pending_, false);
    const bool first_code = !std::exchange(code_seen_, true);
    if (guard_ == Guard::Closed) {
        guard_ = Guard::Broken;  // code after the guard's #endif: it wraps only part of the file
    }
    if (!preprocessor) {
        return;
    }
    // "#  word operand"
    std::string_view rest = trim(text.substr(1));
    const std::string_view word = identifier_at(rest);
    const std::string_view operand = trim(rest.substr(word.size()));
    if (word == "define" && guard_pending && conditionals_.size() == 1 &&
        identifier_at(operand) == conditionals_.back().guard) {
        // `#ifndef NAME` then `#define NAME` before any other text: an include guard, whose block
        // the preprocessor reads, if its #endif ends the file.
        conditionals_.back().state = Branch::Read;
        guard_ = Guard::Open;
        guard_block_ = conditionals_.back();
        return;
    }
    if (word == "endif" && guard_ == Guard::Open && conditionals_.size() == 1) {
        guard_ = Guard::Closed;
    }
    preprocessor_directive(word, operand, std::string(text), first_code);
}

void CReading::preprocessor_directive(std::string_view word, std::string_view operand, const std::string& text,
                                      bool first_code) {
    const std::uint64_t place = code_start_;
    const std::string line = quoted_line(text);
    if (word == "if" || word == "ifdef" || word == "ifndef") {
        Conditional conditional{place, line,  place, line, word == "if" ? decided(operand) : Branch::Unknown,
                                false, false, ""};
        // An include guard opens the file: `#ifndef NAME` or `#if !defined(NAME)`.
        const std::string_view guard = word == "ifndef" ? operand : word == "if" ? guard_condition(operand) : "";
        if (first_code && guard_ == Guard::None) {
            conditional.guard = std::string(identifier_at(guard));
            guard_pending_ = !conditional.guard.empty();
        }
        conditionals_.push_back(std::move(conditional));
    } else if ((word == "elif" || word == "elifdef" || word == "elifndef" || word == "else") &&
               !conditionals_.empty()) {
        conditionals_.back().next_branch(place, line,
                                         word == "else"   ? Branch::Read
                                         : word == "elif" ? decided(operand)
                                                          : Branch::Unknown);
    } else if (word == "endif" && !conditionals_.empty()) {
        conditionals_.pop_back();
    } else if (word == "include") {
        check_include(operand, line);
    }
}

void CReading::Conditional::next_branch(std::uint64_t at, const std::string& text, Branch condition) {
    read_before = read_before || state == Branch::Read;
    unknown_before = unknown_before || state == Branch::Unknown;
    // After a branch that is read, no other is; after one that may be, a later one only may be.
    state = read_before ? Branch::Skipped : unknown_before && condition == Branch::Read ? Branch::Unknown : condition;
    branch = at;
    branch_text = text;
}

std::string_view CReading::guard_condition(std::string_view condition) {
    // "!defined(NAME)", "!defined NAME", with blanks anywhere between.
    if (!condition.starts_with('!')) {
        return {};
    }
    condition = trim(condition.substr(1));
    if (!condition.starts_with("defined")) {
        return {};
    }
    condition = trim(condition.substr(7));
    const bool parenthesised = condition.starts_with('(');
    if (parenthesised) {
        condition = trim(condition.substr(1));
    }
    const std::string_view name = identifier_at(condition);
    const std::string_view after = trim(condition.substr(name.size()));
    return !name.empty() && after == (parenthesised ? ")" : "") ? name : std::string_view();
}

CReading::Branch CReading::decided(std::string_view condition) {
    // A condition that is a plain number: `#if 0`, `#if 1`, `#if (0)`, `#if 0L`.
    while (condition.size() >= 2 && condition.front() == '(' && condition.back() == ')') {
        condition = trim(condition.substr(1, condition.size() - 2));
    }
    const std::size_t digits = std::min(condition.find_first_not_of("0123456789"), condition.size());
    if (digits == 0 || condition.substr(digits).find_first_not_of("uUlL") != std::string_view::npos) {
        return Branch::Unknown;
    }
    return condition.substr(0, digits).find_first_not_of('0') == std::string_view::npos ? Branch::Skipped
                                                                                        : Branch::Read;
}

void CReading::check_include(std::string_view operand, const std::string& text) {
    if (!open_include_ || !operand.starts_with('"')) {
        return;
    }
    const std::size_t close = operand.find('"', 1);
    if (close == std::string_view::npos || close == 1) {
        return;
    }
    std::optional<IncludedFile> file = open_include_(operand.substr(1, close - 1));
    if (!file || !file->source) {
        return;
    }
    std::optional<Note> first = first_directive_line(*file->source, file->name);
    (void)file->source->close();
    if (!first) {
        return;
    }
    const std::uint64_t begin = file_offset(code_start_);
    first->offset = begin;
    first->message = "the first directive in it, which sets nothing";
    Finding& finding = findings_.warn(begin, begin + 1, Category::IncludedDirective,
                                      text +
                                          " names a file that holds directives, but morvcfg reads only this "
                                          "file and never follows an include: the directives in " +
                                          quoted(file->name) + " set nothing");
    finding.notes.push_back(std::move(*first));
}

}  // namespace morvcfg
