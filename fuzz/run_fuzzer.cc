// Fuzz target: the whole run, in process, on arbitrary bytes as the description file, with every
// file in memory. Checks what must hold for any input; any violation aborts.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/analysis/comparison.h"
#include "checker/analysis/ignores.h"
#include "checker/analysis/messages.h"
#include "checker/analysis/settings.h"
#include "checker/fixes/fix.h"
#include "checker/forms/report.h"
#include "translator/directive_table.h"
#include "translator/memory_environment.h"
#include "translator/run.h"

#ifdef MORVCFG_FUZZ_PARSE_JSON
#include <nlohmann/json.hpp>
#endif

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        (void)std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Splits text at CR LF; the last element is whatever follows the last line end.
std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
}

// Every line end is CR LF, and no CR or LF stands anywhere else.
bool only_crlf_line_ends(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            return false;
        }
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

void check_generated(std::string_view text, std::size_t line_count, const char* name) {
    require(only_crlf_line_ends(text) && text.ends_with("\r\n"), name);
    const std::vector<std::string_view> lines = lines_of(text);
    require(lines.size() == line_count + 1 && lines.back().empty(), name);
    for (const std::string_view line : lines) {
        if (line.starts_with("/*")) {
            require(line.size() == 77 && line.ends_with("*/"), "banner lines are 77 characters");
        }
    }
}

// The byte-order mark the input starts with, or nothing.
std::string_view mark_of(std::string_view input) {
    return input.starts_with(morvcfg::kByteOrderMark) ? morvcfg::kByteOrderMark : std::string_view();
}

// The input as the text mode reads it: after any byte-order mark, CRs dropped, nothing from the
// first Ctrl-Z on.
std::string text_mode_read(std::string_view input) {
    input.remove_prefix(mark_of(input).size());
    std::string text;
    for (const char c : input.substr(0, input.find('\x1a'))) {
        if (c != '\r') {
            text += c;
        }
    }
    return text;
}

// Text as the text mode writes it: every LF as CR LF.
std::string text_mode_write(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
    }
    return out;
}

// Serves its bytes in reads of changing sizes, so that lines and CR LF pairs straddle reads.
class ChoppedSource final : public morvcfg::ByteSource {
public:
    explicit ChoppedSource(std::string_view bytes) : bytes_(bytes) {}
    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        step_ = (step_ * 7 + 3) % 311 + 1;
        const std::size_t take = std::min({size, step_, bytes_.size()});
        bytes_.copy(buffer, take);
        bytes_.remove_prefix(take);
        return static_cast<std::ptrdiff_t>(take);
    }
    bool close() override { return true; }

private:
    std::string_view bytes_;
    std::size_t step_ = 0;
};

// The pieces the text mode makes of `text`: cut after each line end and every 255 characters.
std::vector<std::string_view> pieces_of_text(std::string_view text) {
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t line = std::min(text.find('\n'), text.size() - 1) + 1;
        pieces.push_back(text.substr(0, std::min(line, morvcfg::kMaxPiece)));
        text.remove_prefix(pieces.back().size());
    }
    return pieces;
}

// The reader's pieces, whichever of its ways cut them and however the reads fall, are the pieces
// of the input as the text mode reads it.
void check_pieces(std::string_view input, std::string_view text) {
    const std::vector<std::string_view> expected = pieces_of_text(text);
    for (const bool chopped : {false, true}) {
        morvcfg::StringSource whole{std::string(input)};
        ChoppedSource pieces_apart(input);
        morvcfg::PieceReader reader(chopped ? static_cast<morvcfg::ByteSource&>(pieces_apart) : whole);
        require(reader.skip_byte_order_mark() == !mark_of(input).empty(), "the reader finds the byte-order mark");
        std::span<char> piece;
        std::size_t count = 0;
        while (reader.next(piece)) {
            require(count < expected.size() && std::string_view(piece.data(), piece.size()) == expected[count],
                    "the reader's pieces are the text mode's");
            ++count;
        }
        require(count == expected.size() && !reader.failed(), "the reader yields every piece");
    }
}

// Whether two records hold the same addresses and pools.
bool same_record(const morvcfg::NetConfig& a, const morvcfg::NetConfig& b) {
    bool same = a.ThisIs == b.ThisIs && a.SubNetMask == b.SubNetMask && a.LocalHost == b.LocalHost &&
                a.GateWay == b.GateWay && a.DomainNameServer == b.DomainNameServer &&
                a.SubNetBroadCast == b.SubNetBroadCast && a.NTPServer == b.NTPServer && a.SMTPServer == b.SMTPServer &&
                a.POP3Server == b.POP3Server;
    for (std::size_t i = 0; i < a.pools.size(); ++i) {
        same = same && a.pools[i].block_size == b.pools[i].block_size && a.pools[i].blocks == b.pools[i].blocks;
    }
    return same;
}

