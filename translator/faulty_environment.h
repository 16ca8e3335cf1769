#pragma once

// A test double: memory files that fail where a test says, as disks, devices and pipes fail.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "translator/memory_environment.h"

namespace morvcfg {

class FaultyEnvironment final : public MemoryEnvironment {
public:
    std::set<std::string> uncreatable;
    std::set<std::string> unwritable;
    std::set<std::string> unreadable;
    // Files whose every write succeeds but whose close fails (what was written was not kept).
    std::set<std::string> unclosable;
    // The most bytes one gather write takes (0 for all of them), as a pipe or a device may.
    std::size_t most_per_write = 0;
    // The sizes each read of a file asked for, in order.
    std::map<std::string, std::vector<std::size_t>> reads;

    std::unique_ptr<ByteSink> create(const std::string& path) override {
        if (uncreatable.contains(path)) {
            return nullptr;
        }
        std::string& contents = files[path];
        contents.clear();
        return std::make_unique<Sink>(contents, unwritable.contains(path), unclosable.contains(path), most_per_write);
    }
    std::unique_ptr<ByteSink> append(const std::string& path) override {
        if (uncreatable.contains(path)) {
            return nullptr;
        }
        return std::make_unique<Sink>(files[path], unwritable.contains(path), unclosable.contains(path),
                                      most_per_write);
    }
    using Environment::open;
    std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) override {
        std::unique_ptr<ByteSource> inner = MemoryEnvironment::open(path, why);
        if (!inner) {
            return nullptr;
        }
        return std::make_unique<Source>(std::move(inner), unreadable.contains(path), reads[path]);
    }

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
        Source(std::unique_ptr<ByteSource> inner, bool fails, std::vector<std::size_t>& reads)
            : inner_(std::move(inner)), fails_(fails), reads_(reads) {}
        std::ptrdiff_t read(char* buffer, std::size_t size) override {
            reads_.push_back(size);
            return fails_ ? -1 : inner_->read(buffer, size);
        }
        bool close() override { return true; }

    private:
        std::unique_ptr<ByteSource> inner_;
        bool fails_;
        std::vector<std::size_t>& reads_;
    };
};

}  // namespace morvcfg
