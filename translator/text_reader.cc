#include "translator/text_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// The search for runs of lines tests the buffer in blocks of this many bytes.
constexpr std::size_t kBlock = 64;

// Where LF, CR and one other byte value stand in a 64-byte block: bit i for the block's byte i.
struct BlockMasks {
    std::uint64_t line_feed;
    std::uint64_t carriage_return;
    std::uint64_t stop;
};

BlockMasks whole_block_masks(const char* at, char stop) {
    BlockMasks masks{0, 0, 0};
#ifdef MORVCFG_SSE2_SEARCH
    const __m128i line_feed = _mm_set1_epi8('\n');
    const __m128i carriage_return = _mm_set1_epi8('\r');
    const __m128i stop_byte = _mm_set1_epi8(stop);
    for (std::size_t part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part * 16));
        const auto bits = [&bytes](__m128i value) {
            return std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, value)))};
        };
        masks.line_feed |= bits(line_feed) << (part * 16);
        masks.carriage_return |= bits(carriage_return) << (part * 16);
        masks.stop |= bits(stop_byte) << (part * 16);
    }
#else
    for (unsigned i = 0; i < 64; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        masks.line_feed |= at[i] == '\n' ? bit : 0;
        masks.carriage_return |= at[i] == '\r' ? bit : 0;
        masks.stop |= at[i] == stop ? bit : 0;
    }
#endif
    return masks;
}

#ifdef MORVCFG_AVX2_SEARCH
[[gnu::target("avx2")]] BlockMasks whole_block_masks_avx2(const char* at, char stop) {
    const __m256i line_feed = _mm256_set1_epi8('\n');
    const __m256i carriage_return = _mm256_set1_epi8('\r');
    const __m256i stop_byte = _mm256_set1_epi8(stop);
    const __m256i values[3] = {line_feed, carriage_return, stop_byte};
    std::uint64_t bits[3] = {};
    for (std::size_t half = 0; half < 2; ++half) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + half * 32));
        for (unsigned i = 0; i < 3; ++i) {
            const auto found = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, values[i])));
            bits[i] |= std::uint64_t{found} << (half * 32);
        }
    }
    return {bits[0], bits[1], bits[2]};
}
#endif

// How far the blocks from `begin` (a line's start) hold lines that may be taken: the start of the
// first line refused, with `refused` set, or, when the search reached `end` first, the start of the
// line still open there. A line is refused for a CR without an LF after it, an LF without a CR
// before it, `stop` as its first byte or its length. `end` is where the buffer ends or a bound a
// whole number of blocks from `begin`. Written once for every kind of block test.
struct BlockScan {
    std::size_t line_start;
    bool refused;
};

