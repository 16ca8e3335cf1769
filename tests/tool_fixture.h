#pragma once

// A temporary directory per test and a way to run the real binary in it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace morvcfg_test {

namespace fs = std::filesystem;

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
inline std::string without_stamp(const std::string& source) {
    static const std::regex stamp(R"(char BuildNumber\[\] = \{"\d{14}"\};)");
    return std::regex_replace(source, stamp, R"(char BuildNumber[] = {"YYYYMMDDhhmmss"};)");
}

struct Outcome {
    int status = -1;
    std::string error_output;
    std::string standard_output;
};

constexpr int kFailed = 255;  // -1 as the process exit status

// A directory of its own for each test, removed afterwards.
class ToolTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "morvcfg-e2e-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir_, ignored);
    }

    [[nodiscard]] const fs::path& dir() const { return dir_; }

    // Runs the tool in the test's directory with these arguments (the program name comes first),
    // optionally under a file-size limit (with SIGXFSZ ignored, so writes past it fail instead).
    Outcome run_tool(const std::vector<std::string>& args, std::optional<rlim_t> file_size_limit = {}) const {
        return run_program(MORVCFG_BINARY, args, file_size_limit);
    }

    // The same for the checker.
    Outcome run_checker(const std::vector<std::string>& args) const { return run_program(MORVCFG_CHECK_BINARY, args); }

    Outcome run_program(const std::string& program, const std::vector<std::string>& args,
                        std::optional<rlim_t> file_size_limit = {}) const {
        const fs::path error_file = dir_.parent_path() / (dir_.filename().string() + ".stderr");
        const fs::path output_file = dir_.parent_path() / (dir_.filename().string() + ".stdout");
        std::vector<std::string> words{program};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv(words.size() + 1, nullptr);
        std::transform(words.begin(), words.end(), argv.begin(), [](std::string& word) { return word.data(); });
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(dir_.c_str()) != 0 || freopen(error_file.c_str(), "wb", stderr) == nullptr ||
                freopen(output_file.c_str(), "wb", stdout) == nullptr) {
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
        Outcome outcome;
        outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        outcome.error_output = read_file(error_file);
        outcome.standard_output = read_file(output_file);
        fs::remove(error_file);
        fs::remove(output_file);
        return outcome;
    }

    // Names of the entries in the test directory, sorted.
    [[nodiscard]] std::vector<std::string> entries() const {
        std::vector<std::string> names;
        std::transform(fs::directory_iterator(dir_), fs::directory_iterator(), std::back_inserter(names),
                       [](const fs::directory_entry& entry) { return entry.path().filename().string(); });
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
    fs::path dir_;
};

}  // namespace morvcfg_test
