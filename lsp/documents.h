#pragma once

// The documents the editor has open: their text as the editor holds it, and the one place where
// editor positions (line and character, counted in the client's position encoding) and byte
// offsets in the text meet.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/analysis/c_reading.h"
#include "checker/analysis/findings.h"
#include "checker/forms/report.h"

namespace morvcfg::lsp {

// How a position's character counts: UTF-8 bytes, UTF-16 code units (the protocol's default) or
// code points.
enum class PositionEncoding { Utf8, Utf16, Utf32 };

struct Position {
    std::uint64_t line = 0;
    std::uint64_t character = 0;
};

struct Range {
    Position start;
    Position end;
};

// One open document. Lines end at LF, CR LF or a lone CR, as the protocol counts them.
class Document {
public:
    // `open_include` opens the files the text's #include lines name.
    Document(std::string uri, std::int64_t version, std::string text, IncludeOpener open_include = {});

    [[nodiscard]] const std::string& uri() const { return uri_; }
    [[nodiscard]] std::int64_t version() const { return version_; }
    [[nodiscard]] const std::string& text() const { return text_; }

    // The position of a byte offset (one inside a character counts as that character's start; one
    // past a line's end as that end).
    [[nodiscard]] Position position(std::uint64_t offset, PositionEncoding encoding) const;
    // The byte offset of a position; a character past its line's end is the line's end, a line
    // past the last the end of the text.
    [[nodiscard]] std::uint64_t offset(Position position, PositionEncoding encoding) const;
    // The range of bytes [begin, end).
    [[nodiscard]] Range range(std::uint64_t begin, std::uint64_t end, PositionEncoding encoding) const;
    // Where line `line` starts and where its text ends (before its line end).
    [[nodiscard]] std::uint64_t line_start(std::uint64_t line) const;
    [[nodiscard]] std::uint64_t line_end(std::uint64_t line) const;
    [[nodiscard]] std::uint64_t line_count() const { return line_starts_.size(); }

    // Replaces the whole text, or the text of a range, and takes the new version.
    void replace(const std::optional<Range>& range, std::string_view text, std::int64_t version,
                 PositionEncoding encoding);

    // The analysis of the text, made when first asked for after a change.
    const CheckResult& analysis() const;

    // Which warnings are reported and as what: the command line's options, with those of the
    // document's project file.
    [[nodiscard]] const ReportOptions& options() const { return options_; }
    void set_options(ReportOptions options) { options_ = std::move(options); }

private:
    void index_lines();

    std::string uri_;
    std::int64_t version_;
    std::string text_;
    std::vector<std::uint64_t> line_starts_;
    IncludeOpener open_include_;
    mutable std::optional<CheckResult> analysis_;
    ReportOptions options_;
};

// The characters of `text` counted in an encoding.
std::uint64_t characters(std::string_view text, PositionEncoding encoding);

// The open documents by URI.
using DocumentStore = std::map<std::string, Document, std::less<>>;

}  // namespace morvcfg::lsp
