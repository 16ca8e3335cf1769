#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace morvcfg {

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
};

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

    ByteSink& sink_;
    std::size_t capacity_;
    std::size_t full_capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

}  // namespace morvcfg
