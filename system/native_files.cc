#include "system/native_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: the others build on it.
#include <fcntl.h>
#include <sys/stat.h>

#include <io.h>
#include <process.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace morvcfg::native {

// Paths travel through the tool as UTF-8; Windows takes them in UTF-16 and POSIX as they are.
#ifdef _WIN32
std::wstring wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::FILE* open_file(const std::string& path, const char* mode) {
    return _wfopen(wide(path).c_str(), wide(mode).c_str());
}

std::filesystem::path native_path(const std::string& path) {
    return {wide(path)};
}

std::string utf8_path(const std::filesystem::path& path) {
    return utf8(path.c_str());
}
#else
std::FILE* open_file(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::filesystem::path native_path(const std::string& path) {
    return {path};
}

std::string utf8_path(const std::filesystem::path& path) {
    return path.string();
}
#endif

namespace {

// One open C stream. The tool does its own buffering, so the C library's is turned off and each
// buffer goes to the system in one call; should that fail, the stream stays buffered and is still
// flushed and checked.
class OpenFile {
public:
    explicit OpenFile(std::FILE* file) : file_(file) { (void)std::setvbuf(file_, nullptr, _IONBF, 0); }
    ~OpenFile() {
        // A stream the run gave up on: its result cannot change a status that is already -1.
        if (file_ != nullptr) {
            (void)std::fclose(file_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    [[nodiscard]] std::FILE* get() const { return file_; }
    bool close() {
        std::FILE* file = file_;
        file_ = nullptr;
        return file != nullptr && std::fclose(file) == 0;
    }

private:
    std::FILE* file_;
};

class FileSink final : public ByteSink {
public:
    explicit FileSink(std::FILE* file) : file_(file) {}

    bool write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) == bytes.size() && std::fflush(file_.get()) == 0;
    }
    bool write_parts(std::span<const std::string_view> parts) override {
#ifdef _WIN32
        // No gather write through the C runtime: one buffer, one write.
        std::string joined;
        for (const std::string_view part : parts) {
            joined.append(part);
        }
        return write(joined);
#else
        // The stream is unbuffered, so its descriptor takes the parts directly, as many at a time
        // as the system allows.
        const int descriptor = fileno(file_.get());
        const long most = sysconf(_SC_IOV_MAX);
        const std::size_t batch = most > 0 ? static_cast<std::size_t>(most) : 16;
        std::vector<iovec> vectors;
        return write_all_parts(parts, [&](std::span<const std::string_view> left) -> std::ptrdiff_t {
            const std::span<const std::string_view> taken = left.first(std::min(batch, left.size()));
            vectors.resize(taken.size());
            std::transform(taken.begin(), taken.end(), vectors.begin(), [](std::string_view part) {
                return iovec{const_cast<char*>(part.data()), part.size()};
            });
            for (;;) {
                const ssize_t written = writev(descriptor, vectors.data(), static_cast<int>(vectors.size()));
                if (written >= 0 || errno != EINTR) {
                    return written;
                }
            }
        });
#endif
    }
    bool close() override {
        return file_.close();
    }
    bool sync() override {
        if (std::fflush(file_.get()) != 0) {
            return false;
        }
#ifdef _WIN32
        return _commit(_fileno(file_.get())) == 0;
#else
        return fsync(fileno(file_.get())) == 0;
#endif
    }

private:
    OpenFile file_;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}

    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        const std::size_t count = std::fread(buffer, 1, size, file_.get());
        if (count < size && std::ferror(file_.get()) != 0) {
            return -1;
        }
        return static_cast<std::ptrdiff_t>(count);
    }
    bool close() override { return file_.close(); }

private:
    OpenFile file_;
};

}  // namespace

std::unique_ptr<ByteSink> file_sink(std::FILE* file) {
    return std::make_unique<FileSink>(file);
}

std::unique_ptr<ByteSource> file_source(std::FILE* file) {
    return std::make_unique<FileSource>(file);
}

std::filesystem::path follow_links(std::filesystem::path path) {
    std::error_code error;
    for (int hops = 0;
         hops < kMostLinks && std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)) && !error;
         ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

}  // namespace morvcfg::native
