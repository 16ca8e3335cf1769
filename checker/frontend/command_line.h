#pragma once

// The command line of morvcfg-check: one table of options, from which the parser, the usage text
// and --help are all made.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "checker/forms/output_form.h"
#include "checker/forms/report.h"

namespace morvcfg {

enum class Colour { Auto, Always, Never };
// What is done with the fixes: only shown, applied in place, or shown as a diff; or, instead of
// them, an ignore comment written on each line with warnings (--add-ignore).
enum class FixMode { Show, Apply, Diff, AddIgnore };

// What the command line asks for.
struct CommandLine {
    enum class Action { Check, LanguageServer, Help, Version, ShowConfig, Explain, Compare, Textconv };
    Action action = Action::Check;
    const OutputForm* format = &output_forms().front();
    Colour colour = Colour::Auto;
    FixMode fix_mode = FixMode::Show;
    bool guesses = false;     // --unsafe-fixes
    bool statistics = false;  // --statistics: a line per kind instead of the warnings
    // The kind --explain explains.
    Category explain = Category::Operand;
    ReportOptions options;
    std::vector<std::string> files;
    // The name standard input goes by in messages, and whether one was given (its #include lines
    // are then beside that name).
    std::string stdin_name = "<stdin>";
    bool stdin_named = false;
    // The -W options as given, in order: a project file's options go before them, so they win.
    std::vector<std::string> warning_words;
    // The project file: found from each file's folder, named (--config), or none (--no-config).
    bool no_config = false;
    std::string config_file;
    // The file whose options --show-config prints.
    std::string show_config_file;
};

// A command line as read: what it asks for, or why it cannot be done, in words for after
// "morvcfg-check: ", and whether the usage text should follow them.
struct ParsedCommandLine {
    std::optional<CommandLine> command;
    std::string error;
    bool show_usage = false;
};

// Reads the arguments after the program name. Never prints: the caller says what it returns.
ParsedCommandLine parse_command_line(std::span<const std::string> args);

// The usage text, as printed after an error in the arguments.
std::string usage_text();
// What --help prints: the usage, every option, the warning categories and their fixes.
std::string help_text();

}  // namespace morvcfg
