#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "translator/environment.h"

namespace morvcfg {

// A run's outside world held in memory, for tests, fuzzing and the web page: files are strings keyed by path,
// and chosen paths can be made to fail.
class MemoryEnvironment final : public Environment {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> uncreatable;
    std::set<std::string> unwritable;
    std::set<std::string> unreadable;
    // Files whose every write succeeds but whose close fails (what was written was not kept).
    std::set<std::string> unclosable;
    // The most bytes one gather write takes (0 for all of them), as a pipe or a device may.
    std::size_t most_per_write = 0;
    // The sizes each read of a file asked for, in order.
    std::map<std::string, std::vector<std::size_t>> reads;
    std::string error_output;
    LocalTime clock{2004, 3, 7, 9, 5, 3};

    std::unique_ptr<ByteSink> create(const std::string& path) override {
        if (uncreatable.contains(path)) {
            return nullptr;
        }
        std::string& contents = files[path];
        contents.clear();
        return std::make_unique<Sink>(contents, unwritable.contains(path), unclosable.contains(path), most_per_write);
    }
    using Environment::open;
    std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) override {
        const auto found = files.find(path);
        if (found == files.end()) {
            why = "No such file or directory";
            return nullptr;
        }
        return std::make_unique<Source>(found->second, unreadable.contains(path), reads[path]);
    }
    bool same_file(const std::string& first, const std::string& second) override { return first == second; }
    void report(std::string_view message) override { error_output.append(message); }
    LocalTime now() override { return clock; }
    std::string link_target(const std::string& path) override { return path; }
    bool replaceable(const std::string& path, std::string& why) override {
        if (!files.contains(path) || unwritable.contains(path)) {
            why = files.contains(path) ? "Permission denied" : "No such file or directory";
            return false;
        }
        return true;
    }
    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override {
        created = path + ".new";
        if (uncreatable.contains(created)) {
            why = "Permission denied";
            return nullptr;
        }
        return create(created);
    }
    bool copy_attributes(const std::string& /*from*/, const std::string& /*to*/, std::string& /*why*/) override {
        return true;  // memory files have none
    }
    std::uint64_t link_count(const std::string& /*path*/) override { return 1; }
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override {
        if (!files.contains(path) || unwritable.contains(path)) {
            why = files.contains(path) ? "Permission denied" : "No such file or directory";
            return false;
        }
        files[path] = bytes;
        return true;
    }
    bool move_over(const std::string& from, const std::string& to, std::string& why) override {
        const auto found = files.find(from);
        if (found == files.end()) {
            why = "No such file or directory";
            return false;
        }
        files[to] = std::move(found->second);
        files.erase(from);
        return true;
    }
    bool remove(const std::string& path) override { return files.erase(path) > 0; }

private:
    class Sink final : public ByteSink {
    public:
        Sink(std::string& contents, bool fails, bool close_fails, std::size_t most)
            : contents_(contents), fails_(fails), close_fails_(close_fails), most_(most) {}
        bool write(std::string_view bytes) override {
            if (fails_) {
                return false;
            }
            contents_.append(bytes);
            return true;
        }
        bool write_parts(std::span<const std::string_view> parts) override {
            if (fails_) {
                return false;
            }
            // Each call takes what fits in most_ bytes, ending where that falls, as a system may.
            return write_all_parts(parts, [this](std::span<const std::string_view> left) {
                std::size_t taken = 0;
                for (const std::string_view part : left) {
                    const std::size_t take = most_ == 0 ? part.size() : std::min(part.size(), most_ - taken);
                    contents_.append(part.substr(0, take));
                    taken += take;
                    if (take < part.size()) {
                        break;
                    }
                }
                return static_cast<std::ptrdiff_t>(taken);
            });
        }
        bool close() override { return !fails_ && !close_fails_; }

    private:
        std::string& contents_;
        bool fails_;
        bool close_fails_;
        std::size_t most_;
    };

    class Source final : public ByteSource {
    public:
        Source(const std::string& contents, bool fails, std::vector<std::size_t>& reads)
            : contents_(contents), fails_(fails), reads_(reads) {}
        std::ptrdiff_t read(char* buffer, std::size_t size) override {
            reads_.push_back(size);
            if (fails_) {
                return -1;
            }
            return inner_.read(buffer, size);
        }
        bool close() override { return true; }

    private:
        const std::string& contents_;
        StringSource inner_{contents_};
        bool fails_;
        std::vector<std::size_t>& reads_;
    };
};

}  // namespace morvcfg
