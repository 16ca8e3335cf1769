#pragma once

#include <map>
#include <memory>
#include <string>

#include "translator/environment.h"

namespace morvcfg {

// A run's outside world held in memory (the web page, the fuzzer, tests): files are strings keyed
// by path, what goes to standard error is kept, and the clock stands still.
class MemoryEnvironment : public Environment {
public:
    std::map<std::string, std::string> files;
    std::string error_output;
    LocalTime clock{2004, 3, 7, 9, 5, 3};

    std::unique_ptr<ByteSink> create(const std::string& path) override {
        std::string& contents = files[path];
        contents.clear();
        return std::make_unique<Sink>(contents);
    }
    using Environment::open;
    std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            why = "No such file or directory";
            return nullptr;
        }
        return std::make_unique<StringSource>(found->second);
    }
    bool same_file(const std::string& first, const std::string& second) override { return first == second; }
    void report(std::string_view message) override { error_output.append(message); }
    LocalTime now() override { return clock; }

private:
    class Sink final : public ByteSink {
    public:
        explicit Sink(std::string& contents) : contents_(contents) {}
        bool write(std::string_view bytes) override {
            contents_.append(bytes);
            return true;
        }
        bool close() override { return true; }

    private:
        std::string& contents_;
    };
};

}  // namespace morvcfg