// The pass copies runs of ordinary lines whole; taking them piece by piece must give the same
// output and record, however the reads fall.
void check_runs(std::string_view input, std::string_view pass_through) {
    morvcfg::StringSource whole{std::string(input)};
    morvcfg::PieceReader by_pieces(whole);
    morvcfg::StringSink expected;
    morvcfg::NetConfig expected_config;
    {
        morvcfg::TextWriter out(expected);
        if (by_pieces.skip_byte_order_mark()) {
            out.write_verbatim(morvcfg::kByteOrderMark);
        }
        std::span<char> piece;
        while (by_pieces.next(piece)) {
            morvcfg::dispatch(piece, expected_config, out);
        }
        require(out.flush(), "the piece-by-piece pass completes");
    }
    require(pass_through == expected.contents(), "runs copied whole are the pieces' bytes");

    ChoppedSource apart(input);
    morvcfg::PieceReader chopped(apart);
    morvcfg::StringSink actual;
    morvcfg::NetConfig config;
    {
        morvcfg::TextWriter out(actual);
        require(morvcfg::translate(chopped, config, out) && out.flush(), "the pass completes on chopped reads");
    }
    require(actual.contents() == expected.contents() && same_record(config, expected_config),
            "runs copied whole are the pieces' bytes, however the reads fall");
}

// The JSON and SARIF forms are valid JSON (so valid UTF-8) whatever bytes the file and its name
// hold, and carry every warning; the input's first bytes serve as a file name as well.
void check_machine_formats(std::string_view input, const morvcfg::CheckResult& checked) {
    std::vector<morvcfg::FileReport> reports;
    reports.push_back({std::string(input.substr(0, 12)), {}, checked, {}, {}});
    reports.push_back({"unread\x80.cfg", "cannot read the file", {}, {}, {}});
    morvcfg::StringSource again{std::string(input)};
    reports.front().code_point_columns = morvcfg::code_point_columns(again, checked);
    std::string json;
    std::string sarif;
    morvcfg::write_json(json, reports, {});
    morvcfg::write_sarif(sarif, reports, {});
#ifdef MORVCFG_FUZZ_PARSE_JSON
    const auto parsed_json = nlohmann::json::parse(json, nullptr, false);
    const auto parsed_sarif = nlohmann::json::parse(sarif, nullptr, false);
    require(!parsed_json.is_discarded() && !parsed_sarif.is_discarded(), "JSON and SARIF output parse");
    require(parsed_json["files"][0]["warnings"].size() == checked.findings.size() &&
                parsed_sarif["runs"][0]["results"].size() == checked.findings.size(),
            "JSON and SARIF carry every warning");
#else
    (void)json;
    (void)sarif;
#endif
}

// Every fix replaces bytes within one line, after any byte-order mark, and applying fixes leaves
// every other byte as it was; fixing until nothing is left to fix leaves nothing certain to fix.
void check_fixes(std::string_view input, const morvcfg::CheckResult& checked) {
    const std::vector<const morvcfg::Fix*> fixes = morvcfg::fixes_to_apply(checked, {}, true);
    std::vector<const morvcfg::Replacement*> replacements;
    for (const morvcfg::Fix* fix : fixes) {
        for (const morvcfg::Replacement& replacement : fix->replacements) {
            require(replacement.begin >= mark_of(input).size() && replacement.begin <= replacement.end &&
                        replacement.end <= input.size() &&
                        input.substr(replacement.begin, replacement.end - replacement.begin).find('\n') ==
                            std::string_view::npos,
                    "a fix replaces bytes within one line, after any byte-order mark");
            // Only a guess breaks a line (a second directive moved to a line of its own).
            require(
                replacement.text.find_first_of("\r\n") == std::string::npos ||
                    (fix->kind == morvcfg::FixKind::Guess && (replacement.text == "\n" || replacement.text == "\r\n")),
                "only a guess adds a line end, and nothing else with it");
            replacements.push_back(&replacement);
        }
    }
    std::sort(replacements.begin(), replacements.end(),
              [](const morvcfg::Replacement* a, const morvcfg::Replacement* b) { return a->begin < b->begin; });
    const std::string fixed = morvcfg::apply_fixes(input, fixes);
    std::size_t from = 0;  // in the input
    std::size_t at = 0;    // in the fixed bytes
    for (const morvcfg::Replacement* replacement : replacements) {
        require(replacement->begin >= from, "fixes never overlap");
        const std::size_t kept = replacement->begin - from;
        require(std::string_view(fixed).substr(at, kept) == input.substr(from, kept) &&
                    std::string_view(fixed).substr(at + kept, replacement->text.size()) == replacement->text,
                "a fix changes only the bytes it replaces");
        at += kept + replacement->text.size();
        from = replacement->end;
    }
    require(std::string_view(fixed).substr(at) == input.substr(from), "a fix changes only the bytes it replaces");

    for (const bool guesses : {false, true}) {
        const morvcfg::FixedText fixed_text = morvcfg::fix_text(input, {}, guesses);
        require(morvcfg::fixes_to_apply(fixed_text.result, {}, guesses).empty(), "once fixed, nothing is left to fix");
    }
}

