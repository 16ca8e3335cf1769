#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "translator/environment.h"

namespace morvcfg {

// A run's outside world held in memory (the web page, the fuzzer, tests): files are strings keyed
// by path, with no folders, links or attributes, what goes to standard error is kept, and the
// clock stands still. Paths start from the root; every rewriting step succeeds on a file that is
// there.
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
    std::unique_ptr<ByteSink> append(const std::string& path) override { return std::make_unique<Sink>(files[path]); }
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

    bool exists(const std::string& path) override { return files.contains(path); }
    std::string working_folder() override { return "/"; }
    bool windows_paths() override { return false; }

    std::string link_target(const std::string& path) override { return path; }
    bool replaceable(const std::string& path, std::string& why) override { return there(path, why); }
    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override {
        created = path + ".new";
        if (files.contains(created)) {
            why = "File exists";
            return nullptr;
        }
        return std::make_unique<Sink>(files[created]);
    }
    bool copy_attributes(const std::string& from, const std::string& to, std::string& why) override {
        return there(from, why) && there(to, why);
    }
    std::uint64_t link_count(const std::string& /*path*/) override { return 1; }
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override {
        if (!there(path, why)) {
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool move_over(const std::string& from, const std::string& to, std::string& why) override {
        if (!there(from, why)) {
            return false;
        }
        files[to] = std::move(files[from]);
        files.erase(from);
        return true;
    }
    bool remove(const std::string& path) override { return files.erase(path) > 0; }

private:
    bool there(const std::string& path, std::string& why) const {
        if (!files.contains(path)) {
            why = "No such file or directory";
            return false;
        }
        return true;
    }

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
