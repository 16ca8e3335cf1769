#pragma once

// The language server's transport: messages framed by a Content-Length header on a byte stream.
#include <cstddef>
#include <string>
#include <string_view>

#include "generator/text_writer.h"
#include "translator/text_reader.h"

namespace morvcfg::lsp {

// The largest message body taken: a document of tens of megabytes still fits; anything larger is
// refused and skipped without being held in memory.
inline constexpr std::size_t kMaxMessageBody = std::size_t{64} * 1024 * 1024;

// Reads framed messages: header lines ("Content-Length: 42\r\n", others ignored), an empty line,
// then exactly that many bytes of body.
class MessageReader {
public:
    explicit MessageReader(ByteSource& input, std::size_t max_body = kMaxMessageBody)
        : input_(input), max_body_(max_body) {}

    enum class Status {
        Message,    // `body` holds one message's body
        End,        // the input ended (a message cut short is dropped)
        Malformed,  // a header block without a usable Content-Length was dropped; `problem` says why
        TooLarge,   // a body beyond the limit was skipped; `problem` says how large
    };
    struct Result {
        Status status = Status::End;
        std::string body;
        std::string problem;
    };

    // The next message, reading as much as it takes.
    Result next();
    // True when a whole message has already arrived and next() will not wait for input.
    [[nodiscard]] bool message_waiting() const;

private:
    // Reads more input behind the buffer; false at its end.
    bool fill();
    // Drops the bytes up to the next Content-Length header; false when the input ends first.
    bool resynchronise();
    // Drops a body of `length` bytes as it arrives (all that remains when `length` is npos).
    void skip(std::size_t length);
    // The body length the header block at the front of the buffer gives, and the block's size;
    // nullopt-like: header_size 0 while the block is incomplete.
    struct Header {
        std::size_t header_size = 0;
        bool has_length = false;
        std::size_t length = 0;
        bool length_too_long = false;  // beyond what a size holds
        std::string length_text;       // the length as the client wrote it
    };
    [[nodiscard]] Header parse_header() const;

    ByteSource& input_;
    std::size_t max_body_;
    std::string buffer_;
    bool at_end_ = false;
    // After a header without a usable length, the body that followed it is of unknown size: the
    // bytes up to the next Content-Length header are dropped.
    bool resynchronising_ = false;
};

// Writes one message with its header.
bool write_message(ByteSink& output, std::string_view body);

}  // namespace morvcfg::lsp
