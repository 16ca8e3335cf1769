#include "translator/text_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "generator/text_writer.h"

// MORVCFG_NO_SIMD builds the portable search on x86 too, and MORVCFG_NO_AVX2 the SSE2 one, so that
// the tests can cover each.
#if (defined(__SSE2__) || defined(_M_X64)) && !defined(MORVCFG_NO_SIMD)
#define MORVCFG_SSE2_SEARCH 1
#include <emmintrin.h>
// With GCC and Clang the search for runs of lines also comes in AVX2, taken for large files where
// the processor has it.
#if (defined(__GNUC__) || defined(__clang__)) && !defined(MORVCFG_NO_AVX2)
#define MORVCFG_AVX2_SEARCH 1
#include <cpuid.h>
#include <immintrin.h>
#endif
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

// The search for runs of lines tests the buffer in blocks of this many bytes, and skims it in
// chunks of this many: a chunk holding an LF keeps the lines that cross it short enough, as no two
// LFs of chunks in a row lie kMaxPiece + 1 bytes apart.
constexpr std::size_t kBlock = 64;
constexpr std::size_t kChunk = 128;
static_assert(2 * kChunk - 1 <= kMaxPiece);

// Where LF, CR and one other byte value stand in a 64-byte block: bit i for the block's byte i.
struct BlockMasks {
    std::uint64_t line_feed;
    std::uint64_t carriage_return;
    std::uint64_t stop;
};

// How far the blocks from a line's start hold lines that may be taken: the start of the first
// line refused, with `refused` set, or, when the blocks ran out first, the start of the line still
// open there.
struct BlockScan {
    std::size_t line_start;
    bool refused;
};

// What skimming from a line's start found.
struct Skim {
    // Where the first chunk in doubt (or too near the end to be skimmed) starts: every line that
    // ends before it may be taken.
    std::size_t clean;
    // Where the run ends when the first doubt was a line starting with the stop byte, which only
    // ends it; 0 when the chunk's lines must be tested one by one.
    std::size_t run_end;
};

// The search is written once, in line_search.inc, in terms of a `Vector` of bytes that it loads,
// compares and combines, and compiled once for each kind of vector: eight bytes in a machine word
// anywhere, SSE2 and AVX2 registers on x86. Comparisons give 0x80 in each byte that matched (the
// word) or all its bits (the registers); bits() gathers them, bit i for byte i.
struct WordVector {
    static constexpr std::size_t kWidth = 8;
    using Bytes = std::uint64_t;
    static constexpr Bytes kLow = 0x0101010101010101U;
    static constexpr Bytes kHigh = 0x8080808080808080U;
    static Bytes splat(char c) { return kLow * static_cast<unsigned char>(c); }
    static Bytes zero() { return 0; }
    static Bytes load(const char* at) {
        Bytes bytes = 0;
        for (unsigned i = 0; i < kWidth; ++i) {
            bytes |= Bytes{static_cast<unsigned char>(at[i])} << (8 * i);
        }
        return bytes;
    }
    static Bytes equal(Bytes a, Bytes b) {
        const Bytes differing = a ^ b;
        return ~(((differing & ~kHigh) + ~kHigh) | differing) & kHigh;
    }
    static Bytes differ(Bytes a, Bytes b) { return a ^ b; }
    static Bytes both(Bytes a, Bytes b) { return a & b; }
    static Bytes either(Bytes a, Bytes b) { return a | b; }
    static std::uint64_t bits(Bytes a) { return ((a >> 7U) * 0x0102040810204080U) >> 56U; }
    static bool none(Bytes a) { return a == 0; }
};

namespace word_search {
using Vector = WordVector;
#include "translator/line_search.inc"
}  // namespace word_search

