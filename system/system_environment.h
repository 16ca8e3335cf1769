#pragma once

#include <string>
#include <vector>

#include "translator/environment.h"

namespace morvcfg {

// Readies the process and returns its arguments, program name first, as UTF-8: on Windows they
// are taken from the wide command line, so that a path in any script arrives whole. The standard
// streams are put in binary mode, so that what the tools print is the same bytes on every host.
std::vector<std::string> start_process(int argc, char** argv);

// The real world: files through the C library in binary mode (the text mode is the tool's own, so
// the bytes are the same on every host), standard error, and the local clock.
class SystemEnvironment : public Environment {
public:
    std::unique_ptr<ByteSink> create(const std::string& path) override;
    std::unique_ptr<ByteSink> append(const std::string& path) override;
    using Environment::open;
    std::unique_ptr<ByteSource> open(const std::string& path, std::string& why) override;
    bool same_file(const std::string& first, const std::string& second) override;
    void report(std::string_view message) override;
    LocalTime now() override;

    bool exists(const std::string& path) override;
    std::string working_folder() override;
    bool windows_paths() override;

    // The steps of rewriting a file in place on the real file system, as --fix takes them
    // (system_rewriter.cc).
    std::string link_target(const std::string& path) override;
    bool replaceable(const std::string& path, std::string& why) override;
    std::unique_ptr<ByteSink> create_beside(const std::string& path, std::string& created, std::string& why) override;
    bool copy_attributes(const std::string& from, const std::string& to, std::string& why) override;
    std::uint64_t link_count(const std::string& path) override;
    bool overwrite(const std::string& path, std::string_view bytes, std::string& why) override;
    bool move_over(const std::string& from, const std::string& to, std::string& why) override;
    bool remove(const std::string& path) override;
};

// The process's standard input, output and error as bytes, unbuffered and in binary mode: a read returns
// what has arrived, at least one byte, and each write goes out at once (a language server's
// messages go both ways on them).
std::unique_ptr<ByteSource> standard_input();
std::unique_ptr<ByteSink> standard_output();
std::unique_ptr<ByteSink> standard_error();

// Whether standard output is a terminal that shows colour: a terminal, TERM not "dumb", and no
// NO_COLOR set (on Windows, a console that takes the colour sequences).
bool standard_output_shows_colour();

// The folder the running program's file is in, absolute; empty where the system cannot tell.
std::string program_folder();

// The value of an environment variable, as UTF-8; empty when it is not set.
std::string environment_variable(const char* name);

}  // namespace morvcfg
