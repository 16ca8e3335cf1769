#include "generator/text_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <iterator>

namespace morvcfg {
namespace {

// The decimal digits of a value, written into the caller's buffer.
template <typename Number>
std::string_view decimal(Number value, std::array<char, 24>& digits) {
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return {digits.data(), static_cast<std::size_t>(result.ptr - digits.data())};
}

// Copies a line of ordinary text: most are a few dozen bytes, which fixed-size blocks (the last
// one overlapping the one before) copy without a call into the C library.
void copy_bytes(char* to, const char* from, std::size_t size) {
    constexpr std::size_t kBlock = 16;
    if (size < kBlock) {
        std::memcpy(to, from, size);
        return;
    }
    for (std::size_t done = 0; done + kBlock < size; done += kBlock) {
        std::memcpy(to + done, from + done, kBlock);
    }
    std::memcpy(to + size - kBlock, from + size - kBlock, kBlock);
}

}  // namespace

bool write_all_parts(std::span<const std::string_view> parts,
                     const std::function<std::ptrdiff_t(std::span<const std::string_view>)>& write_some) {
    std::vector<std::string_view> left;
    left.reserve(parts.size());
    std::copy_if(parts.begin(), parts.end(), std::back_inserter(left),
                 [](std::string_view part) { return !part.empty(); });
    for (std::size_t first = 0; first < left.size();) {
        const std::ptrdiff_t written = write_some(std::span<const std::string_view>(left).subspan(first));
        if (written <= 0) {
            return false;
        }
        auto taken = static_cast<std::size_t>(written);
        while (first < left.size() && taken >= left[first].size()) {
            taken -= left[first++].size();
        }
        if (taken > 0) {
            left[first].remove_prefix(taken);
        }
    }
    return true;
}

bool StringSink::write(std::string_view bytes) {
    contents_.append(bytes);
    return true;
}

bool StringSink::close() {
    closed_ = true;
    return true;
}

TextWriter::TextWriter(ByteSink& sink, std::size_t capacity)
    : sink_(sink),
      capacity_(std::clamp(capacity, std::size_t{1}, kDefaultCapacity)),
      full_capacity_(std::max(capacity, capacity_)),
      buffer_(uninitialised_buffer(capacity_)) {}

void TextWriter::append(const char* bytes, std::size_t size) {
    if (size <= capacity_ - used_) {
        std::memcpy(buffer_.get() + used_, bytes, size);
        used_ += size;
        return;
    }
    while (size > 0) {
        if (used_ == capacity_ && capacity_ < full_capacity_) {
            auto larger = uninitialised_buffer(full_capacity_);
            std::memcpy(larger.get(), buffer_.get(), used_);
            buffer_ = std::move(larger);
            capacity_ = full_capacity_;
        }
        if (used_ == capacity_ && !flush()) {
            return;
        }
        const std::size_t take = std::min(size, capacity_ - used_);
        std::memcpy(buffer_.get() + used_, bytes, take);
        used_ += take;
        bytes += take;
        size -= take;
    }
}

void TextWriter::write(std::string_view text) {
    while (!text.empty()) {
        const void* found = std::memchr(text.data(), '\n', text.size());
        if (found == nullptr) {
            append(text.data(), text.size());
            return;
        }
        const auto line = static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        append(text.data(), line);
        append("\r\n", 2);
        text.remove_prefix(line + 1);
    }
}

void TextWriter::write_line(std::string_view line) {
    if (line.size() + 2 <= capacity_ - used_) {
        char* const out = buffer_.get() + used_;
        copy_bytes(out, line.data(), line.size());
        out[line.size()] = '\r';
        out[line.size() + 1] = '\n';
        used_ += line.size() + 2;
        return;
    }
    append(line.data(), line.size());
    append("\r\n", 2);
}

void TextWriter::write_unsigned(std::uint32_t value) {
    std::array<char, 24> digits{};
    write(decimal(value, digits));
}

void TextWriter::write_signed(std::int32_t value) {
    std::array<char, 24> digits{};
    write(decimal(value, digits));
}

void TextWriter::write_padded(int value, int width) {
    // Like "%0*d": the sign counts towards the width and the zeros go after it.
    const bool negative = value < 0;
    const auto magnitude = negative ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    std::array<char, 24> buffer{};
    const std::string_view digits = decimal(magnitude, buffer);
    const auto length = static_cast<int>(digits.size());
    if (negative) {
        append("-", 1);
    }
    for (int pad = width - length - (negative ? 1 : 0); pad > 0; --pad) {
        append("0", 1);
    }
    write(digits);
}

void TextWriter::write_hex8(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    char text[8];
    for (int i = 7; i >= 0; --i) {
        text[i] = kDigits[value & 0xFU];
        value >>= 4U;
    }
    append(text, sizeof text);
}

void TextWriter::write_borrowed(std::string_view bytes) {
    if (bytes.size() < kCopyBelow) {
        write_verbatim(bytes);
        return;
    }
    if (used_ > unparted_) {
        parts_.push_back({nullptr, unparted_, used_ - unparted_});
        unparted_ = used_;
    }
    parts_.push_back({bytes.data(), 0, bytes.size()});
    if (parts_.size() >= kMaxParts) {
        (void)flush();
    }
}

bool TextWriter::flush() {
    if (ok_ && !parts_.empty()) {
        if (used_ > unparted_) {
            parts_.push_back({nullptr, unparted_, used_ - unparted_});
        }
        std::vector<std::string_view> views(parts_.size());
        std::transform(parts_.begin(), parts_.end(), views.begin(), [this](const Part& part) {
            return std::string_view(part.borrowed != nullptr ? part.borrowed : buffer_.get() + part.offset, part.size);
        });
        ok_ = sink_.write_parts(views);
    } else if (ok_ && used_ > 0) {
        ok_ = sink_.write(std::string_view(buffer_.get(), used_));
    }
    parts_.clear();
    used_ = 0;
    unparted_ = 0;
    return ok_;
}

bool TextWriter::close() {
    const bool flushed = flush();
    const bool closed = sink_.close();
    ok_ = flushed && closed;
    return ok_;
}

}  // namespace morvcfg
