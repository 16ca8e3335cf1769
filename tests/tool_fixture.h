#pragma once

// A temporary directory per test and a way to run the real binary in it, on POSIX hosts and on
// Windows (where the tests also run under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace morvcfg_test {

namespace fs = std::filesystem;

// A path from UTF-8, as the tools take their arguments.
inline fs::path utf8_path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// A path as UTF-8, as the tools take their arguments.
inline std::string utf8_string(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The local date and time of a moment, as the build stamp writes it.
inline std::string local_stamp(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

inline std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

inline void write_file(const fs::path& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

// The build stamp is the one part of the output that changes from run to run.
// Compares what a run made with its golden file. With MORVCFG_UPDATE_GOLDEN=1 in the environment
// the file is written first, so that a changed output is reviewed in the version control diff; the
// comparison then reads back what was written.
inline void expect_golden(const fs::path& golden, const std::string& actual) {
    if (const char* update = std::getenv("MORVCFG_UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
        write_file(golden, actual);
    }
    EXPECT_EQ(actual, read_file(golden)) << golden.string();
}

inline std::string without_stamp(const std::string& source) {
    static const std::regex stamp(R"(char BuildNumber\[\] = \{"\d{14}"\};)");
    return std::regex_replace(source, stamp, R"(char BuildNumber[] = {"YYYYMMDDhhmmss"};)");
}

struct Outcome {
    int status = -1;
    std::string error_output;
    std::string standard_output;
};

#ifdef _WIN32
constexpr int kFailed = -1;  // the all-ones exit code
#else
constexpr int kFailed = 255;  // -1 as the process exit status
#endif

// A directory of its own for each test, removed afterwards.
class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            const fs::path candidate = fs::temp_directory_path() / ("morvcfg-e2e-" + std::to_string(random()));
            if (fs::create_directory(candidate)) {
                dir_ = candidate;
            }
        }
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    [[nodiscard]] const fs::path& dir() const { return dir_; }

    // Runs the tool in the test's directory with these arguments (UTF-8); on POSIX, optionally
    // under a file-size limit (with SIGXFSZ ignored, so writes past it fail instead).
    Outcome run_tool(const std::vector<std::string>& args, std::optional<std::uint64_t> file_size_limit = {}) const {
        return run_program(program_under_test("MORVCFG_TEST_TOOL", MORVCFG_BINARY), args, file_size_limit);
    }

    // The same for the checker, with these bytes as its standard input (none by default).
    Outcome run_checker(const std::vector<std::string>& args, const std::string& input = {}) const {
        return run_program(program_under_test("MORVCFG_TEST_CHECKER", MORVCFG_CHECK_BINARY), args, {}, input);
    }

    // The program the tests run: the one built with them, or another form of it that the
    // environment variable `variable` names (the node scripts of the WebAssembly build, through a
    // wrapper), which must then write the very same bytes.
    static std::string program_under_test(const char* variable, const char* built) {
        const char* other = std::getenv(variable);
        return other != nullptr && *other != '\0' ? std::string(other) : std::string(built);
    }
    Outcome run_program(const std::string& program, const std::vector<std::string>& args,
                        std::optional<std::uint64_t> file_size_limit = {}, const std::string& input = {}) const {
        const fs::path error_file = dir_.parent_path() / (dir_.filename().string() + ".stderr");
        const fs::path output_file = dir_.parent_path() / (dir_.filename().string() + ".stdout");
        const fs::path input_file = dir_.parent_path() / (dir_.filename().string() + ".stdin");
        std::ofstream(input_file, std::ios::binary) << input;
        Outcome outcome;
        outcome.status = start_and_wait(program, args, {input_file, output_file, error_file}, file_size_limit);
        outcome.error_output = read_file(error_file);
        outcome.standard_output = read_file(output_file);
        fs::remove(error_file);
        fs::remove(output_file);
        fs::remove(input_file);
        return outcome;
    }

    // Names of the entries in the test directory, sorted.
    [[nodiscard]] std::vector<std::string> entries() const {
        std::vector<std::string> names;
        std::transform(fs::directory_iterator(dir_), fs::directory_iterator(), std::back_inserter(names),
                       [](const fs::directory_entry& entry) { return utf8_string(entry.path().filename()); });
        std::sort(names.begin(), names.end());
        return names;
    }

    [[nodiscard]] std::string contents(const std::string& name) const { return read_file(dir_ / name); }

    // Starts a case of a table over: the test directory empty again.
    void empty_dir() const {
        fs::remove_all(dir_);
        fs::create_directory(dir_);
    }

    // A run that failed silently, leaving exactly these entries and both generated files empty.
    void expect_silent_failure(const Outcome& outcome, const std::vector<std::string>& left,
                               const std::string& name) const {
        EXPECT_EQ(outcome.status, kFailed) << name;
        EXPECT_EQ(outcome.error_output, "") << name;
        EXPECT_EQ(entries(), left) << name;
        EXPECT_EQ(contents("morv_cfg.c"), "") << name;
        EXPECT_EQ(contents("morv_cfg.h"), "") << name;
    }

private:
    // The files a program's standard streams are.
    struct Streams {
        fs::path input;
        fs::path output;
        fs::path error;
    };

#ifdef _WIN32
    static std::wstring wide(const std::string& text) {
        return utf8_path(text).wstring();
    }

    // One argument as the C runtime splits the command line: quoted when it holds blanks or quotes,
    // with the backslashes before a quote doubled.
    static std::wstring quote(const std::wstring& arg) {
        if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
            return arg;
        }
        std::wstring out = L"\"";
        std::size_t backslashes = 0;
        for (const wchar_t c : arg) {
            if (c == L'\\') {
                ++backslashes;
                continue;
            }
            out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            backslashes = 0;
            out += c;
        }
        out.append(2 * backslashes, L'\\');
        return out + L"\"";
    }

    int start_and_wait(const std::string& program, const std::vector<std::string>& args, const Streams& streams,
                       std::optional<std::uint64_t> /*file_size_limit*/) const {
        std::wstring command_line = quote(wide(program));
        for (const std::string& arg : args) {
            command_line += L" " + quote(wide(arg));
        }
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const auto open = [&](const fs::path& path) {
            return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        HANDLE input = CreateFileW(streams.input.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        HANDLE output = open(streams.output);
        HANDLE error = open(streams.error);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = error;
        PROCESS_INFORMATION process{};
        const std::wstring directory = dir_.wstring();
        const bool started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                            directory.c_str(), &startup, &process) != 0;
        CloseHandle(input);
        CloseHandle(output);
        CloseHandle(error);
        if (!started) {
            return 98;
        }
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return static_cast<int>(code);
    }
#else
    int start_and_wait(const std::string& program, const std::vector<std::string>& args, const Streams& streams,
                       std::optional<std::uint64_t> file_size_limit) const {
        std::vector<std::string> words{program};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv(words.size() + 1, nullptr);
        std::transform(words.begin(), words.end(), argv.begin(), [](std::string& word) { return word.data(); });
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(dir_.c_str()) != 0 || freopen(streams.error.c_str(), "wb", stderr) == nullptr ||
                freopen(streams.output.c_str(), "wb", stdout) == nullptr ||
                freopen(streams.input.c_str(), "rb", stdin) == nullptr) {
                _exit(99);
            }
            if (file_size_limit) {
                const rlimit limit{*file_size_limit, *file_size_limit};
                if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                    _exit(97);
                }
            }
            execv(argv[0], argv.data());
            _exit(98);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    }
#endif

    fs::path dir_;
};

}  // namespace morvcfg_test
