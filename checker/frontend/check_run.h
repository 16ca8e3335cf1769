#pragma once

// What morvcfg-check does with the files its command line names: each checked, or fixed, and
// reported in the form asked for.
#include <functional>
#include <string>

#include "checker/frontend/command_line.h"
#include "checker/frontend/project_file.h"
#include "generator/text_writer.h"
#include "translator/environment.h"
#include "translator/text_reader.h"

namespace morvcfg {

// What a run of the checker works with: the files (those it checks, their #include lines name and
// their project files, and the steps that rewrite a file in place), standard input, and the two
// output streams.
struct CheckerHost {
    Environment& files;
    ByteSource& standard_input;
    ByteSink& standard_output;
    ByteSink& standard_error;
    // Whether standard output shows colour (a terminal, without NO_COLOR): -fdiagnostics-color=auto.
    bool colour_terminal = false;
    // The value of an environment variable (empty when it is not set), for the forms that append
    // a summary to a file one names; none where there is no environment.
    std::function<std::string(const char*)> environment_variable{};
};

// Checks each file the command names, or fixes it (--fix, --diff), and reports on all of them.
// Returns the exit status: 0 without warnings, 1 with warnings (for --diff: with changes), 2 when a
// file cannot be read or fixed.
int check_files(const CommandLine& command, const CheckerHost& host);

// --compare OLD NEW: what the firmware gets differently from NEW than from OLD, in the command's
// form. Returns 0 when it gets the same, 1 when it differs, 2 when a file cannot be read.
int compare_files(const CommandLine& command, const CheckerHost& host);

// --textconv FILE, for a git diff driver: the file's text, then what the firmware gets from it, a
// value a line with the line it comes from (quoted, so that a line added above leaves the rows as
// they were). Returns 0, or 2 when the file cannot be read.
int textconv_file(const CommandLine& command, const CheckerHost& host);

// --show-config: which project file applies to the command's file, and the options in force for it
// in the order they apply (the project file's, then the command line's). Returns 0, or 2 when the
// project file cannot be used.
int show_config(const CommandLine& command, const CheckerHost& host);

}  // namespace morvcfg
