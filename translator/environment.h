#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "generator/source_writer.h"
#include "generator/text_writer.h"
#include "translator/text_reader.h"

namespace morvcfg {

// Everything a run needs from outside the process: files, the error stream and the clock. The
// programs use the real system (system/), the page, the fuzzer and tests memory.
class Environment {
public:
    Environment() = default;
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    virtual ~Environment() = default;

    // Opens a file for writing, creating it or emptying it; null on failure.
    virtual std::unique_ptr<ByteSink> create(const std::string& path) = 0;
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
};

}  // namespace morvcfg