// The code of a line, as far as the checker reads a directive's: up to where a comment starts or
// ends.
std::string_view code_of(std::string_view line) {
    return line.substr(0, std::min({line.find("/*"), line.find("//"), line.find("*/"), line.size()}));
}

// No ")" before its "(" and no ";" before a ")": a line a person would write, or part of one.
bool closes_in_order(std::string_view code) {
    int depth = 0;
    bool ended = false;
    for (const char c : code) {
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (depth < 0 || (ended && c == ')')) {
            return false;
        }
        ended = ended || c == ';';
    }
    return true;
}

std::string digits_of(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

// Whether a conditional's branch is read by the C preprocessor certainly, maybe (as the build
// decides) or certainly not; Unknown where this plain reading does not tell.
enum class Branch { Certain, Maybe, Never, Unknown };

// The branch a condition opens: a plain number decides it, a name leaves it to the build.
Branch branch_of(std::string_view condition) {
    std::string bare;
    std::copy_if(condition.begin(), condition.end(), std::back_inserter(bare),
                 [](char c) { return c != '(' && c != ')' && c != ' ' && c != '\t'; });
    const std::size_t digits = std::min(bare.find_first_not_of("0123456789"), bare.size());
    if (digits > 0 && bare.find_first_not_of("uUlL", digits) == std::string::npos) {
        return bare.find_first_not_of('0') < digits ? Branch::Certain : Branch::Never;
    }
    const bool named = std::any_of(bare.begin(), bare.end(),
                                   [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; });
    return named ? Branch::Maybe : Branch::Unknown;
}

// True for text whose lines are its C lines: no comments, literals, continued lines, lone CRs, NUL
// or Ctrl-Z, which a plain line-by-line reading would read otherwise than C.
bool plain_lines(std::string_view input) {
    if (input.find_first_of(std::string_view("\"'\\\x1a\0", 5)) != std::string_view::npos ||
        input.find("/*") != std::string_view::npos || input.find("//") != std::string_view::npos ||
        input.find("*/") != std::string_view::npos) {
        return false;
    }
    for (std::size_t cr = input.find('\r'); cr != std::string_view::npos; cr = input.find('\r', cr + 1)) {
        if (cr + 1 == input.size() || input[cr + 1] != '\n') {
            return false;  // a lone CR joins lines
        }
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = std::min(text.find_first_not_of(" \t\v\f\r"), text.size());
    text.remove_prefix(first);
    return text.substr(0, text.find_last_not_of(" \t\v\f\r") + 1);
}

std::string_view name_at(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) != 0 || text[end] == '_')) {
        ++end;
    }
    return text.substr(0, end);
}

// True when the lines (trimmed) open with an include guard that wraps them all: `#ifndef NAME` as
// the first line with code, `#define NAME` as the next, and its `#endif` followed by no code.
bool guard_wraps(const std::vector<std::string_view>& lines) {
    std::vector<std::string_view> code;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(code), [](std::string_view l) { return !l.empty(); });
    if (code.size() < 3 || !code[0].starts_with('#') || !code[1].starts_with('#')) {
        return false;
    }
    const auto words = [](std::string_view line) {
        const std::string_view rest = trimmed(line.substr(1));
        const std::string_view word = name_at(rest);
        return std::pair{word, trimmed(rest.substr(word.size()))};
    };
    const auto [opener, guarded] = words(code[0]);
    const auto [define, defined] = words(code[1]);
    if (opener != "ifndef" || name_at(guarded).empty() || define != "define" || name_at(defined) != name_at(guarded)) {
        return false;
    }
    int depth = 1;
    for (std::size_t i = 2; i < code.size(); ++i) {
        if (!code[i].starts_with('#')) {
            continue;
        }
        const std::string_view word = words(code[i]).first;
        depth += word == "if" || word == "ifdef" || word == "ifndef" ? 1 : word == "endif" ? -1 : 0;
        if (depth == 0) {
            return i + 1 == code.size();
        }
    }
    return false;
}

