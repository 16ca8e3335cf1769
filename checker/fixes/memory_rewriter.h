#pragma once

#include <map>
#include <string>

#include "checker/fixes/rewrite.h"

namespace morvcfg {

// The steps of rewriting a file in place, on memory files (a MemoryEnvironment's): no links, no
// attributes, and every step succeeds on a file that is there.
class MemoryFileRewriter final : public FileRewriter {
public:
    explicit MemoryFileRewriter(std::map<std::string, std::string>& files) : files_(files) {}

    std::string link_target(const std::string& path) override { return path; }
    bool replaceable(const std::string& path, std::string& why) override { return exists(path, why); }
    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override {
        created = path + ".new";
        if (files_.contains(created)) {
            why = "File exists";
            return nullptr;
        }
        return std::make_unique<Sink>(files_[created]);
    }
    bool copy_attributes(const std::string& from, const std::string& to, std::string& why) override {
        return exists(from, why) && exists(to, why);
    }
    std::uint64_t link_count(const std::string& /*path*/) override { return 1; }
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override {
        if (!exists(path, why)) {
            return false;
        }
        files_[path] = bytes;
        return true;
    }
    bool move_over(const std::string& from, const std::string& to, std::string& why) override {
        if (!exists(from, why)) {
            return false;
        }
        files_[to] = std::move(files_[from]);
        files_.erase(from);
        return true;
    }
    bool remove(const std::string& path) override { return files_.erase(path) > 0; }

private:
    bool exists(const std::string& path, std::string& why) const {
        if (!files_.contains(path)) {
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

    std::map<std::string, std::string>& files_;
};

}  // namespace morvcfg
