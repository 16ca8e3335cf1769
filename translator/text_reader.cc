#include "translator/text_reader.h"

#include <algorithm>
#include <cstring>

namespace morvcfg {

std::ptrdiff_t StringSource::read(char* buffer, std::size_t size) {
    const std::size_t take = std::min(size, bytes_.size() - offset_);
    std::memcpy(buffer, bytes_.data() + offset_, take);
    offset_ += take;
    return static_cast<std::ptrdiff_t>(take);
}

PieceReader::PieceReader(ByteSource& source, RawObserver* observer)
    : source_(source), observer_(observer), buffer_(new char[kCapacity]) {}

bool PieceReader::next(std::span<char>& piece) {
    for (;;) {
        if (failed_) {
            return false;
        }
        char* const start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        std::size_t length = 0;
        if (const void* line_end = std::memchr(start, '\n', std::min(available, kMaxPiece))) {
            length = static_cast<std::size_t>(static_cast<const char*>(line_end) - start) + 1;
        } else if (available >= kMaxPiece) {
            length = kMaxPiece;
        } else if (at_end_) {
            if (available == 0) {
                return false;
            }
            length = available;
        } else {
            refill();
            continue;
        }
        piece = std::span<char>(start, length);
        begin_ += length;
        return true;
    }
}

void PieceReader::refill() {
    // Keep the unfinished piece (shorter than kMaxPiece) at the front and read behind it.
    char* const buffer = buffer_.get();
    const std::size_t kept = end_ - begin_;
    std::memmove(buffer, buffer + begin_, kept);
    begin_ = 0;
    end_ = kept;

    const std::ptrdiff_t count = source_.read(buffer + kept, kCapacity - kept);
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
    // Drop every CR, moving the text between them down.
    char* const stop = fresh + size;
    char* write = static_cast<char*>(std::memchr(fresh, '\r', size));
    if (write != nullptr) {
        const char* read = write + 1;
        while (read < stop) {
            const void* cr = std::memchr(read, '\r', static_cast<std::size_t>(stop - read));
            const char* run_end = cr != nullptr ? static_cast<const char*>(cr) : stop;
            const auto run = static_cast<std::size_t>(run_end - read);
            std::memmove(write, read, run);
            write += run;
            read = run_end + 1;
        }
        size = static_cast<std::size_t>(write - fresh);
    }
    end_ = kept + size;
}

}  // namespace morvcfg