// The conditional blocks open at each line, read line by line; an include guard (`#ifndef NAME`,
// then `#define NAME` on the next line with code) is read as C reads it where it wraps the file.
class Conditionals {
public:
    explicit Conditionals(bool guard) : guard_allowed_(guard) {}
    // True when the line being read surely is not read certainly: it stands in a block that a name
    // decides, or that `#if 0` switches off.
    [[nodiscard]] bool uncertain() const {
        return std::any_of(open_.begin(), open_.end(),
                           [](Branch b) { return b == Branch::Maybe || b == Branch::Never; });
    }
    void read(std::string_view line) {
        if (line.empty()) {
            return;
        }
        const bool pending = std::exchange(guard_pending_, false);
        if (!line.starts_with('#')) {
            return;
        }
        const std::string_view rest = trimmed(line.substr(1));
        const std::string_view word = name_at(rest);
        const std::string_view operand = trimmed(rest.substr(word.size()));
        if (word == "define" && pending && open_.size() == 1 && name_at(operand) == guard_ && guard_allowed_) {
            open_.back() = Branch::Certain;
        } else if (word == "if") {
            open_.push_back(branch_of(operand));
        } else if (word == "ifdef" || word == "ifndef") {
            open_.push_back(Branch::Maybe);
            guard_ = word == "ifndef" ? std::string(name_at(operand)) : "";
            guard_pending_ = !guard_.empty();
        } else if ((word == "elif" || word == "elifdef" || word == "elifndef" || word == "else") && !open_.empty()) {
            // After a branch the build decides, every other branch is decided by it too.
            open_.back() = open_.back() == Branch::Maybe ? Branch::Maybe : Branch::Unknown;
        } else if (word == "endif" && !open_.empty()) {
            open_.pop_back();
        }
    }

private:
    std::vector<Branch> open_;
    bool guard_allowed_;
    std::string guard_;
    bool guard_pending_ = false;
};

// For each line of the input, whether the C preprocessor surely does not read it certainly; only
// for inputs whose lines are their C lines (nothing otherwise).
std::optional<std::vector<bool>> lines_not_certainly_read(std::string_view input) {
    if (!plain_lines(input)) {
        return std::nullopt;
    }
    std::vector<std::string_view> text_lines;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        text_lines.push_back(trimmed(input.substr(start, end - start)));
        start = end + 1;
    }
    Conditionals conditionals(guard_wraps(text_lines));
    std::vector<bool> lines;
    for (const std::string_view line : text_lines) {
        lines.push_back(conditionals.uncertain());
        conditionals.read(line);
    }
    return lines;
}

// A certain fix, applied unread, never removes or changes a digit the author wrote, and never
// falls on a line that only some builds read.
void check_certain_fixes_keep_values(std::string_view input, const morvcfg::CheckResult& checked) {
    const std::vector<const morvcfg::Fix*> fixes = morvcfg::fixes_to_apply(checked, {}, false);
    if (fixes.empty()) {
        return;
    }
    require(digits_of(morvcfg::apply_fixes(input, fixes)) == digits_of(input),
            "a certain fix never removes or changes a digit");
    const std::optional<std::vector<bool>> undecided = lines_not_certainly_read(input);
    if (!undecided) {
        return;
    }
    for (const morvcfg::Fix* fix : fixes) {
        for (const morvcfg::Replacement& replacement : fix->replacements) {
            const auto line = static_cast<std::size_t>(
                std::count(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(replacement.begin), '\n'));
            require(line < undecided->size() && !(*undecided)[line],
                    "no certain fix falls in a conditional block the build decides");
        }
    }
}