#ifdef MORVCFG_SSE2_SEARCH
struct Sse2Vector {
    static constexpr std::size_t kWidth = 16;
    static __m128i splat(char c) { return _mm_set1_epi8(c); }
    static __m128i zero() { return _mm_setzero_si128(); }
    static __m128i load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
    static __m128i equal(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
    static __m128i differ(__m128i a, __m128i b) { return _mm_xor_si128(a, b); }
    static __m128i both(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
    static __m128i either(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
    static std::uint64_t bits(__m128i a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }
    static bool none(__m128i a) { return bits(a) == 0; }
};

namespace sse2_search {
using Vector = Sse2Vector;
#include "translator/line_search.inc"  // NOLINT(readability-duplicate-include): once per vector
}  // namespace sse2_search
#endif

#ifdef MORVCFG_AVX2_SEARCH
// Everything from here to the pop is compiled for AVX2, and is only called where the processor has
// it; nothing in it passes a vector to code outside.
#ifdef __clang__
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
struct Avx2Vector {
    static constexpr std::size_t kWidth = 32;
    static __m256i splat(char c) { return _mm256_set1_epi8(c); }
    static __m256i zero() { return _mm256_setzero_si256(); }
    static __m256i load(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
    static __m256i equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi8(a, b); }
    static __m256i differ(__m256i a, __m256i b) { return _mm256_xor_si256(a, b); }
    static __m256i both(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
    static __m256i either(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
    static std::uint64_t bits(__m256i a) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(a)); }
    static bool none(__m256i a) { return _mm256_testz_si256(a, a) != 0; }
};

namespace avx2_search {
using Vector = Avx2Vector;
#include "translator/line_search.inc"  // NOLINT(readability-duplicate-include): once per vector
}  // namespace avx2_search
#ifdef __clang__
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

std::size_t find_run_end(const char* buffer, std::size_t begin, std::size_t end, char stop, bool wide) {
#ifdef MORVCFG_AVX2_SEARCH
    if (wide) {
        return avx2_search::run_end(buffer, begin, end, stop);
    }
#else
    (void)wide;
#endif
#ifdef MORVCFG_SSE2_SEARCH
    return sse2_search::run_end(buffer, begin, end, stop);
#else
    return word_search::run_end(buffer, begin, end, stop);
#endif
}

// Whether the processor has AVX2 and the system keeps its registers. Asked only once a file proves
// large: in a virtual machine every question put to the processor is a trip to the host.
bool wide_search_available() {
#ifdef MORVCFG_AVX2_SEARCH
    unsigned a = 0;
    unsigned b = 0;
    unsigned c = 0;
    unsigned d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) {
        return false;
    }
    unsigned state_low = 0;
    unsigned state_high = 0;
    __asm__("xgetbv" : "=a"(state_low), "=d"(state_high) : "c"(0));
    constexpr unsigned kVectorState = 0x6;  // the SSE and AVX register state
    if ((state_low & kVectorState) != kVectorState) {
        return false;
    }
    return __get_cpuid_count(7, 0, &a, &b, &c, &d) != 0 && (b & bit_AVX2) != 0;
#else
    return false;
#endif
}

}  // namespace

std::ptrdiff_t StringSource::read(char* buffer, std::size_t size) {
    const std::size_t take = std::min({size, step_, bytes_.size() - offset_});
    std::memcpy(buffer, bytes_.data() + offset_, take);
    offset_ += take;
    return static_cast<std::ptrdiff_t>(take);
}

PieceReader::PieceReader(ByteSource& source, RawObserver* observer)
    : source_(source), observer_(observer), buffer_(new char[kFirstReadSize + kKept]) {}

bool PieceReader::skip_byte_order_mark() {
    while (!at_end_ && end_ - begin_ < kByteOrderMark.size()) {
        refill();
    }
    if (std::string_view(buffer_.get() + begin_, end_ - begin_).starts_with(kByteOrderMark)) {
        begin_ += kByteOrderMark.size();
        return true;
    }
    return false;
}

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

std::string_view PieceReader::next_verbatim(char stop) {
    const char* const buffer = buffer_.get();
    if (begin_ == end_ || buffer[begin_] == stop) {
        return {};
    }
    const std::size_t run_start = begin_;
    begin_ = find_run_end(buffer, begin_, end_, stop, wide_search_);
    return {buffer + run_start, begin_ - run_start};
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
    if (before_reuse_) {
        before_reuse_();
    }
    // Keep the unfinished piece (at most kMaxPiece + 1 bytes) at the front and read behind it, in
    // a larger buffer once a first-size read has come back full.
    const std::size_t kept = end_ - begin_;
    if (last_read_full_ && read_size_ == kFirstReadSize) {
        auto larger = uninitialised_buffer(kLargeReadSize + kKept);
        std::memcpy(larger.get(), buffer_.get() + begin_, kept);
        buffer_ = std::move(larger);
        read_size_ = kLargeReadSize;
        wide_search_ = wide_search_available();
    } else {
        std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
    }
    char* const buffer = buffer_.get();
    begin_ = 0;
    end_ = kept;

    const std::ptrdiff_t count = source_.read(buffer + kept, read_size_);
    last_read_full_ = count == static_cast<std::ptrdiff_t>(read_size_);
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
