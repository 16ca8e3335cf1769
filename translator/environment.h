#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "generator/source_writer.h"
#include "generator/text_writer.h"
#include "translator/text_reader.h"

namespace morvcfg {

// note [one way to reach files]: everything the tools need from outside the process, in one
// interface: files to read and write, whether a path names anything and where relative paths
// start, the steps of rewriting a file in place, the error stream and the clock. The programs use
// the real system (system/, SystemEnvironment), the page, the fuzzer and tests memory
// (MemoryEnvironment); every adapter the checker and the language server need (the files an
// #include names, the search for project files) is made from one of these.
class Environment {
public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    virtual ~Environment() = default;

    // Opens a file for writing, creating it or emptying it; null on failure.
    virtual std::unique_ptr<ByteSink> create(const std::string& path) = 0;
    // Opens a file for writing at its end, creating it if need be; null on failure.
    virtual std::unique_ptr<ByteSink> append(const std::string& path) = 0;
    // Opens an existing file, not a directory, for reading; null on failure, with the system's
    // reason ("No such file or directory") in `why`.
    virtual std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) = 0;
    // The same, when the reason does not matter.
    std::unique_ptr<ByteSource> open(const std::string& path) {
        std::string why;
        return open(path, why);
    }
    // True when the two paths name one file, whether it exists yet or not.
    virtual bool same_file(const std::string& first, const std::string& second) = 0;
    // Writes to the standard error stream, unbuffered.
    virtual void report(std::string_view message) = 0;
    // The current local date and time.
    virtual LocalTime now() = 0;

    // True when `path` names anything: a file, a folder, a link.
    virtual bool exists(const std::string& path) = 0;
    // The folder relative paths start from, absolute.
    virtual std::string working_folder() = 0;
    // Whether paths are Windows paths: '\\' separates folders too, and a drive letter starts one.
    virtual bool windows_paths() = 0;

    // The steps of rewriting a file in place (morvcfg-check --fix), one call each, so that a test
    // can make any of them fail.
    // The path a file name leads to once symbolic links are followed (the name itself if none).
    virtual std::string link_target(const std::string& path) = 0;
    // True when the file may be replaced: it exists and is not read-only; false with the reason.
    virtual bool replaceable(const std::string& path, std::string& why) = 0;
    // Creates a new file in the folder of `path`, readable and writable by its owner alone, and
    // names it in `created`; null on failure, with the reason.
    virtual std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created,
                                                    std::string& why) = 0;
    // Gives the file `to` the permission bits of the file `from`, and its owner and group wherever
    // the process may set them (as root, always); false with the reason, also when those of `from`
    // cannot be read.
    virtual bool copy_attributes(const std::string& from, const std::string& to, std::string& why) = 0;
    // How many names (hard links) the file has; 1 where the system cannot tell.
    virtual std::uint64_t link_count(const std::string& path) = 0;
    // Writes `bytes` over the content of the existing file `path`, which stays the same file (its
    // other names see the change), and makes them durable; false with the reason.
    virtual bool overwrite(const std::string& path, std::string_view bytes, std::string& why) = 0;
    // Moves the file `from` over `to` in one step; false with the reason on failure.
    virtual bool move_over(const std::string& from, const std::string& to, std::string& why) = 0;
    // Removes a file; false on failure.
    virtual bool remove(const std::string& path) = 0;
};

}  // namespace morvcfg