// The certain fixes other than those that make a lookalike line a directive (the indent, the
// case, an invisible character before the keyword) change nothing morvcfg generates, and each
// line the ignored-text fix touches is one a person would write.
void check_fixes_keep_configuration(std::string_view input, const morvcfg::CheckResult& checked) {
    morvcfg::ReportOptions not_making_directives;
    not_making_directives.disabled.emplace(morvcfg::Category::NotDirective);
    const std::vector<const morvcfg::Fix*> fixes = morvcfg::fixes_to_apply(checked, not_making_directives, false);
    if (fixes.empty()) {
        return;
    }
    const std::string fixed = morvcfg::apply_fixes(input, fixes);
    morvcfg::StringSource again(fixed);
    const morvcfg::CheckResult after = morvcfg::check(again);
    require(
        morvcfg::generated_settings(after) == morvcfg::generated_settings(checked) && after.network == checked.network,
        "certain fixes that make no directive change nothing morvcfg generates");
    // Each line a fix changes where its parentheses or semicolons are, found where the fix lands in
    // the fixed bytes; lines as an editor shows them, a lone CR ending one too.
    std::ptrdiff_t shift = 0;
    for (const morvcfg::Fix* fix : fixes) {
        const morvcfg::Replacement& first = fix->replacements.front();
        const auto at = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(first.begin) + shift);
        bool structure = false;
        for (const morvcfg::Replacement& replacement : fix->replacements) {
            structure = structure ||
                        input.substr(replacement.begin, replacement.end - replacement.begin).find_first_of("();") !=
                            std::string_view::npos ||
                        replacement.text.find_first_of("();") != std::string::npos;
            shift += static_cast<std::ptrdiff_t>(replacement.text.size()) -
                     static_cast<std::ptrdiff_t>(replacement.end - replacement.begin);
        }
        if (!structure) {
            continue;
        }
        const std::size_t before = at == 0 ? std::string::npos : fixed.find_last_of("\r\n", at - 1);
        const std::size_t begin = before == std::string::npos ? 0 : before + 1;
        const std::string_view line = std::string_view(fixed).substr(begin, fixed.find_first_of("\r\n", at) - begin);
        require(closes_in_order(code_of(line)),
                "a fix leaves no line with a \")\" before its \"(\" or a \";\" before a \")\"");
    }
}

// The value a message names right after `rest` (digits and dots, with a sign).
std::string_view value_at(std::string_view rest) {
    std::size_t end = rest.starts_with('-') ? 1 : 0;
    while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == '.')) {
        ++end;
    }
    return rest.substr(0, end);
}

// A claim about `value`, the setting's generated value, at `rest`, just after the setting's name:
// " is V", " keeps V" or " stays V", followed by what becomes of it, if anything.
void check_claim(std::string_view rest, const std::string& value) {
    bool claim = false;
    for (const std::string_view verb : {" is ", " keeps ", " stays "}) {
        if (rest.starts_with(verb)) {
            rest.remove_prefix(verb.size());
            claim = true;
        }
    }
    const std::string_view said = value_at(rest);
    rest.remove_prefix(said.size());
    const bool ends = rest.empty() || rest.starts_with(",") || rest.starts_with(";") || rest.starts_with(" and ") ||
                      rest.starts_with(" until ");
    if (!claim || said.empty() || said == "-" || !ends) {
        return;  // no value named as the firmware's ("is 64 x 2 = ...", "is outside")
    }
    if (rest.starts_with(", written as ")) {
        require(value_at(rest.substr(13)) == value, "a value moved later is said as written");
    } else if (!rest.starts_with(" until line ")) {
        require(said == value, "a message names the value the firmware gets");
    }
}

// note [values the firmware gets]: a message that names a setting's value as the firmware gets it
// ("GateWay is V", "NTPServer keeps V", "the mask stays V") names the value morvcfg generates, or
// says what becomes of it: ", written as G" with G the generated value, or that a later line sets it
// again.
void check_values_in_messages(const morvcfg::CheckResult& checked) {
    std::map<std::string, std::string> generated = morvcfg::generated_settings(checked);
    generated["the mask"] = generated["SubNetMask"];
    for (const morvcfg::Finding& finding : checked.findings) {
        const std::string_view message = finding.message;
        for (const auto& [name, value] : generated) {
            if (name.starts_with("ETH0_RCV_")) {
                continue;  // a product, said with its factors
            }
            for (std::size_t at = message.find(name); at != std::string_view::npos; at = message.find(name, at + 1)) {
                const char before = at == 0 ? ' ' : message[at - 1];
                if (std::isalnum(static_cast<unsigned char>(before)) == 0 && before != '_' && before != '\'') {
                    check_claim(message.substr(at + name.size()), value);
                }
            }
        }
    }
}

