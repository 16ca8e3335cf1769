#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace morvcfg {

// A buffer of `size` bytes left uninitialised, since it is written before it is read. (The
// standard library's make_unique_for_overwrite, where the library has it.)
inline std::unique_ptr<char[]> uninitialised_buffer(std::size_t size) {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
    return std::make_unique_for_overwrite<char[]>(size);
#else
    return std::unique_ptr<char[]>(new char[size]);  // NOLINT(cppcoreguidelines-owning-memory): the same, by hand
#endif
}

// Where the bytes of one output file finally go. Called once per filled buffer, never per byte.
class ByteSink {
public:
    ByteSink() = default;
    ByteSink(const ByteSink&) = delete;
    ByteSink& operator=(const ByteSink&) = delete;
    virtual ~ByteSink() = default;

    // Writes all of `bytes`; false if any of them could not be written.
    virtual bool write(std::string_view bytes) = 0;
    // Finishes the destination; false if anything written earlier was not kept.
    virtual bool close() = 0;
    // Makes what was written durable (on disk, for a file) before the caller relies on it; false if
    // that failed. Memory has nothing to do.
    virtual bool sync() { return true; }
    // Writes the parts one after the other, as write() would: a file takes them in one gather
    // write where the system has one.
    virtual bool write_parts(std::span<const std::string_view> parts) {
        return std::all_of(parts.begin(), parts.end(), [this](std::string_view part) { return write(part); });
    }
};

// Writes every byte of `parts` through `write_some`, which takes the parts still to write (the
// first perhaps begun) and returns how many of their bytes the system took, or -1 when it failed:
// a gather write that takes only some of them (a signal, a pipe, a device that takes little at a
// time) is continued where it stopped. False on a failure or a write that takes nothing.
bool write_all_parts(std::span<const std::string_view> parts,
                     const std::function<std::ptrdiff_t(std::span<const std::string_view>)>& write_some);

// A sink that keeps everything in memory (tests, fuzzing).
class StringSink final : public ByteSink {
public:
    bool write(std::string_view bytes) override;
    bool close() override;

    [[nodiscard]] const std::string& contents() const { return contents_; }
    [[nodiscard]] bool closed() const { return closed_; }

private:
    std::string contents_;
    bool closed_ = false;
};

// Buffered text output in the target's text mode: every '\n' goes out as CR LF, every other byte
// exactly as it is, so the files are the same bytes on every host. After the first failed write
// the writer drops all further output and reports the failure from ok(), flush() and close().
class TextWriter {
public:
    // The sink receives the text `capacity` bytes at a time, and once more at the end. A larger
    // capacity than the default is taken only once the default's worth has been written, so that
    // a small file costs no more to set up.
    explicit TextWriter(ByteSink& sink, std::size_t capacity = kDefaultCapacity);
    static constexpr std::size_t kDefaultCapacity = std::size_t{64} * 1024;

    // Writes text, turning each '\n' into CR LF.
    void write(std::string_view text);
    // Writes a line that holds no '\n', then its line end as CR LF.
    void write_line(std::string_view line);
    // Writes bytes exactly as they are: text whose line ends are already CR LF.
    void write_verbatim(std::string_view bytes) {
        if (!bytes.empty()) {
            append(bytes.data(), bytes.size());
        }
    }
    // The same without copying them, where they are many: the writer keeps a reference, so the
    // bytes must stay as they are until the next flush().
    void write_borrowed(std::string_view bytes);
    // Writes a 32-bit value in unsigned decimal, in full.
    void write_unsigned(std::uint32_t value);
    // Writes a 32-bit value in signed decimal.
    void write_signed(std::int32_t value);
    // Writes a non-negative or negative value in decimal, zero-padded to `width` characters the way
    // "%0*d" does.
    void write_padded(int value, int width);
    // Writes a 32-bit value as exactly eight lower-case hexadecimal digits.
    void write_hex8(std::uint32_t value);

    // Hands everything buffered to the sink; false after any failure so far.
    bool flush();
    // Flushes, then closes the sink; false if anything written was lost. Call once.
    bool close();
    [[nodiscard]] bool ok() const { return ok_; }

private:
    void append(const char* bytes, std::size_t size);

    // Borrowed bytes shorter than this are copied: a part of a gather write costs more.
    static constexpr std::size_t kCopyBelow = 512;
    // A gather write takes at most this many parts.
    static constexpr std::size_t kMaxParts = 512;
    // What the next flush writes, in order, when borrowed bytes are among it: borrowed bytes, or
    // (borrowed null) bytes of the buffer, which is kept by offset since it may grow.
    struct Part {
        const char* borrowed;
        std::size_t offset;
        std::size_t size;
    };

    ByteSink& sink_;
    std::size_t capacity_;
    std::size_t full_capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::vector<Part> parts_;
    std::size_t unparted_ = 0;  // the buffer's bytes from here on are in no part yet
    bool ok_ = true;
};

}  // namespace morvcfg
