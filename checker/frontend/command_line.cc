#include "checker/frontend/command_line.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <utility>

#include "checker/analysis/messages.h"
#include "checker/frontend/project_file.h"

namespace morvcfg {
namespace {

using Apply = std::optional<std::string> (*)(CommandLine& command, std::string_view arg, std::string_view value);

// How an option is written.
enum class Form {
    Flag,    // alone: --summary
    Value,   // with a value after '=' or as the next argument: --format=json, --format json
    Equals,  // with a value after '=' only: -fdiagnostics-color=always
    Prefix,  // a family of options that start alike: -Wno-NAME
};

// Which form of the usage text an option belongs to.
enum class Usage {
    None,
    Check,   // morvcfg-check [OPTION]... FILE...
    Both,    // that and morvcfg-check --lsp [OPTION]...
    Server,  // the --lsp form's own word
    Alone,   // morvcfg-check -h | --help | --version
};

// One row of the table: how the parser knows the option, its part of the usage text and where
// that stands, and how --help lists it (not at all when `listed` is empty). Rows that share a
// name are one option listed in several ways; the first of them is the one the parser takes.
struct Option {
    std::string_view name;
    Form form;
    Apply apply;
    std::string_view missing;  // what an option that takes a value says when it has none
    std::string_view usage;
    Usage where;
    int order;  // of the usage parts
    std::string_view listed;
    std::string_view help;
};

// One -W option, as GCC reads them, in order (see apply_warning_option()).
std::optional<std::string> warning_option(CommandLine& command, std::string_view arg, std::string_view /*value*/) {
    command.warning_words.emplace_back(arg);
    return apply_warning_option(command.options, arg);
}

std::optional<std::string> config_option(CommandLine& command, std::string_view arg, std::string_view value) {
    if (arg == "--no-config") {
        command.no_config = true;
    } else if (arg.starts_with("--show-config")) {
        command.action = CommandLine::Action::ShowConfig;
        command.show_config_file = value;
    } else {
        command.config_file = value;
    }
    return std::nullopt;
}

std::optional<std::string> format_option(CommandLine& command, std::string_view /*arg*/, std::string_view value) {
    const OutputForm* form = output_form_named(value);
    if (form == nullptr) {
        return "unknown format '" + std::string(value) + "': the formats are " + output_form_names(", ", " and ");
    }
    command.format = form;
    return std::nullopt;
}

// An option's text with FORMS, where it stands, replaced by the names of the output forms as
// `between` and `last` join them.
std::string with_forms(std::string_view text, std::string_view between, std::string_view last) {
    const std::size_t at = text.find("FORMS");
    return at == std::string_view::npos
               ? std::string(text)
               : std::string(text.substr(0, at)) + output_form_names(between, last) + std::string(text.substr(at + 5));
}

std::optional<std::string> colour_option(CommandLine& command, std::string_view arg, std::string_view value) {
    if (arg == "-fdiagnostics-color" || arg == "-fno-diagnostics-color") {
        command.colour = arg == "-fdiagnostics-color" ? Colour::Always : Colour::Never;
        return std::nullopt;
    }
    constexpr std::array<std::pair<std::string_view, Colour>, 3> kChoices = {
        {{"auto", Colour::Auto}, {"always", Colour::Always}, {"never", Colour::Never}}};
    const auto* const found =
        std::find_if(kChoices.begin(), kChoices.end(), [value](const auto& c) { return c.first == value; });
    if (found == kChoices.end()) {
        return "unknown colour choice '" + std::string(value) + "': the choices are auto, always and never";
    }
    command.colour = found->second;
    return std::nullopt;
}

std::optional<std::string> fix_option(CommandLine& command, std::string_view arg, std::string_view /*value*/) {
    const FixMode mode = arg == "--fix" ? FixMode::Apply : arg == "--diff" ? FixMode::Diff : FixMode::AddIgnore;
    if (command.fix_mode != FixMode::Show && command.fix_mode != mode) {
        const std::string_view before = command.fix_mode == FixMode::Apply  ? "--fix"
                                        : command.fix_mode == FixMode::Diff ? "--diff"
                                                                            : "--add-ignore";
        return std::string(before) + " and " + std::string(arg) + " do not go together";
    }
    command.fix_mode = mode;
    return std::nullopt;
}

std::optional<std::string> flag_option(CommandLine& command, std::string_view arg, std::string_view /*value*/) {
    if (arg == "--summary") {
        command.options.summary = true;
    } else if (arg == "--lsp") {
        command.action = CommandLine::Action::LanguageServer;
    } else if (arg == "--show-ignored") {
        command.options.show_ignored = true;
    } else if (arg == "--compare") {
        command.action = CommandLine::Action::Compare;
    } else if (arg == "--textconv") {
        command.action = CommandLine::Action::Textconv;
    } else if (arg == "--statistics") {
        command.statistics = true;
    } else if (arg == "--unsafe-fixes") {
        command.guesses = true;
    } else if (arg == "-fdiagnostics-parseable-fixits") {
        command.options.parseable_fixits = true;
    } else if (arg == "-fno-diagnostics-show-caret" || arg == "-fdiagnostics-show-caret") {
        command.options.show_caret = arg == "-fdiagnostics-show-caret";
    } else if (arg == "--version") {
        command.action = CommandLine::Action::Version;
    } else {
        command.action = CommandLine::Action::Help;  // -h, --help
    }
    return std::nullopt;
}

std::optional<std::string> explain_option(CommandLine& command, std::string_view /*arg*/, std::string_view value) {
    const std::optional<Category> category = category_named(value.starts_with("-W") ? value.substr(2) : value);
    if (!category) {
        const std::string_view near = nearest_category(value);
        return "unknown warning kind '" + std::string(value) + "'" +
               (near.empty() ? "; the kinds are listed by --help" : "; did you mean '" + std::string(near) + "'?");
    }
    command.action = CommandLine::Action::Explain;
    command.explain = *category;
    return std::nullopt;
}

std::optional<std::string> stdin_name_option(CommandLine& command, std::string_view /*arg*/, std::string_view value) {
    command.stdin_name = value;
    command.stdin_named = true;
    return std::nullopt;
}

constexpr std::string_view kNoValue;

// Every option, in the order --help lists them.
constexpr std::array<Option, 28> kOptions = {{
    {"--format", Form::Value, format_option, "needs a value: FORMS", "[--format=FORMS]", Usage::Check, 0,
     "--format=FORM", "the form of the report, one of the forms listed below"},
    {"--summary", Form::Flag, flag_option, kNoValue, "[--summary]", Usage::Check, 1, "--summary",
     "with the gcc form, also print the configuration morvcfg would generate"},
    {"--show-ignored", Form::Flag, flag_option, kNoValue, "[--show-ignored]", Usage::Check, 1, "--show-ignored",
     "with the gcc form, also show the warnings that ignore comments or the project file excuse"},
    {"--fix", Form::Flag, fix_option, kNoValue, "[--fix [--unsafe-fixes] | --diff]", Usage::Check, 4, "--fix",
     "apply the certain fixes to each file in place, then report what remains (with -, write the fixed "
     "text to standard output and the report to standard error)"},
    {"--unsafe-fixes", Form::Flag, flag_option, kNoValue, "", Usage::None, 0, "--unsafe-fixes",
     "with --fix or --diff, apply the guesses too"},
    {"--diff", Form::Flag, fix_option, kNoValue, "", Usage::None, 0, "--diff",
     "print what --fix would change as a unified diff (patch -p0), and change nothing"},
    {"--add-ignore", Form::Flag, fix_option, kNoValue, "[--add-ignore]", Usage::Check, 4, "--add-ignore",
     "write a morvcfg-check: ignore comment on each line with warnings, naming their kinds, so that old files "
     "give none; the configuration morvcfg generates stays the same"},
    {"--compare", Form::Flag, flag_option, kNoValue, "--compare OLD NEW", Usage::None, 0, "--compare OLD NEW",
     "print what the firmware gets differently from NEW than from OLD, each change with the line that causes it "
     "(gcc, json or markdown form); status 1 when it differs"},
    {"--textconv", Form::Flag, flag_option, kNoValue, "--textconv FILE", Usage::None, 0, "--textconv FILE",
     "print the file, then what the firmware gets from it, a value a line with the line it comes from: a git diff "
     "driver's textconv, so that git diff shows both"},
    {"--statistics", Form::Flag, flag_option, kNoValue, "[--statistics]", Usage::Check, 1, "--statistics",
     "print a line per kind of warning (count, name, [*] where a certain fix exists) instead of the warnings"},
    {"-fdiagnostics-parseable-fixits", Form::Flag, flag_option, kNoValue, "[-fdiagnostics-parseable-fixits]",
     Usage::Check, 5, "-fdiagnostics-parseable-fixits", "with the gcc form, print each fix as GCC's fix-it lines"},
    {"-fno-diagnostics-show-caret", Form::Flag, flag_option, kNoValue, "[-fno-diagnostics-show-caret]", Usage::Check, 6,
     "-fno-diagnostics-show-caret", "with the gcc form, leave out the source lines and carets"},
    {"-fdiagnostics-show-caret", Form::Flag, flag_option, kNoValue, "", Usage::None, 0, "", ""},
    {"-fdiagnostics-color", Form::Equals, colour_option, kNoValue, "[-fdiagnostics-color=auto|always|never]",
     Usage::Check, 7, "-fdiagnostics-color=WHEN",
     "colour the gcc form: auto (on a terminal, without NO_COLOR), always, never"},
    {"-fdiagnostics-color", Form::Flag, colour_option, kNoValue, "", Usage::None, 0, "", ""},
    {"-fno-diagnostics-color", Form::Flag, colour_option, kNoValue, "", Usage::None, 0, "", ""},
    {"--lsp", Form::Flag, flag_option, kNoValue, "--lsp", Usage::Server, 0, "--lsp",
     "be a language server (LSP 3.17) on standard input and output, for editors"},
    {"-h", Form::Flag, flag_option, kNoValue, "-h", Usage::Alone, 0, "", ""},
    {"--help", Form::Flag, flag_option, kNoValue, "--help", Usage::Alone, 1, "-h, --help", "print this help and stop"},
    {"--version", Form::Flag, flag_option, kNoValue, "--version", Usage::Alone, 2, "--version",
     "print the version and stop"},
    {"--explain", Form::Value, explain_option, "needs a kind of warning", "--explain NAME", Usage::Alone, 3,
     "--explain NAME", "print what a kind of warning means, an example of it, its fix and how to silence it"},
    {"-W", Form::Prefix, warning_option, kNoValue, "[-W[no-]NAME]...", Usage::Both, 2, "-Wno-NAME, -WNAME",
     "leave out one kind of warning, or take it back in (the last one given wins); the kinds are listed below"},
    {"-W", Form::Prefix, warning_option, kNoValue, "[-W[no-]error[=NAME]]...", Usage::Both, 3, "-Werror, -Werror=NAME",
     "make every warning, or those of one kind, an error (-Wno-error=NAME: not that kind)"},
    {"-W", Form::Prefix, warning_option, kNoValue, "", Usage::None, 0, "-Wall, -Wextra",
     "accepted: every kind is on unless left out"},
    {"--stdin-filename", Form::Value, stdin_name_option, "needs a name", "[--stdin-filename NAME]", Usage::Check, 8,
     "--stdin-filename NAME", "the name standard input (-) has in messages, and beside which its includes are"},
    {"--config", Form::Value, config_option, "needs a file", "[--config FILE | --no-config]", Usage::Both, 4,
     "--config FILE", "take the options of this project file, not of the .morvcfg-check found above each file"},
    {"--no-config", Form::Flag, config_option, kNoValue, "", Usage::None, 0, "--no-config",
     "take no project file's options"},
    {"--show-config", Form::Value, config_option, "needs a file", "[--show-config FILE]", Usage::Check, 9,
     "--show-config FILE", "print which project file applies to FILE and the options in force for it, in order"},
}};

// The row that reads `arg`, whose name is `name` (the part before any '='); null for none.
const Option* option_for(std::string_view arg, std::string_view name, bool equals) {
    const auto* const found = std::find_if(kOptions.begin(), kOptions.end(), [&](const Option& option) {
        switch (option.form) {
            case Form::Flag:
                return arg == option.name;
            case Form::Value:
                return name == option.name;
            case Form::Equals:
                return equals && name == option.name;
            case Form::Prefix:
                return arg.starts_with(option.name) && arg.size() > option.name.size();
        }
        return false;
    });
    return found != kOptions.end() ? found : nullptr;
}

// Options that do not go together; nothing when they all do.
std::optional<std::string> conflict(const CommandLine& command) {
    if (command.guesses && (command.fix_mode == FixMode::Show || command.fix_mode == FixMode::AddIgnore)) {
        return "--unsafe-fixes goes with --fix or --diff";
    }
    if (command.action == CommandLine::Action::LanguageServer &&
        (!command.files.empty() || command.fix_mode != FixMode::Show)) {
        return "--lsp takes no files and no --fix or --diff: the editor sends the documents";
    }
    if (std::count(command.files.begin(), command.files.end(), "-") > 1) {
        return std::string("standard input (-) can be read only once");
    }
    if (command.action == CommandLine::Action::Compare) {
        if (command.files.size() != 2) {
            return std::string("--compare takes two files: OLD and NEW (- for standard input)");
        }
        if (command.format->write_comparison == nullptr || command.fix_mode != FixMode::Show) {
            return std::string("--compare writes the gcc, json or markdown form, and fixes nothing");
        }
    }
    if (command.action == CommandLine::Action::Textconv &&
        (command.files.size() != 1 || command.fix_mode != FixMode::Show)) {
        return std::string("--textconv takes one file (- for standard input), and fixes nothing");
    }
    if (command.no_config && !command.config_file.empty()) {
        return std::string("--config and --no-config do not go together");
    }
    return std::nullopt;
}

// The usage parts of one form, in their order.
std::vector<std::string> usage_parts(std::initializer_list<Usage> forms) {
    std::vector<const Option*> rows;
    for (const Option& option : kOptions) {
        if (!option.usage.empty() && std::find(forms.begin(), forms.end(), option.where) != forms.end()) {
            rows.push_back(&option);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Option* a, const Option* b) { return a->order < b->order; });
    std::vector<std::string> parts;
    std::transform(rows.begin(), rows.end(), std::back_inserter(parts),
                   [](const Option* row) { return with_forms(row->usage, "|", "|"); });
    return parts;
}

// Parts after `lead`, wrapped at kUsageWidth columns under the first.
std::string wrapped(std::string_view lead, const std::vector<std::string>& parts) {
    constexpr std::size_t kUsageWidth = 100;
    std::string text(lead);
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0 && text.size() - line_start + 1 + parts[i].size() > kUsageWidth) {
            line_start = text.size() + 1;
            text.append("\n").append(lead.size(), ' ');
        } else if (i > 0) {
            text += ' ';
        }
        text.append(parts[i]);
    }
    return text + "\n";
}

