#include "translator/text_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

// MORVCFG_NO_SIMD builds the portable search on x86 too, so that the tests cover it.
#if (defined(__SSE2__) || defined(_M_X64)) && !defined(MORVCFG_NO_SIMD)
#define MORVCFG_SSE2_SEARCH 1
#include <emmintrin.h>
#endif

namespace morvcfg {
namespace {

// The first LF or CR in [begin, end), or end. Every line passes through here, so on x86 it tests 32
// bytes at a time; elsewhere the C library's memchr does the work, once for each byte value.
const char* find_line_byte(const char* begin, const char* end) {
#ifdef MORVCFG_SSE2_SEARCH
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i carriage_return = _mm_set1_epi8('\r');
    const auto hits = [&](const char* at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, line_feed), _mm_cmpeq_epi8(bytes, carriage_return))));
    };
    for (; end - begin >= 32; begin += 32) {
        if (const unsigned mask = hits(begin) | (hits(begin + 16) << 16U); mask != 0) {
            return begin + std::countr_zero(mask);
        }
    }
    if (end - begin >= 16) {
        if (const unsigned mask = hits(begin); mask != 0) {
            return begin + std::countr_zero(mask);
        }
        begin += 16;
    }
    for (; begin != end; ++begin) {
        if (*begin == '\n' || *begin == '\r') {
            return begin;
        }
    }
    return end;
#else
    const auto size = static_cast<std::size_t>(end - begin);
    const void* line_feed = std::memchr(begin, '\n', size);
    const std::size_t before =
        line_feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - begin) : size;
    const void* carriage_return = std::memchr(begin, '\r', before);
    return carriage_return != nullptr ? static_cast<const char*>(carriage_return) : begin + before;
#endif
}

}  // namespace

std::ptrdiff_t StringSource::read(char* buffer, std::size_t size) {
    const std::size_t take = std::min(size, bytes_.size() - offset_);
    std::memcpy(buffer, bytes_.data() + offset_, take);
    offset_ += take;
    return static_cast<std::ptrdiff_t>(take);
}

PieceReader::PieceReader(ByteSource& source, RawObserver* observer)
    : source_(source), observer_(observer), buffer_(new char[kCapacity]) {}

bool PieceReader::next(std::span<char>& piece) {
    while (!failed_) {
        Cut cut = cut_common_line(piece);
        if (cut == Cut::Other) {
            cut = cut_any_piece(piece);
        }
        if (cut != Cut::NeedMore) {
            return cut == Cut::Piece;
        }
        refill();
    }
    return false;
}

PieceReader::Cut PieceReader::cut_common_line(std::span<char>& piece) {
    // The common line: at most kMaxPiece characters up to its LF, with no CR but, perhaps, the one
    // just before the LF. Its piece is the line where it lies, that CR overwritten by the LF.
    char* const start = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    const std::size_t window = std::min(available, kMaxPiece + 1);
    const auto before = static_cast<std::size_t>(find_line_byte(start, start + window) - start);
    char* const found = start + before;
    if (before == window) {
        // No line end yet: the piece may go on past what has been read.
        return available <= kMaxPiece && !at_end_ ? Cut::NeedMore : Cut::Other;
    }
    if (before >= kMaxPiece) {
        return Cut::Other;
    }
    if (*found == '\n') {
        return take(piece, before + 1, before + 1);
    }
    if (before + 1 == available) {
        // A CR at the end of what has been read: is an LF next?
        return at_end_ ? Cut::Other : Cut::NeedMore;
    }
    if (found[1] != '\n') {
        return Cut::Other;
    }
    *found = '\n';
    return take(piece, before + 1, before + 2);
}

PieceReader::Cut PieceReader::cut_any_piece(std::span<char>& piece) {
    // CRs are squeezed out of the piece where it lies.
    char* const start = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    std::size_t read = 0;
    std::size_t length = 0;
    while (read < available && length < kMaxPiece) {
        const char c = start[read++];
        if (c != '\r') {
            start[length++] = c;
            if (c == '\n') {
                break;
            }
        }
    }
    const bool complete = length == kMaxPiece || (length > 0 && start[length - 1] == '\n');
    if (complete || (at_end_ && read == available)) {
        if (length == 0) {
            begin_ = end_;
            return Cut::End;
        }
        return take(piece, length, read);
    }
    // The input ran out before the piece ended: keep its text, now without CRs, and read on.
    end_ = begin_ + length;
    return Cut::NeedMore;
}

PieceReader::Cut PieceReader::take(std::span<char>& piece, std::size_t length, std::size_t consumed) {
    piece = std::span<char>(buffer_.get() + begin_, length);
    begin_ += consumed;
    return Cut::Piece;
}

void PieceReader::refill() {
    // Keep the unfinished piece (at most kMaxPiece + 1 bytes) at the front and read behind it.
    char* const buffer = buffer_.get();
    const std::size_t kept = end_ - begin_;
    std::memmove(buffer, buffer + begin_, kept);
    begin_ = 0;
    end_ = kept;

    const std::ptrdiff_t count = source_.read(buffer + kept, kReadSize);
    if (count < 0) {
        failed_ = true;
        at_end_ = true;
        return;
    }
    if (count == 0) {
        at_end_ = true;
        return;
    }
    char* const fresh = buffer + kept;
    auto size = static_cast<std::size_t>(count);
    if (observer_ != nullptr) {
        observer_->on_read(std::string_view(fresh, size));
    }
    if (const void* eof = std::memchr(fresh, 0x1A, size)) {
        size = static_cast<std::size_t>(static_cast<const char*>(eof) - fresh);
        at_end_ = true;
    }
    end_ = kept + size;
}

}  // namespace morvcfg
