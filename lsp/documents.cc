#include "lsp/documents.h"

#include <algorithm>

#include "checker/analysis/check.h"
#include "checker/analysis/utf8.h"

namespace morvcfg::lsp {
namespace {

// The units a character of `length` bytes takes in an encoding (a byte that is not UTF-8 is one
// character, as the editor shows it).
std::uint64_t units(std::size_t length, PositionEncoding encoding) {
    switch (encoding) {
        case PositionEncoding::Utf8:
            return std::max<std::size_t>(length, 1);
        case PositionEncoding::Utf16:
            return length == 4 ? 2 : 1;
        case PositionEncoding::Utf32:
            break;
    }
    return 1;
}

}  // namespace

std::uint64_t characters(std::string_view text, PositionEncoding encoding) {
    std::uint64_t count = 0;
    while (!text.empty()) {
        const std::size_t length = utf8_length(text);
        count += units(length, encoding);
        text.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return count;
}

Document::Document(std::string uri, std::int64_t version, std::string text, IncludeOpener open_include)
    : uri_(std::move(uri)), version_(version), text_(std::move(text)), open_include_(std::move(open_include)) {
    index_lines();
}

void Document::index_lines() {
    line_starts_.assign(1, 0);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n'))) {
            line_starts_.push_back(i + 1);
        }
    }
    analysis_.reset();
}

std::uint64_t Document::line_start(std::uint64_t line) const {
    return line < line_starts_.size() ? line_starts_[static_cast<std::size_t>(line)] : text_.size();
}

std::uint64_t Document::line_end(std::uint64_t line) const {
    if (line + 1 >= line_starts_.size()) {
        return text_.size();
    }
    const auto index = static_cast<std::size_t>(line);
    std::uint64_t end = line_starts_[index + 1] - 1;
    if (end > line_starts_[index] && text_[static_cast<std::size_t>(end)] == '\n' &&
        text_[static_cast<std::size_t>(end - 1)] == '\r') {
        --end;
    }
    return end;
}

Position Document::position(std::uint64_t offset, PositionEncoding encoding) const {
    offset = std::min<std::uint64_t>(offset, text_.size());
    const auto after = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
    const auto line = static_cast<std::uint64_t>(after - line_starts_.begin()) - 1;
    const std::uint64_t end = std::min(offset, line_end(line));
    std::uint64_t character = 0;
    for (std::uint64_t at = line_start(line); at < end;) {
        const std::size_t length = utf8_length(std::string_view(text_).substr(static_cast<std::size_t>(at)));
        const std::uint64_t step = std::max<std::size_t>(length, 1);
        if (at + step > end) {
            break;  // an offset inside a character
        }
        character += units(length, encoding);
        at += step;
    }
    return {line, character};
}

std::uint64_t Document::offset(Position position, PositionEncoding encoding) const {
    if (position.line >= line_starts_.size()) {
        return text_.size();
    }
    const std::uint64_t end = line_end(position.line);
    std::uint64_t at = line_start(position.line);
    for (std::uint64_t character = 0; at < end && character < position.character;) {
        const std::size_t length = utf8_length(std::string_view(text_).substr(static_cast<std::size_t>(at)));
        character += units(length, encoding);
        at += std::max<std::size_t>(length, 1);
    }
    return std::min(at, end);
}

Range Document::range(std::uint64_t begin, std::uint64_t end, PositionEncoding encoding) const {
    return {position(begin, encoding), position(std::max(begin, end), encoding)};
}

void Document::replace(const std::optional<Range>& range, std::string_view text, std::int64_t version,
                       PositionEncoding encoding) {
    if (range) {
        const std::uint64_t begin = offset(range->start, encoding);
        const std::uint64_t end = std::max(begin, offset(range->end, encoding));
        text_.replace(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin), text);
    } else {
        text_.assign(text);
    }
    version_ = version;
    index_lines();
}

const CheckResult& Document::analysis() const {
    if (!analysis_) {
        StringSource source(text_);
        analysis_ = check(source, open_include_);
    }
    return *analysis_;
}

}  // namespace morvcfg::lsp