// Rows of a two-column list, the second column aligned.
std::string columns(std::span<const std::pair<std::string_view, std::string_view>> rows) {
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    std::string text;
    for (const auto& [name, what] : rows) {
        text.append("  ").append(name).append(width + 2 - name.size(), ' ').append(what).append("\n");
    }
    return text;
}

}  // namespace

std::string usage_text() {
    std::vector<std::string> check = usage_parts({Usage::Check, Usage::Both});
    check.emplace_back("FILE... (- for standard input)");
    std::vector<std::string> server = usage_parts({Usage::Server});
    const std::vector<std::string> warnings = usage_parts({Usage::Both});
    server.insert(server.end(), warnings.begin(), warnings.end());
    std::string alone;
    for (const std::string& part : usage_parts({Usage::Alone})) {
        alone.append(alone.empty() ? "" : " | ").append(part);
    }
    return wrapped("usage: morvcfg-check ", check) + wrapped("       morvcfg-check ", server) +
           "       morvcfg-check " + alone + "\n";
}

std::string help_text() {
    std::vector<std::pair<std::string_view, std::string_view>> options;
    for (const Option& option : kOptions) {
        if (!option.listed.empty()) {
            options.emplace_back(option.listed, option.help);
        }
    }
    std::vector<std::pair<std::string_view, std::string_view>> forms;
    std::transform(output_forms().begin(), output_forms().end(), std::back_inserter(forms),
                   [](const OutputForm& form) { return std::pair(form.name, form.help); });
    std::vector<std::pair<std::string_view, std::string_view>> categories;
    std::vector<std::pair<std::string_view, std::string_view>> fixes;
    for (const WarningCategory& category : kWarningCategories) {
        categories.emplace_back(category.name, category.covers);
        if (!category.fix.empty()) {
            fixes.emplace_back(category.name, category.fix);
        }
    }
    return usage_text() +
           "\nExplains what morvcfg will silently do with each description file: warnings in the form\n"
           "FILE:LINE:COLUMN: warning: MESSAGE [-Wname]. Exit status 0 without warnings, 1 with\n"
           "warnings, 2 when a file cannot be read or fixed or the arguments are wrong.\n\n" +
           columns(options) + "\nForms (--format=FORM):\n" + columns(forms) + "\nWarning kinds (-Wno-NAME):\n" +
           columns(categories) + "\nFixes (a guess is applied only with --unsafe-fixes):\n" + columns(fixes);
}

