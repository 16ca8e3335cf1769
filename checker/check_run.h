#pragma once

// What morvcfg-check does with the files its command line names: each checked, or fixed, and
// reported in the form asked for.
#include "checker/command_line.h"
#include "checker/rewrite.h"
#include "generator/text_writer.h"
#include "translator/environment.h"
#include "translator/text_reader.h"

namespace morvcfg {

// What a run of the checker works with: the files it reads (and those their #include lines
// name), the steps that rewrite a file in place, standard input, and the two output streams.
struct CheckerHost {
    Environment& files;
    FileRewriter& rewriter;
    ByteSource& standard_input;
    ByteSink& standard_output;
    ByteSink& standard_error;
    // Whether standard output shows colour (a terminal, without NO_COLOR): -fdiagnostics-color=auto.
    bool colour_terminal = false;
};

// Checks each file the command names, or fixes it (--fix, --diff), and reports on all of them.
// Returns the exit status: 0 without warnings, 1 with warnings (for --diff: with changes), 2 when a
// file cannot be read or fixed.
int check_files(const CommandLine& command, const CheckerHost& host);

}  // namespace morvcfg
