#include "checker/analysis/file_layout.h"

#include <string>

namespace morvcfg {

namespace {

// The first bytes of a file kept to tell UTF-16 without a byte-order mark.
constexpr std::size_t kEncodingProbe = 128;

// True for ASCII (or Latin-1) text in UTF-16 without a byte-order mark: a NUL in every other byte
// and none between, in either byte order, over two characters at least.
bool utf16_without_mark(std::string_view first) {
    const std::size_t units = first.size() / 2;
    if (units < 2) {
        return false;
    }
    for (const std::size_t high : {std::size_t{0}, std::size_t{1}}) {
        bool all = true;
        for (std::size_t i = 0; i < units && all; ++i) {
            all = first[2 * i + high] == '\0' && first[2 * i + 1 - high] != '\0';
        }
        if (all) {
            return true;
        }
    }
    return false;
}

}  // namespace

void FileLayout::on_read(std::string_view raw) {
    if (first_bytes_.size() < kEncodingProbe) {
        const bool marked = first_bytes_.size() >= 2;
        first_bytes_.append(raw.substr(0, kEncodingProbe - first_bytes_.size()));
        if (!marked && (first_bytes_.starts_with("\xFF\xFE") || first_bytes_.starts_with("\xFE\xFF"))) {
            // Every other byte of a UTF-16 file is NUL and each line end a CR and an LF apart: the
            // warnings that would give on every line say nothing this one does not.
            utf16_ = true;
            findings_.warn(0, 2, Category::Encoding,
                           "the file is UTF-16 (it starts with a UTF-16 byte-order mark): morvcfg reads it byte by "
                           "byte, finds no directive in it and copies it as it is; save it as UTF-8");
        }
    }
    if (ctrl_z_) {
        after_ctrl_z_ += raw.size();
        return;
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const std::uint64_t offset = raw_size_ + i;
        const char c = raw[i];
        if (c == '\x1a') {
            ctrl_z_ = offset;
            after_ctrl_z_ = raw.size() - i - 1;
            cr_run_.reset();
            break;
        }
        if (c == '\r') {
            carriage_returns_.push_back(offset);
            if (!cr_run_) {
                cr_run_ = offset;
            }
            continue;
        }
        if (cr_run_ && c != '\n' && !utf16_) {
            findings_.warn(
                *cr_run_, Category::LoneCr,
                "carriage return without a line feed: it is dropped, and the text on both sides becomes one line");
        }
        if (c == '\n') {
            line_feeds_.push_back(offset);
            crlf_line_ends_ = cr_run_.has_value();
        }
        cr_run_.reset();
    }
    raw_size_ += raw.size();
}

std::uint64_t FileLayout::file_offset(std::uint64_t text_offset) const {
    // Past any byte-order mark, the k-th CR stands before offset carriage_returns_[k] - k; count
    // those at or before.
    text_offset += mark_size_;
    std::size_t low = 0;
    std::size_t high = carriage_returns_.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (carriage_returns_[mid] - mid <= text_offset) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return text_offset + low;
}

std::uint64_t FileLayout::begin_piece(std::span<const char> piece, const Directive* row) {
    const std::uint64_t start = text_size_;
    text_size_ += piece.size();
    piece_starts_line_ = at_line_start_;
    at_line_start_ = piece.back() == '\n';
    if (piece_starts_line_) {
        line_start_ = start;
        split_notes_.clear();
    }

    const std::string_view whole(piece.data(), piece.size());
    if (const std::size_t nul = whole.find('\0'); nul != std::string_view::npos && !utf16_) {
        findings_.warn(file_offset(start + nul), Category::Nul,
                       row != nullptr ? "NUL byte: the directive's text ends here, and the rest of it is not read"
                                      : "NUL byte in ordinary text: it is copied to the pass-through output as it is");
    }
    if (!piece_starts_line_) {
        if (row != nullptr) {
            split_notes_.emplace_back(file_offset(start), "this piece starts with " + std::string(row->keyword) +
                                                              ", so it is taken as a directive and not copied");
        } else if (previous_was_directive_ && whole != "\n") {
            split_notes_.emplace_back(file_offset(start),
                                      "the directive ends before this point; the text from here on is ordinary and "
                                      "is copied to the pass-through output");
        }
    }
    previous_was_directive_ = row != nullptr;
    return start;
}

void FileLayout::end_piece() {
    if (at_line_start_) {
        finish_line(text_size_);
    }
}

void FileLayout::finish_line(std::uint64_t end) {
    const std::uint64_t length = end - line_start_ - (at_line_start_ ? 1 : 0);
    if (length > kMaxPiece) {
        const std::uint64_t pieces = (length + kMaxPiece - 1) / kMaxPiece;
        Finding& finding = findings_.warn(file_offset(line_start_ + kMaxPiece), Category::LongLine,
                                          "line is " + std::to_string(length) + " characters long: it is read as " +
                                              std::to_string(pieces) +
                                              " pieces of at most 255 characters, each handled as a line of its own");
        finding.notes = std::move(split_notes_);
    }
    split_notes_.clear();
}

void FileLayout::finish(ByteSource& rest) {
    if (!at_line_start_) {
        finish_line(text_size_);
    }
    if (!utf16_ && utf16_without_mark(first_bytes_)) {
        utf16_ = true;
        findings_.forget(Category::Nul);
        findings_.forget(Category::LoneCr);
        findings_.warn(0, 2, Category::Encoding,
                       std::string("the file is UTF-16 (") +
                           (first_bytes_[0] == '\0' ? "big-endian" : "little-endian") +
                           ", without a byte-order mark: a NUL in every other byte): morvcfg reads it byte by byte, "
                           "finds no directive in it and copies it as it is; save it as UTF-8");
    }
    if (utf16_) {
        // Each character takes two bytes, so lines seem twice as long as they are.
        findings_.forget(Category::LongLine);
    }
    if (ctrl_z_) {
        // Count what the translator never reads.
        char buffer[4096];
        for (std::ptrdiff_t count = 0; (count = rest.read(buffer, sizeof buffer)) > 0;) {
            after_ctrl_z_ += static_cast<std::uint64_t>(count);
        }
        if (after_ctrl_z_ > 0) {
            findings_.warn(
                *ctrl_z_, Category::CtrlZ,
                "Ctrl-Z ends the input: the " + std::to_string(after_ctrl_z_) + " bytes after it are never read");
        }
    }
}

}  // namespace morvcfg