ParsedCommandLine parse_command_line(std::span<const std::string> args) {
    CommandLine command;
    std::optional<std::string> error;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string_view arg(args[i]);
        if (options_done || !arg.starts_with("-") || arg == "-") {
            command.files.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            options_done = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const Option* option = option_for(arg, name, equals != std::string_view::npos);
        if (option == nullptr) {
            error = "unknown option '" + std::string(arg) + "'";
        } else if (option->form != Form::Value || equals != std::string_view::npos) {
            error = option->apply(command, arg, equals == std::string_view::npos ? "" : arg.substr(equals + 1));
        } else if (i + 1 == args.size()) {
            error = std::string(name) + " " + with_forms(option->missing, ", ", " or ");
        } else {
            error = option->apply(command, arg, args[++i]);
        }
        // Help, the version and an explanation end the reading: nothing else is done.
        if (command.action == CommandLine::Action::Help || command.action == CommandLine::Action::Version ||
            command.action == CommandLine::Action::Explain) {
            return {std::move(command), "", false};
        }
    }
    if (!error) {
        error = conflict(command);
    }
    if (error) {
        return {std::nullopt, std::move(*error), true};
    }
    if (command.files.empty() && command.action == CommandLine::Action::Check) {
        return {std::nullopt, "no input files", false};
    }
    return {std::move(command), "", false};
}

}  // namespace morvcfg
