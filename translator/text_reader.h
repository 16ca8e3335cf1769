#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace morvcfg {

// Where the bytes of the description file come from.
class ByteSource {
public:
    ByteSource() = default;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    virtual ~ByteSource() = default;

    // Reads up to `size` bytes into `buffer`: the count read, 0 at the end, -1 on a read error.
    virtual std::ptrdiff_t read(char* buffer, std::size_t size) = 0;
    // Releases the source; false if that failed.
    virtual bool close() = 0;
};

// A source that serves bytes held in memory (tests, fuzzing), at most `step` bytes a read, so that
// tests can cut lines, characters and messages across reads.
class StringSource final : public ByteSource {
public:
    explicit StringSource(std::string bytes, std::size_t step = static_cast<std::size_t>(-1))
        : bytes_(std::move(bytes)), step_(step) {}
    std::ptrdiff_t read(char* buffer, std::size_t size) override;
    bool close() override { return true; }

private:
    std::string bytes_;
    std::size_t step_;
    std::size_t offset_ = 0;
};

// Sees the description file's bytes as they were read, before the text mode changes them: once
// per read, never per byte. The checker uses it to point at CRs, NULs and Ctrl-Z in the file.
class RawObserver {
public:
    RawObserver() = default;
    RawObserver(const RawObserver&) = delete;
    RawObserver& operator=(const RawObserver&) = delete;
    virtual ~RawObserver() = default;

    // Bytes just read, in file order; some may lie after a Ctrl-Z and are then never used.
    virtual void on_read(std::string_view raw) = 0;
};

// The longest piece one read of the description file yields.
inline constexpr std::size_t kMaxPiece = 255;
// The UTF-8 byte-order mark that many Windows editors put at the start of a file.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads the description file in the target's text mode and cuts it into pieces.
//
// Text mode: every CR is dropped wherever it stands (CR LF reads as a line end, a lone CR
// vanishes and joins its neighbours), and the first Ctrl-Z (0x1A) ends the input; nothing after it
// is read. A piece is the text up to and including the next line end, or kMaxPiece characters if
// the line end has not come by then, or what is left before the end of the input. NUL bytes are
// ordinary characters here.
class PieceReader {
public:
    explicit PieceReader(ByteSource& source, RawObserver* observer = nullptr);

    // Before the first piece: moves past a byte-order mark at the very start of the input and
    // returns true, so that the first line starts after it; false, and nothing skipped, without one.
    // The mark is not text: a directive right after it is a directive.
    bool skip_byte_order_mark();
    // Yields the next piece, which the caller may modify in place until the next call. False at
    // the end of the input and after a read error.
    bool next(std::span<char>& piece);
    // Yields the longest run of whole lines at the front that the text mode reads as they stand
    // but for their line ends: each line ends in CR LF, holds no other CR or LF, is one piece (at
    // most kMaxPiece characters with its LF) and does not start with `stop`. Written in text mode,
    // such a run's pieces are its own bytes again, so the caller may copy the run as it is instead
    // of taking its pieces. Empty when the next piece is no such line; never reads the source, so
    // call next() to go on. The run stays valid until the next call of either.
    std::string_view next_verbatim(char stop);
    // True once the source has reported a read error.
    [[nodiscard]] bool failed() const { return failed_; }
    // Has `hook` called before the reader reuses its buffer, so that whoever holds on to bytes of
    // it (a writer that borrowed a run of lines) can be done with them first.
    void before_reuse(std::function<void()> hook) { before_reuse_ = std::move(hook); }

private:
    // What an attempt to cut the next piece came to.
    enum class Cut { Piece, NeedMore, Other, End };

    // Cuts a line that the text mode reads as it stands, but for a CR before its LF; Other when
    // the next piece is not such a line.
    Cut cut_common_line(std::span<char>& piece);
    // Cuts any piece, squeezing its CRs out.
    Cut cut_any_piece(std::span<char>& piece);
    // Yields the `length` characters at the front as the piece and moves past `consumed` bytes.
    Cut take(std::span<char>& piece, std::size_t length, std::size_t consumed);
    // Reads more of the source behind what is left of the buffer.
    void refill();

    // Reads ask for kFirstReadSize bytes, and for kLargeReadSize bytes once a read has come back
    // full, so that a small file costs little to set up and a large one takes few calls; both keep
    // the reads aligned to the file's pages. The unfinished piece kept from the last read (at most
    // kMaxPiece + 1 bytes) goes in front of them.
    static constexpr std::size_t kFirstReadSize = std::size_t{64} * 1024;
    static constexpr std::size_t kLargeReadSize = std::size_t{256} * 1024;
    static constexpr std::size_t kKept = kMaxPiece + 1;
    ByteSource& source_;
    RawObserver* observer_;
    std::function<void()> before_reuse_;
    std::unique_ptr<char[]> buffer_;
    std::size_t read_size_ = kFirstReadSize;
    bool last_read_full_ = false;
    // Whether runs of lines are searched for with wider vector instructions (large files only).
    bool wide_search_ = false;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
    bool failed_ = false;
};

}  // namespace morvcfg