template <BlockMasks (*Masks)(const char*, char)>
#ifdef MORVCFG_AVX2_SEARCH
[[gnu::always_inline]]
#endif
inline BlockScan
scan_blocks(const char* buffer, std::size_t begin, std::size_t end, char stop) {
    constexpr std::uint64_t kLast = std::uint64_t{1} << 63U;
    std::size_t line_start = begin;
    std::uint64_t carried_cr = 0;    // the last block ended in a CR
    std::uint64_t carried_line = 1;  // the last block ended in an LF (the front is a piece's start)
    for (std::size_t at = begin; at < end; at += kBlock) {
        const std::size_t size = std::min(kBlock, end - at);
        BlockMasks masks{};
        if (size == kBlock) {
            masks = Masks(buffer + at, stop);
        } else {
            // The block at the end is copied out first, so that nothing past the bytes is read.
            std::array<char, kBlock> tail{};
            std::memcpy(tail.data(), buffer + at, size);
            masks = Masks(tail.data(), stop);
            const std::uint64_t in_use = (std::uint64_t{1} << size) - 1;
            masks.line_feed &= in_use;
            masks.carriage_return &= in_use;
            masks.stop &= in_use;
        }
        // The common block: every CR stands just before an LF and every LF just after a CR, no line
        // starts with `stop`, and no line grows too long. Its lines are taken with a few bit
        // operations; any other block goes through the tests below, which find where to stop.
        const std::uint64_t after_cr = (masks.carriage_return << 1U) | carried_cr;
        const std::uint64_t at_line_start = (masks.line_feed << 1U) | carried_line;
        if (size == kBlock && after_cr == masks.line_feed && (masks.stop & at_line_start) == 0) {
            const std::uint64_t feeds = masks.line_feed;
            if (feeds == 0 ? at + kBlock - line_start <= kMaxPiece
                           : at + static_cast<std::size_t>(std::countr_zero(feeds)) - line_start <= kMaxPiece) {
                if (feeds != 0) {
                    line_start = at + static_cast<std::size_t>(63 - std::countl_zero(feeds)) + 1;
                }
                carried_cr = masks.carriage_return >> 63U;
                carried_line = feeds >> 63U;
                continue;
            }
        }
        if (carried_cr != 0 && (masks.line_feed & 1U) == 0) {
            return {line_start, true};  // the last block's CR has no LF after it
        }
        const std::uint64_t lone_cr = masks.carriage_return & ~(masks.line_feed >> 1U) & ~kLast;
        const std::uint64_t bare_lf = masks.line_feed & ~((masks.carriage_return << 1U) | carried_cr);
        const std::uint64_t stop_at_start = masks.stop & ((masks.line_feed << 1U) | carried_line);
        const std::uint64_t refused = lone_cr | bare_lf | stop_at_start;
        // The LFs before the first refusal end lines that are taken, if they are not too long.
        const std::uint64_t before = refused == 0 ? ~std::uint64_t{0} : (refused & (0 - refused)) - 1;
        if (const std::uint64_t ends = masks.line_feed & before; ends != 0) {
            if (at + static_cast<std::size_t>(std::countr_zero(ends)) - line_start > kMaxPiece) {
                return {line_start, true};
            }
            line_start = at + static_cast<std::size_t>(63 - std::countl_zero(ends)) + 1;
        }
        if (refused != 0 || at + size - line_start > kMaxPiece) {
            return {line_start, true};  // a refused line, or one already too long to be taken
        }
        carried_cr = masks.carriage_return >> 63U;
        carried_line = masks.line_feed >> 63U;
    }
    return {line_start, false};
}

// The skim tests the buffer in chunks of this many bytes: a chunk holding an LF keeps the lines
// that cross it short enough, as no two LFs of chunks in a row lie kMaxPiece + 1 bytes apart.
constexpr std::size_t kChunk = 128;
static_assert(2 * kChunk - 1 <= kMaxPiece);

#ifdef MORVCFG_AVX2_SEARCH
// The AVX2 skim is a template instance with no target of its own, whose vectors would cross calls
// with a different ABI; run_end_avx2 flattens every call in it, so that none is left to cross.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
// What skimming from a line's start found.
struct Skim {
    // Where the first chunk in doubt (or too near the end to be skimmed) starts: every line that
    // ends before it may be taken.
    std::size_t clean;
    // Where the run ends when the first doubt was a line starting with the stop byte, which only
    // ends it; 0 when the chunk's lines must be tested one by one.
    std::size_t run_end;
};