// The same lines with LF and with CR LF line ends (before any Ctrl-Z) get the same warnings and the
// same fixes, apart from the line-end bytes themselves.
void check_line_ends_agree(std::string_view input, const morvcfg::CheckResult& checked) {
    const std::string_view text = input.substr(0, input.find('\x1a'));
    if (input.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos ||
        text.find('\n') == std::string_view::npos || input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
        return;
    }
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    crlf += input.substr(text.size());
    morvcfg::StringSource source(crlf);
    const morvcfg::CheckResult windows = morvcfg::check(source);
    require(windows.findings.size() == checked.findings.size(), "LF and CR LF files get the same warnings");
    const auto lf = [](std::string bytes) {
        for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at)) {
            bytes.erase(at, 1);
        }
        return bytes;
    };
    for (std::size_t i = 0; i < checked.findings.size(); ++i) {
        const morvcfg::Finding& a = checked.findings[i];
        const morvcfg::Finding& b = windows.findings[i];
        require(a.category == b.category && a.message == b.message &&
                    morvcfg::line_and_column(checked, a.offset) == morvcfg::line_and_column(windows, b.offset),
                "LF and CR LF files get the same warnings, at the same places");
        require(a.fix.has_value() == b.fix.has_value() &&
                    (!a.fix || (a.fix->kind == b.fix->kind && a.fix->title == b.fix->title)),
                "LF and CR LF files get the same fixes");
    }
    for (const bool guesses : {false, true}) {
        const std::string fixed = morvcfg::apply_fixes(input, morvcfg::fixes_to_apply(checked, {}, guesses));
        const std::string fixed_crlf = morvcfg::apply_fixes(crlf, morvcfg::fixes_to_apply(windows, {}, guesses));
        require(lf(fixed_crlf).substr(0, lf(fixed_crlf).find('\x1a')) == fixed.substr(0, fixed.find('\x1a')),
                "LF and CR LF files are fixed alike");
    }
}

// The categories of the warnings reported on `line`, with their counts.
std::map<morvcfg::Category, int> reported_on(const morvcfg::CheckResult& result, std::uint64_t line) {
    std::map<morvcfg::Category, int> counts;
    const morvcfg::ReportOptions options;
    for (const morvcfg::Finding& finding : result.findings) {
        if (morvcfg::reported(options.verdict(finding)) &&
            morvcfg::line_and_column(result, finding.offset).first == line) {
            ++counts[finding.category];
        }
    }
    return counts;
}

// note [ignore edits]: the ignore comment an editor's action writes excuses its warning and adds
// none on that line (nor on a line of its own), and changes nothing morvcfg generates.
void check_ignore_edits(std::string_view input, const morvcfg::CheckResult& checked) {
    constexpr int kMostChecked = 8;  // each is a check of the whole file again
    int count = 0;
    const morvcfg::ReportOptions options;
    for (const morvcfg::Finding& finding : checked.findings) {
        if (!morvcfg::reported(options.verdict(finding)) || ++count > kMostChecked) {
            continue;
        }
        const std::optional<morvcfg::Replacement> edit = morvcfg::ignore_edit(input, checked, finding);
        if (!edit) {
            continue;
        }
        const morvcfg::Fix as_fix{morvcfg::FixKind::Certain, {*edit}, "ignore"};
        const morvcfg::Fix* const fixes[] = {&as_fix};
        const std::string edited = morvcfg::apply_fixes(input, fixes);
        morvcfg::StringSource source(edited);
        const morvcfg::CheckResult after = morvcfg::check(source);
        const std::uint64_t line = morvcfg::line_and_column(checked, finding.offset).first;
        const bool own_line = edit->text.ends_with('\n');
        std::map<morvcfg::Category, int> before = reported_on(checked, line);
        before.erase(finding.category);
        require(reported_on(after, line + (own_line ? 1 : 0)) == before,
                "an ignore comment excuses its warning and adds none on its line");
        require(!own_line || reported_on(after, line).empty(), "an ignore comment's own line draws no warning");
        require(morvcfg::generated_settings(after) == morvcfg::generated_settings(checked),
                "an ignore comment changes nothing morvcfg generates");
    }
}

