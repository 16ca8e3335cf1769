#include "lsp/transport.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace morvcfg::lsp {
namespace {

constexpr std::string_view kEndOfHeader = "\r\n\r\n";
// A header block longer than this holds no message worth waiting for.
constexpr std::size_t kMaxHeader = 8192;

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

MessageReader::Header MessageReader::parse_header() const {
    Header header;
    const std::size_t end = buffer_.find(kEndOfHeader);
    if (end == std::string::npos) {
        return header;
    }
    header.header_size = end + kEndOfHeader.size();
    std::string_view lines(buffer_.data(), end);
    while (!lines.empty()) {
        const std::size_t line_end = std::min(lines.find("\r\n"), lines.size());
        const std::string_view line = lines.substr(0, line_end);
        lines.remove_prefix(std::min(line_end + 2, lines.size()));
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !same_name(line.substr(0, colon), "Content-Length")) {
            continue;
        }
        std::string_view value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        if (value.empty() || !std::all_of(value.begin(), value.end(),
                                          [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
            return header;  // has_length stays false
        }
        header.has_length = true;
        header.length = 0;
        header.length_text = value;
        for (const char digit : value) {
            if (header.length > (std::numeric_limits<std::size_t>::max() - 9) / 10) {
                header.length_too_long = true;
                break;
            }
            header.length = header.length * 10 + static_cast<std::size_t>(digit - '0');
        }
    }
    return header;
}

bool MessageReader::message_waiting() const {
    if (resynchronising_) {
        return false;  // next() will tell, without waiting long for what is not there
    }
    const Header header = parse_header();
    return header.header_size > 0 && (!header.has_length || header.length_too_long || header.length > max_body_ ||
                                      buffer_.size() - header.header_size >= header.length);
}

bool MessageReader::fill() {
    if (at_end_) {
        return false;
    }
    char chunk[65536];
    const std::ptrdiff_t count = input_.read(chunk, sizeof chunk);
    if (count <= 0) {
        at_end_ = true;
        return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(count));
    return true;
}

bool MessageReader::resynchronise() {
    for (;;) {
        const std::size_t found = std::min(buffer_.find("Content-Length"), buffer_.find("content-length"));
        if (found != std::string::npos) {
            buffer_.erase(0, found);
            resynchronising_ = false;
            return true;
        }
        // Keep what may be the start of the name.
        buffer_.erase(0, buffer_.size() - std::min<std::size_t>(buffer_.size(), 13));
        if (!fill()) {
            return false;
        }
    }
}

void MessageReader::skip(std::size_t length) {
    while (length > 0) {
        const std::size_t drop = std::min(length, buffer_.size());
        buffer_.erase(0, drop);
        length -= drop;
        if (length > 0 && !fill()) {
            return;
        }
    }
}

MessageReader::Result MessageReader::next() {
    for (;;) {
        if (resynchronising_ && !resynchronise()) {
            return {Status::End, {}, {}};
        }
        const Header header = parse_header();
        if (header.header_size == 0) {
            if (buffer_.size() > kMaxHeader) {
                buffer_.clear();
                return {Status::Malformed, {}, "a header of more than 8192 bytes without its end was dropped"};
            }
            if (!fill()) {
                return {Status::End, {}, {}};
            }
            continue;
        }
        if (!header.has_length) {
            buffer_.erase(0, header.header_size);
            resynchronising_ = true;
            return {Status::Malformed, {}, "a message without a valid Content-Length header was dropped"};
        }
        if (header.length_too_long || header.length > max_body_) {
            // Skipped as it arrives, never held whole.
            buffer_.erase(0, header.header_size);
            skip(header.length_too_long ? std::string::npos : header.length);
            return {Status::TooLarge,
                    {},
                    "a message of " + header.length_text + " bytes is beyond the limit of " +
                        std::to_string(max_body_) + " bytes and was skipped"};
        }
        if (buffer_.size() - header.header_size >= header.length) {
            Result result{Status::Message, buffer_.substr(header.header_size, header.length), {}};
            buffer_.erase(0, header.header_size + header.length);
            return result;
        }
        if (!fill()) {
            return {Status::End, {}, {}};
        }
    }
}

bool write_message(ByteSink& output, std::string_view body) {
    std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    message.append(body);
    return output.write(message);
}

}  // namespace morvcfg::lsp