// The first doubt in a chunk skimmed from a line's start, and what the bytes before it showed.
template <class Vector>
#ifdef MORVCFG_AVX2_SEARCH
[[gnu::always_inline]]
#endif
inline std::size_t
line_starting_with_stop(const char* chunk, char stop) {
    for (std::size_t part = 0; part < kChunk; part += Vector::kWidth) {
        const auto bytes = Vector::load(chunk + part);
        const auto next = Vector::load(chunk + part + 1);
        const auto line_feed = Vector::splat('\n');
        const std::uint64_t unpaired =
            Vector::bits(Vector::differ(Vector::equal(bytes, Vector::splat('\r')), Vector::equal(next, line_feed)));
        const std::uint64_t stops =
            Vector::bits(Vector::both(Vector::equal(bytes, line_feed), Vector::equal(next, Vector::splat(stop))));
        if ((unpaired | stops) != 0) {
            // A line starting with `stop` ends the run where it starts, if every CR and LF before
            // it paired up. The lines before it are short enough: the chunk before this one, if
            // any, held an LF.
            const std::uint64_t first_stop = stops & (0 - stops);
            return stops != 0 && (unpaired & (first_stop - 1)) == 0
                       ? part + static_cast<std::size_t>(std::countr_zero(stops)) + 1
                       : 0;
        }
    }
    return 0;
}

// Skims whole chunks from `begin` (a line's start) for anything that could refuse a line, with no
// bookkeeping per line: a CR not just before an LF or an LF not just after a CR, an LF just before
// `stop`, a chunk without an LF. Written once for every vector width; `Vector` loads, compares and
// combines its bytes.
template <class Vector>
#ifdef MORVCFG_AVX2_SEARCH
[[gnu::always_inline]]
#endif
inline Skim
skim(const char* buffer, std::size_t begin, std::size_t end, char stop) {
    if (buffer[begin] == '\n' || buffer[begin] == stop) {
        return {begin, 0};
    }
    const auto line_feed = Vector::splat('\n');
    const auto carriage_return = Vector::splat('\r');
    const auto stop_byte = Vector::splat(stop);
    std::size_t at = begin;
    // Each byte is compared with the one after it, which must lie inside the buffer too.
    for (; end - at > kChunk; at += kChunk) {
        auto doubt = Vector::zero();
        auto feeds = Vector::zero();
        for (std::size_t part = 0; part < kChunk; part += Vector::kWidth) {
            const auto bytes = Vector::load(buffer + at + part);
            const auto next = Vector::load(buffer + at + part + 1);
            const auto feed = Vector::equal(bytes, line_feed);
            // A CR here exactly where an LF is next, and no LF here before `stop`.
            doubt = Vector::either(doubt, Vector::differ(Vector::equal(bytes, carriage_return),
                                                         Vector::equal(next, line_feed)));
            doubt = Vector::either(doubt, Vector::both(feed, Vector::equal(next, stop_byte)));
            feeds = Vector::either(feeds, feed);
        }
        if (Vector::none(feeds)) {
            return {at, 0};
        }
        if (!Vector::none(doubt)) {
            const std::size_t stop_line = line_starting_with_stop<Vector>(buffer + at, stop);
            return {at, stop_line != 0 ? at + stop_line : 0};
        }
    }
    return {at, 0};
}

// One past the last LF of a chunk that holds one.
template <class Vector>
#ifdef MORVCFG_AVX2_SEARCH
[[gnu::always_inline]]
#endif
inline std::size_t
after_last_line_feed(const char* chunk) {
    std::size_t part = kChunk;
    std::uint64_t feeds = 0;
    while (feeds == 0) {
        part -= Vector::kWidth;
        feeds = Vector::bits(Vector::equal(Vector::load(chunk + part), Vector::splat('\n')));
    }
    return part + static_cast<std::size_t>(std::bit_width(feeds));
}

