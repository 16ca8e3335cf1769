#include "translator/system_environment.h"

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

namespace morvcfg {
namespace {

namespace fs = std::filesystem;

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

std::FILE* open_file(const std::string& path, const wchar_t* mode) {
    return _wfopen(wide(path).c_str(), mode);
}

fs::path native_path(const std::string& path) {
    return {wide(path)};
}

std::string utf8_path(const fs::path& path) {
    return utf8(path.c_str());
}
#else
std::FILE* open_file(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

fs::path native_path(const std::string& path) {
    return {path};
}

std::string utf8_path(const fs::path& path) {
    return path.string();
}
#endif

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

// The absolute path a name leads to, with symbolic links followed as far as they go, even to a
// target that does not exist yet (which is where a write through a dangling link lands).
fs::path resolve(const fs::path& path, std::error_code& error) {
    fs::path current = fs::absolute(path, error);
    for (int hops = 0; hops < 40 && !error; ++hops) {
        if (!fs::is_symlink(fs::symlink_status(current, error)) || error) {
            break;
        }
        const fs::path target = fs::read_symlink(current, error);
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    error.clear();
    return fs::weakly_canonical(current, error);
}

}  // namespace

std::vector<std::string> start_process(int argc, char** argv) {
    std::vector<std::string> arguments;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    // Nothing can be reported before the run starts: a failure here leaves the streams as they are.
    (void)_setmode(_fileno(stdout), _O_BINARY);
    (void)_setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    if (wchar_t** const wide_arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) {
            arguments.push_back(utf8(wide_arguments[i]));
        }
        LocalFree(static_cast<HLOCAL>(wide_arguments));
    }
#else
    arguments.assign(argv, argv + argc);
#endif
    return arguments;
}

std::unique_ptr<ByteSink> SystemEnvironment::create(const std::string& path) {
#ifdef _WIN32
    std::FILE* file = open_file(path, L"wb");
#else
    std::FILE* file = open_file(path, "wb");
#endif
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<FileSink>(file);
}

std::unique_ptr<ByteSource> SystemEnvironment::open(const std::string& path, std::string& why) {
    // A directory is no file to read on any host, although POSIX opens one for reading and fails
    // only at the first read: the run must fail here, before any output is touched.
#ifdef _WIN32
    std::FILE* file = open_file(path, L"rb");
    int error = errno;
    std::error_code ignored;
    if (file == nullptr && fs::is_directory(native_path(path), ignored)) {
        error = EISDIR;
    }
#else
    std::FILE* file = open_file(path, "rb");
    int error = errno;
    struct stat status {};
    if (file != nullptr && fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        (void)std::fclose(file);
        file = nullptr;
        error = EISDIR;
    }
#endif
    if (file == nullptr) {
        why = std::strerror(error);
        return nullptr;
    }
    return std::make_unique<FileSource>(file);
}

bool SystemEnvironment::same_file(const std::string& first_name, const std::string& second_name) {
    const fs::path first = native_path(first_name);
    const fs::path second = native_path(second_name);
    std::error_code error;
    // Files that exist are compared by identity, which sees through hard links and every spelling
    // of a path; a file still to be created, by where its path leads.
    if (fs::exists(first, error) && fs::exists(second, error)) {
        const bool same = fs::equivalent(first, second, error);
        return same && !error;
    }
    std::error_code first_error;
    std::error_code second_error;
    const fs::path first_path = resolve(first, first_error);
    const fs::path second_path = resolve(second, second_error);
    return !first_error && !second_error && first_path == second_path;
}

void SystemEnvironment::report(std::string_view message) {
    // Nowhere is left to report a failure to write the error message.
    (void)std::fwrite(message.data(), 1, message.size(), stderr);
    (void)std::fflush(stderr);
}

LocalTime SystemEnvironment::now() {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    const bool converted = localtime_s(&local, &seconds) == 0;
#else
    const bool converted = localtime_r(&seconds, &local) != nullptr;
#endif
    if (!converted) {
        return LocalTime{};
    }
    return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string SystemEnvironment::link_target(const std::string& path) {
    fs::path current = native_path(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(current, error)) && !error; ++hops) {
        const fs::path target = fs::read_symlink(current, error);
        if (error) {
            break;
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return utf8_path(current);
}

bool SystemEnvironment::replaceable(const std::string& path, std::string& why) {
    int error = 0;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ENOENT;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = EISDIR;
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = EACCES;
    }
#else
    // A file without its owner's write bit is read-only to everybody here, root included.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if ((status.st_mode & S_IWUSR) == 0 || access(path.c_str(), W_OK) != 0) {
        error = EACCES;
    }
#endif
    if (error != 0) {
        why = std::strerror(error);
        return false;
    }
    return true;
}

std::unique_ptr<ByteSink> SystemEnvironment::create_beside(const std::string& path, std::string& created,
                                                           std::string& why) {
    const fs::path original = native_path(path);
#ifdef _WIN32
    const int process = _getpid();
#else
    const int process = getpid();
#endif
    // A hidden name of this process's own beside the file; taken only if nobody has it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + utf8_path(original.filename()) + ".morvcfg-check-" + std::to_string(process) +
                                 "-" + std::to_string(attempt);
        created = utf8_path(original.parent_path() / native_path(name));
#ifdef _WIN32
        const int descriptor =
            _wopen(wide(created).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
#else
        const int descriptor = ::open(created.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
        std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
#endif
        if (file != nullptr) {
            return std::make_unique<FileSink>(file);
        }
        const int error = errno;
        if (descriptor >= 0) {
#ifdef _WIN32
            (void)_close(descriptor);
            (void)_wremove(wide(created).c_str());
#else
            (void)::close(descriptor);
            (void)std::remove(created.c_str());
#endif
        }
        if (descriptor >= 0 || error != EEXIST) {
            why = std::strerror(error);
            return nullptr;
        }
    }
    why = std::strerror(EEXIST);
    return nullptr;
}

bool SystemEnvironment::copy_attributes(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
    // A file that may be replaced is not read-only, and the new one is not either; its owner is
    // whoever the folder's rules make it.
    (void)from;
    (void)to;
    (void)why;
    return true;
#else
    struct stat status {};
    if (stat(from.c_str(), &status) != 0) {
        why = std::strerror(errno);
        return false;
    }
    // The owner and group, where the process may set them: root always, another user the group at
    // most (a group of their own). Then the permission bits exactly as the original's, whatever
    // the umask took away and whatever a change of owner cleared.
    if (chown(to.c_str(), status.st_uid, status.st_gid) != 0) {
        (void)chown(to.c_str(), static_cast<uid_t>(-1), status.st_gid);
    }
    if (chmod(to.c_str(), status.st_mode & 07777) != 0) {
        why = std::strerror(errno);
        return false;
    }
    return true;
#endif
}

std::uint64_t SystemEnvironment::link_count(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known ? information.nNumberOfLinks : 1;
#else
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_nlink) : 1;
#endif
}

bool SystemEnvironment::overwrite(const std::string& path, std::string_view bytes, std::string& why) {
    // Opened for writing without being created, so that it is the same file, emptied.
#ifdef _WIN32
    const int descriptor = _wopen(wide(path).c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
    std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
#else
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
#endif
    if (file == nullptr) {
        why = std::strerror(errno);
        if (descriptor >= 0) {
#ifdef _WIN32
            (void)_close(descriptor);
#else
            (void)::close(descriptor);
#endif
        }
        return false;
    }
    FileSink sink(file);
    if (!sink.write(bytes) || !sink.sync() || !sink.close()) {
        why = "the new text could not be written";
        return false;
    }
    return true;
}

bool SystemEnvironment::move_over(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        why = GetLastError() == ERROR_ACCESS_DENIED ? std::strerror(EACCES) : "the file could not be replaced";
        return false;
    }
#else
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        why = std::strerror(errno);
        return false;
    }
#endif
    return true;
}

bool SystemEnvironment::remove(const std::string& path) {
#ifdef _WIN32
    return _wremove(wide(path).c_str()) == 0;
#else
    return std::remove(path.c_str()) == 0;
#endif
}

namespace {

class StandardInput final : public ByteSource {
public:
    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        for (;;) {
#ifdef _WIN32
            const int count = _read(0, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1U << 30U)));
#else
            const ssize_t count = ::read(0, buffer, size);
#endif
            if (count >= 0 || errno != EINTR) {
                return count;
            }
        }
    }
    bool close() override {
        return true;
    }
};

class StandardOutput final : public ByteSink {
public:
    bool write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() && std::fflush(stdout) == 0;
    }
    bool close() override { return std::fflush(stdout) == 0; }
};

}  // namespace

std::unique_ptr<ByteSource> standard_input() {
#ifdef _WIN32
    (void)_setmode(0, _O_BINARY);
#endif
    return std::make_unique<StandardInput>();
}

std::unique_ptr<ByteSink> standard_output() {
    return std::make_unique<StandardOutput>();
}

bool standard_output_shows_colour() {
    const char* no_colour = std::getenv("NO_COLOR");
    if (no_colour != nullptr && *no_colour != '\0') {
        return false;
    }
#ifdef _WIN32
    // A console shows the colour sequences once asked to.
    const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return _isatty(_fileno(stdout)) != 0 && GetConsoleMode(console, &mode) != 0 &&
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
    const char* terminal = std::getenv("TERM");
    return isatty(fileno(stdout)) != 0 && terminal != nullptr && std::string_view(terminal) != "dumb";
#endif
}

}  // namespace morvcfg