// --add-ignore: afterwards every warning left is one no comment can excuse, the files morvcfg
// generates are the same bytes, and a second run changes nothing.
void check_add_ignores(std::string_view input, const morvcfg::MemoryEnvironment& generated) {
    const morvcfg::ReportOptions options;
    const morvcfg::FixedText added = morvcfg::add_ignores(input, options);
    for (const morvcfg::Finding& finding : added.result.findings) {
        require(!morvcfg::reported(options.verdict(finding)) ||
                    !morvcfg::ignore_edit(added.bytes, added.result, finding).has_value(),
                "--add-ignore leaves no warning a comment can excuse");
    }
    require(morvcfg::add_ignores(added.bytes, options).bytes == added.bytes, "a second --add-ignore changes nothing");
    const char* args[] = {"morvcfg", "in.cfg", "out.cfg"};
    morvcfg::MemoryEnvironment again;
    again.files["in.cfg"] = added.bytes;
    require(morvcfg::run(args, again) == 0, "the run completes");
    for (const char* const file : {"morv_cfg.c", "morv_cfg.h"}) {
        require(again.files[file] == generated.files.at(file), "--add-ignore changes nothing morvcfg generates");
    }
}

// --compare of the input's two halves says "the same" exactly when morvcfg's own writers give the
// two the same morv_cfg.c and morv_cfg.h (the clock stands still) and the pass-through copies the
// same defines; and a file compared with itself is the same.
void check_comparison(std::string_view input) {
    const char* args[] = {"morvcfg", "in.cfg", "out.cfg"};
    const std::array<std::string, 2> halves{std::string(input.substr(0, input.size() / 2)),
                                            std::string(input.substr(input.size() / 2))};
    std::array<morvcfg::CheckResult, 2> checked;
    std::array<morvcfg::MemoryEnvironment, 2> generated;
    for (std::size_t i = 0; i < 2; ++i) {
        morvcfg::StringSource source(halves[i]);
        checked[i] = morvcfg::check(source);
        generated[i].files["in.cfg"] = halves[i];
        require(morvcfg::run(args, generated[i]) == 0, "the run completes");
    }
    const bool same_files = generated[0].files["morv_cfg.c"] == generated[1].files["morv_cfg.c"] &&
                            generated[0].files["morv_cfg.h"] == generated[1].files["morv_cfg.h"] &&
                            checked[0].defines == checked[1].defines;
    const morvcfg::Comparison comparison = morvcfg::compare(checked[0], checked[1], "a", "b");
    require(comparison.same() == same_files, "--compare says the same exactly when the generated files are");
    for (const morvcfg::ValueChange& change : comparison.changes) {
        require(change.before != change.after, "a change changes a value");
    }
    require(morvcfg::compare(checked[0], checked[0], "a", "a").same(), "a file compared with itself is the same");
}

// A gateway or name server is moved exactly where the value the last line (or the default) gives
// differs from the value written, which is exactly where the subnet-move warning says it is written
// as another address (for one a line gives).
void check_move(const morvcfg::CheckResult& checked, const morvcfg::GeneratedSetting& setting,
                const std::map<std::string, std::uint64_t>& last,
                const std::map<std::uint64_t, const morvcfg::DirectiveLine*>& at) {
    const morvcfg::NetConfig defaults;
    std::string given = morvcfg::dotted(setting.name == "GateWay" ? defaults.GateWay : defaults.DomainNameServer);
    if (const auto setter = last.find(setting.name); setter != last.end()) {
        const auto& settings = at.at(setter->second)->settings;
        given = std::find_if(settings.begin(), settings.end(), [&](const morvcfg::Setting& s) {
                    return s.name == setting.name;
                })->value;
    }
    const bool moved = setting.origin.kind == morvcfg::ValueOrigin::Kind::Moved;
    require(setting.given == given && moved == (given != setting.value),
            "a value is moved exactly where it is not the value given");
    const bool warned = setting.origin.at &&
                        std::any_of(checked.findings.begin(), checked.findings.end(), [&](const morvcfg::Finding& f) {
                            return f.category == morvcfg::Category::SubnetMove && f.offset == *setting.origin.at;
                        });
    require(!setting.origin.at || moved == warned, "a line's value is moved where the warning says so");
}

