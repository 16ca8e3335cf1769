#include "system/system_environment.h"

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

#include "system/native_files.h"

namespace morvcfg {
namespace {

namespace fs = std::filesystem;
using native::native_path;

// The absolute path a name leads to, with symbolic links followed as far as they go, even to a
// target that does not exist yet (which is where a write through a dangling link lands).
fs::path resolve(const fs::path& path, std::error_code& error) {
    const fs::path absolute = fs::absolute(path, error);
    return error ? absolute : fs::weakly_canonical(native::follow_links(absolute), error);
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
            arguments.push_back(native::utf8(wide_arguments[i]));
        }
        LocalFree(static_cast<HLOCAL>(wide_arguments));
    }
#else
    arguments.assign(argv, argv + argc);
#endif
    return arguments;
}

std::unique_ptr<ByteSink> SystemEnvironment::create(const std::string& path) {
    std::FILE* file = native::open_file(path, "wb");
    if (file == nullptr) {
        return nullptr;
    }
    return native::file_sink(file);
}

std::unique_ptr<ByteSink> SystemEnvironment::append(const std::string& path) {
    std::FILE* file = native::open_file(path, "ab");
    if (file == nullptr) {
        return nullptr;
    }
    return native::file_sink(file);
}

std::unique_ptr<ByteSource> SystemEnvironment::open(const std::string& path, std::string& why) {
    // A directory is no file to read on any host, although POSIX opens one for reading and fails
    // only at the first read: the run must fail here, before any output is touched.
    std::FILE* file = native::open_file(path, "rb");
    int error = errno;
#ifdef _WIN32
    std::error_code ignored;
    if (file == nullptr && fs::is_directory(native_path(path), ignored)) {
        error = EISDIR;
    }
#else
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
    return native::file_source(file);
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

// Standard output or standard error: each write goes out at once.
class StandardStream final : public ByteSink {
public:
    explicit StandardStream(std::FILE* stream) : stream_(stream) {}
    bool write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), stream_) == bytes.size() && std::fflush(stream_) == 0;
    }
    bool close() override { return std::fflush(stream_) == 0; }

private:
    std::FILE* stream_;
};

}  // namespace

std::unique_ptr<ByteSource> standard_input() {
#ifdef _WIN32
    (void)_setmode(0, _O_BINARY);
#endif
    return std::make_unique<StandardInput>();
}

std::unique_ptr<ByteSink> standard_output() {
    return std::make_unique<StandardStream>(stdout);
}

std::unique_ptr<ByteSink> standard_error() {
    return std::make_unique<StandardStream>(stderr);
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
#elif defined(__EMSCRIPTEN__)
    // Under node every standard stream looks like a terminal: none is taken for one.
    return false;
#else
    const char* terminal = std::getenv("TERM");
    return isatty(fileno(stdout)) != 0 && terminal != nullptr && std::string_view(terminal) != "dumb";
#endif
}

std::string program_folder() {
#ifdef _WIN32
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        return {};
    }
    path.resize(length);
    return native::utf8_path(std::filesystem::path(path).parent_path());
#else
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : native::utf8_path(path.parent_path());
#endif
}

std::string environment_variable(const char* name) {
#ifdef _WIN32
    // The wide environment holds any path whole; the narrow one only what the code page can.
    const std::wstring wide_name(name, name + std::strlen(name));
    const wchar_t* value = _wgetenv(wide_name.c_str());
    return value != nullptr ? native::utf8(value) : std::string();
#else
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
#endif
}

std::string SystemEnvironment::working_folder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string(".") : native::utf8_path(folder);
}

bool SystemEnvironment::exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(native::native_path(path), error));
}

bool SystemEnvironment::windows_paths() {
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

}  // namespace morvcfg