// Where the run of lines that start at `begin` ends: the start of the first line not taken.
// Chunks are skimmed while nothing in them is in doubt; a line starting with `stop` ends the run
// at once, and for any other doubt the blocks around it are tested line by line, skimming going on
// after them if no line was refused.
template <BlockMasks (*Masks)(const char*, char), class Vector>
#ifdef MORVCFG_AVX2_SEARCH
[[gnu::always_inline]]
#endif
inline std::size_t
run_end(const char* buffer, std::size_t begin, std::size_t end, char stop) {
    std::size_t line_start = begin;
    for (;;) {
        const Skim skimmed = skim<Vector>(buffer, line_start, end, stop);
        if (skimmed.run_end != 0) {
            return skimmed.run_end;
        }
        const std::size_t clean = skimmed.clean;
        std::size_t from = line_start;
        if (clean != line_start) {
            // The skimmed chunks hold LFs; the last line they leave open starts after the last one.
            from = clean - kChunk + after_last_line_feed<Vector>(buffer + clean - kChunk);
        }
        // The blocks cover the chunk in doubt, the byte after it and the whole of the line at
        // `from`, however long it may be and still be taken.
        const std::size_t cover = std::max(clean + kChunk + 1 - from, kMaxPiece + 2);
        const std::size_t blocks = (cover + kBlock - 1) / kBlock;
        const std::size_t bound = end - from > blocks * kBlock ? from + blocks * kBlock : end;
        const BlockScan scan = scan_blocks<Masks>(buffer, from, bound, stop);
        if (scan.refused || bound == end || scan.line_start == line_start) {
            return scan.line_start;
        }
        line_start = scan.line_start;
    }
}

#ifdef MORVCFG_SSE2_SEARCH
// Sixteen bytes at a time.
struct Sse2Vector {
    static constexpr std::size_t kWidth = 16;
    static __m128i splat(char c) { return _mm_set1_epi8(c); }
    static __m128i zero() { return _mm_setzero_si128(); }
    static __m128i load(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
    static __m128i equal(__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); }
    static __m128i differ(__m128i a, __m128i b) { return _mm_xor_si128(a, b); }
    static __m128i both(__m128i a, __m128i b) { return _mm_and_si128(a, b); }
    static __m128i either(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
    // Bit i for byte i where the comparison held.
    static std::uint64_t bits(__m128i a) { return static_cast<unsigned>(_mm_movemask_epi8(a)); }
    static bool none(__m128i a) { return bits(a) == 0; }
};
#endif

#ifdef MORVCFG_AVX2_SEARCH
// Thirty-two bytes at a time.
struct Avx2Vector {
    static constexpr std::size_t kWidth = 32;
    [[gnu::target("avx2")]] static __m256i splat(char c) { return _mm256_set1_epi8(c); }
    [[gnu::target("avx2")]] static __m256i zero() { return _mm256_setzero_si256(); }
    [[gnu::target("avx2")]] static __m256i load(const char* at) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    }
    [[gnu::target("avx2")]] static __m256i equal(__m256i a, __m256i b) { return _mm256_cmpeq_epi8(a, b); }
    [[gnu::target("avx2")]] static __m256i differ(__m256i a, __m256i b) { return _mm256_xor_si256(a, b); }
    [[gnu::target("avx2")]] static __m256i both(__m256i a, __m256i b) { return _mm256_and_si256(a, b); }
    [[gnu::target("avx2")]] static __m256i either(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
    [[gnu::target("avx2")]] static std::uint64_t bits(__m256i a) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(a));
    }
    [[gnu::target("avx2")]] static bool none(__m256i a) { return _mm256_testz_si256(a, a) != 0; }
};

[[gnu::target("avx2"), gnu::flatten]] std::size_t run_end_avx2(const char* buffer, std::size_t begin, std::size_t end, char stop) {
    return run_end<whole_block_masks_avx2, Avx2Vector>(buffer, begin, end, stop);
}
#pragma GCC diagnostic pop
#endif

std::size_t find_run_end(const char* buffer, std::size_t begin, std::size_t end, char stop, bool wide) {
#ifdef MORVCFG_AVX2_SEARCH
    if (wide) {
        return run_end_avx2(buffer, begin, end, stop);
    }
#else
    (void)wide;
#endif
#ifdef MORVCFG_SSE2_SEARCH
    return run_end<whole_block_masks, Sse2Vector>(buffer, begin, end, stop);
#else
    return scan_blocks<whole_block_masks>(buffer, begin, end, stop).line_start;
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
        auto larger = std::make_unique_for_overwrite<char[]>(kLargeReadSize + kKept);
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