// Where each value comes from names a directive that sets it, last: a line origin the line that
// sets the name (a define's, the line that writes it), a derived one the last line that sets a
// setting it is computed from, a default no line at all (and see check_move()).
void check_origins(const morvcfg::CheckResult& checked) {
    std::map<std::string, std::uint64_t> last;
    std::map<std::uint64_t, const morvcfg::DirectiveLine*> at;
    for (const morvcfg::DirectiveLine& directive : checked.directives) {
        at[directive.offset] = &directive;
        for (const morvcfg::Setting& setting : directive.settings) {
            last[setting.name] = directive.offset;
        }
    }
    const auto sets = [&](std::uint64_t offset, std::string_view name) {
        const auto line = at.find(offset);
        return line != at.end() && std::any_of(line->second->settings.begin(), line->second->settings.end(),
                                               [name](const morvcfg::Setting& s) { return s.name == name; });
    };
    const std::vector<morvcfg::GeneratedSetting> settings = morvcfg::configuration_of(checked);
    for (const morvcfg::GeneratedSetting& setting : settings) {
        const morvcfg::ValueOrigin& origin = setting.origin;
        const bool define = setting.name.ends_with("_START_ADDRESS");
        require(!origin.at || at.contains(*origin.at), "an origin names a directive line");
        require(origin.kind != morvcfg::ValueOrigin::Kind::Moved || setting.given != setting.value,
                "a value moved is not the value given");
        switch (origin.kind) {
            case morvcfg::ValueOrigin::Kind::Line:
                require(sets(*origin.at, setting.name) && (define || last[setting.name] == *origin.at),
                        "a value comes from the last line that sets it");
                break;
            case morvcfg::ValueOrigin::Kind::Default:
                require(!last.contains(setting.name), "a default is a value no line sets");
                break;
            case morvcfg::ValueOrigin::Kind::Derived:
            case morvcfg::ValueOrigin::Kind::Moved:
                break;
        }
        if (setting.name == "GateWay" || setting.name == "DomainNameServer") {
            check_move(checked, setting, last, at);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const char* args[] = {"morvcfg", "in.cfg", "out.cfg"};

    morvcfg::MemoryEnvironment first;
    first.files["in.cfg"] = input;
    require(morvcfg::run(args, first) == 0, "the run completes");
    require(first.error_output.empty(), "a complete run says nothing");

    const std::string& pass_through = first.files["out.cfg"];
    require(only_crlf_line_ends(pass_through), "pass-through line ends are CR LF");
    for (const std::string_view line : lines_of(pass_through)) {
        require(morvcfg::match_directive(line) == nullptr, "no directive reaches the pass-through");
    }
    // Where no directive can stand, the pass-through is the text mode's copy of the input.
    const std::string text = text_mode_read(input);
    check_pieces(input, text);
    check_runs(input, pass_through);
    if (text.find(morvcfg::kKeywordPrefix) == std::string::npos) {
        require(pass_through == std::string(mark_of(input)) + text_mode_write(text),
                "without directives, the text is copied");
    }
    check_generated(first.files["morv_cfg.c"], 22, "morv_cfg.c has its fixed shape");
    check_generated(first.files["morv_cfg.h"], 23, "morv_cfg.h has its fixed shape");

    // The checker reads the same input through the same code: it must get the same record.
    morvcfg::StringSource for_translator(input);
    morvcfg::PieceReader reader(for_translator);
    morvcfg::StringSink discarded;
    morvcfg::TextWriter pass_through_copy(discarded);
    morvcfg::NetConfig config;
    require(morvcfg::translate(reader, config, pass_through_copy), "the pass completes");
    const morvcfg::Address network = morvcfg::derive(config);
    morvcfg::StringSource for_checker(input);
    const morvcfg::CheckResult checked = morvcfg::check(for_checker);
    require(!checked.read_failed && checked.network == network, "the checker derives the same network");
    require(same_record(checked.config, config), "the checker sees the addresses and pools the translator writes");
    // The GCC form with everything it can show: source lines, carets, fixes, colour, configuration.
    std::string diagnostics;
    morvcfg::StringSource lines_again(input);
    morvcfg::ReportOptions everything;
    everything.summary = true;
    everything.parseable_fixits = true;
    everything.colour = true;
    morvcfg::write_gcc(diagnostics,
                       morvcfg::FileReport{"f", {}, checked, {}, morvcfg::source_lines(lines_again, checked)},
                       everything);
    check_machine_formats(input, checked);
    check_fixes(input, checked);
    check_certain_fixes_keep_values(input, checked);
    check_fixes_keep_configuration(input, checked);
    check_values_in_messages(checked);
    check_line_ends_agree(input, checked);
    check_ignore_edits(input, checked);
    check_add_ignores(input, first);
    check_comparison(input);
    check_origins(checked);

    morvcfg::MemoryEnvironment second;
    second.files["in.cfg"] = input;
    require(morvcfg::run(args, second) == 0 && second.files == first.files, "runs are deterministic");
    return 0;
}
