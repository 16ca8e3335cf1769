#pragma once

// Rewriting a description file in place with its fixed text, without ever leaving it half written.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "generator/text_writer.h"
#include "translator/environment.h"

namespace morvcfg {

// The steps of rewriting a file in place, one call each, so that a test can make any of them fail.
// The system's implementation is SystemFileRewriter; MemoryFileRewriter works on memory files.
class FileRewriter {
public:
    FileRewriter() = default;
    FileRewriter(const FileRewriter&) = delete;
    FileRewriter& operator=(const FileRewriter&) = delete;
    virtual ~FileRewriter() = default;

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

// Replaces the content of the file `path` (the file a symbolic link leads to, the link staying a
// link) with `fixed`, without ever leaving it half written: the new bytes go to a file beside it,
// which is made durable and then moved over it in one step, keeping its permission bits. Refused
// when the file no longer holds `original`, which is read through `files`. False with the reason
// on any failure, and the file then stays as it was.
bool rewrite_in_place(Environment& files, FileRewriter& steps, const std::string& path, std::string_view original,
                      std::string_view fixed, std::string& why);

// Reads a whole file; false with the reason on failure.
bool read_whole_file(Environment& files, const std::string& path, std::string& bytes, std::string& why);

}  // namespace morvcfg
