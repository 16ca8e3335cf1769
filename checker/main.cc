#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/check.h"
#include "checker/fix.h"
#include "checker/messages.h"
#include "checker/report.h"
#include "translator/system_environment.h"

#ifdef MORVCFG_LSP
#include "lsp/serve.h"
#endif

namespace {

constexpr std::string_view kUsage =
    "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-W[no-]NAME]... [-W[no-]error[=NAME]]...\n"
    "                     [--fix [--unsafe-fixes] | --diff] [-fdiagnostics-parseable-fixits]\n"
    "                     [-fno-diagnostics-show-caret] [-fdiagnostics-color=auto|always|never]\n"
    "                     [--stdin-filename NAME] FILE... (- for standard input)\n"
    "       morvcfg-check --lsp [-W[no-]NAME]... [-W[no-]error[=NAME]]...\n"
    "       morvcfg-check -h | --help | --version\n";

enum class Format { Gcc, Json, Sarif };
enum class Colour { Auto, Always, Never };
// What is done with the fixes: only shown, applied in place, or shown as a diff.
enum class FixMode { Show, Apply, Diff };

void print(FILE* stream, std::string_view text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

// Rows of a two-column list, the second column aligned.
std::string columns(std::span<const std::pair<std::string_view, std::string_view>> rows, std::string_view indent) {
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    std::string text;
    for (const auto& [name, what] : rows) {
        text.append(indent).append(name).append(width + 2 - name.size(), ' ').append(what).append("\n");
    }
    return text;
}

std::string help() {
    constexpr std::pair<std::string_view, std::string_view> options[] = {
        {"--format=gcc", "warnings as compilers write them, with the source line and a caret (the default)"},
        {"--format=json", "one JSON document: each file's warnings, fixes and configuration"},
        {"--format=sarif", "one SARIF 2.1.0 log, for code-scanning services"},
        {"--summary", "with the gcc form, also print the configuration morvcfg would generate"},
        {"--fix",
         "apply the certain fixes to each file in place, then report what remains (with -, write the fixed "
         "text to standard output and the report to standard error)"},
        {"--unsafe-fixes", "with --fix or --diff, apply the guesses too"},
        {"--diff", "print what --fix would change as a unified diff (patch -p0), and change nothing"},
        {"-fdiagnostics-parseable-fixits", "with the gcc form, print each fix as GCC's fix-it lines"},
        {"-fno-diagnostics-show-caret", "with the gcc form, leave out the source lines and carets"},
        {"-fdiagnostics-color=WHEN", "colour the gcc form: auto (on a terminal, without NO_COLOR), always, never"},
        {"--lsp", "be a language server (LSP 3.17) on standard input and output, for editors"},
        {"-h, --help", "print this help and stop"},
        {"--version", "print the version and stop"},
        {"-Wno-NAME, -WNAME",
         "leave out one kind of warning, or take it back in (the last one given wins); "
         "the kinds are listed below"},
        {"-Werror, -Werror=NAME",
         "make every warning, or those of one kind, an error (-Wno-error=NAME: not that kind)"},
        {"-Wall, -Wextra", "accepted: every kind is on unless left out"},
        {"--stdin-filename NAME", "the name standard input (-) has in messages, and beside which its includes are"},
    };
    std::vector<std::pair<std::string_view, std::string_view>> categories;
    std::vector<std::pair<std::string_view, std::string_view>> fixes;
    categories.reserve(morvcfg::kWarningCategories.size());
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        categories.emplace_back(category.name, category.covers);
        if (!category.fix.empty()) {
            fixes.emplace_back(category.name, category.fix);
        }
    }
    return std::string(kUsage) +
           "\nExplains what morvcfg will silently do with each description file: warnings in the form\n"
           "FILE:LINE:COLUMN: warning: MESSAGE [-Wname]. Exit status 0 without warnings, 1 with\n"
           "warnings, 2 when a file cannot be read or fixed or the arguments are wrong.\n\n" +
           columns(options, "  ") + "\nWarning kinds (-Wno-NAME):\n" + columns(categories, "  ") +
           "\nFixes (a guess is applied only with --unsafe-fixes):\n" + columns(fixes, "  ");
}

std::string category_list() {
    std::string names;
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        names.append(names.empty() ? "" : ", ").append(category.name);
    }
    return names;
}

// What the command line asks for; `status` is set when the run ends here.
struct Arguments {
    Format format = Format::Gcc;
    Colour colour = Colour::Auto;
    FixMode fix_mode = FixMode::Show;
    bool guesses = false;
    bool language_server = false;
    morvcfg::ReportOptions options;
    std::vector<std::string> files;
    // The name standard input goes by, and whether one was given.
    std::string stdin_name = "<stdin>";
    bool stdin_named = false;
    std::optional<int> status;
};

// The category `name` names, or an error that says which categories there are, or which one was
// perhaps meant; `option` is how the command line wrote it, `prefix` what goes before the name.
std::optional<std::string> unknown_category(std::string_view name, std::string_view option, std::string_view prefix) {
    if (std::any_of(morvcfg::kWarningCategories.begin(), morvcfg::kWarningCategories.end(),
                    [name](const morvcfg::WarningCategory& category) { return category.name == name; })) {
        return std::nullopt;
    }
    const morvcfg::WarningCategory* nearest = nullptr;
    std::size_t best = 0;
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        const std::size_t distance = morvcfg::edit_distance(name, category.name);
        if (nearest == nullptr || distance < best) {
            nearest = &category;
            best = distance;
        }
    }
    std::string error = "unknown warning category '" + std::string(name) + "' in '" + std::string(option) + "'";
    if (best <= std::max<std::size_t>(2, name.size() / 3)) {
        return error + "; did you mean '" + std::string(prefix) + std::string(nearest->name) + "'?";
    }
    return error + "; the categories are " + category_list();
}

// Takes one -W option; an error, or nothing. As GCC reads them, in order: -Wno-NAME leaves a kind
// out and -WNAME takes it back, -Werror=NAME makes a kind an error (and takes it in), -Werror all.
std::optional<std::string> warning_option(std::string_view arg, Arguments& parsed) {
    morvcfg::ReportOptions& options = parsed.options;
    const std::string_view rest = arg.substr(2);
    if (rest == "all" || rest == "extra") {
        return std::nullopt;  // every kind is on unless left out
    }
    if (rest == "error" || rest == "no-error") {
        options.errors = rest == "error";
        return std::nullopt;
    }
    for (const std::string_view prefix : {"error=", "no-error="}) {
        if (rest.starts_with(prefix)) {
            const std::string_view name = rest.substr(prefix.size());
            if (auto error = unknown_category(name, arg, "-W" + std::string(prefix))) {
                return error;
            }
            const bool error = prefix == "error=";
            options.error_categories[std::string(name)] = error;
            if (error) {
                options.disabled.erase(std::string(name));
            }
            return std::nullopt;
        }
    }
    const bool off = rest.starts_with("no-");
    const std::string_view name = off ? rest.substr(3) : rest;
    if (auto error = unknown_category(name, arg, off ? "-Wno-" : "-W")) {
        return error;
    }
    if (off) {
        options.disabled.emplace(name);
    } else {
        options.disabled.erase(std::string(name));
    }
    return std::nullopt;
}

// Takes one option that has a value (given as "--name=value" or as "--name value"); an error, or
// nothing.
std::optional<std::string> value_option(std::string_view name, std::string_view value, Arguments& parsed) {
    const auto choose = [&value](std::initializer_list<std::string_view> choices) {
        return static_cast<std::size_t>(std::find(choices.begin(), choices.end(), value) - choices.begin());
    };
    if (name == "--stdin-filename") {
        parsed.stdin_name = value;
        parsed.stdin_named = true;
    } else if (name == "--format") {
        const std::size_t chosen = choose({"gcc", "json", "sarif"});
        if (chosen == 3) {
            return "unknown format '" + std::string(value) + "': the formats are gcc, json and sarif";
        }
        parsed.format = static_cast<Format>(chosen);
    } else {
        const std::size_t chosen = choose({"auto", "always", "never"});
        if (chosen == 3) {
            return "unknown colour choice '" + std::string(value) + "': the choices are auto, always and never";
        }
        parsed.colour = static_cast<Colour>(chosen);
    }
    return std::nullopt;
}

// Takes one option without a value; an error, or nothing.
std::optional<std::string> flag_option(std::string_view arg, Arguments& parsed) {
    if (arg == "--summary") {
        parsed.options.summary = true;
    } else if (arg == "--lsp") {
        parsed.language_server = true;
    } else if (arg == "--fix" || arg == "--diff") {
        const FixMode mode = arg == "--fix" ? FixMode::Apply : FixMode::Diff;
        if (parsed.fix_mode != FixMode::Show && parsed.fix_mode != mode) {
            return std::string("--fix and --diff do not go together");
        }
        parsed.fix_mode = mode;
    } else if (arg == "--unsafe-fixes") {
        parsed.guesses = true;
    } else if (arg == "-fdiagnostics-parseable-fixits") {
        parsed.options.parseable_fixits = true;
    } else if (arg == "-fno-diagnostics-show-caret" || arg == "-fdiagnostics-show-caret") {
        parsed.options.show_caret = arg == "-fdiagnostics-show-caret";
    } else if (arg == "-fdiagnostics-color" || arg == "-fno-diagnostics-color") {
        parsed.colour = arg == "-fdiagnostics-color" ? Colour::Always : Colour::Never;
    } else if (arg.starts_with("-W") && arg.size() > 2) {
        return warning_option(arg, parsed);
    } else {
        return "unknown option '" + std::string(arg) + "'";
    }
    return std::nullopt;
}

// Options that do not go together; nothing when they all do.
std::optional<std::string> conflict(const Arguments& parsed) {
    if (parsed.guesses && parsed.fix_mode == FixMode::Show) {
        return "--unsafe-fixes goes with --fix or --diff";
    }
    if (parsed.language_server && (!parsed.files.empty() || parsed.fix_mode != FixMode::Show)) {
        return "--lsp takes no files and no --fix or --diff: the editor sends the documents";
    }
    if (std::count(parsed.files.begin(), parsed.files.end(), "-") > 1) {
        return std::string("standard input (-) can be read only once");
    }
    return std::nullopt;
}

// The arguments once all are read: what does not go together, or is missing, ends the run.
Arguments finish_arguments(Arguments parsed, std::optional<std::string> error) {
    if (!error) {
        error = conflict(parsed);
    }
    if (error) {
        print(stderr, "morvcfg-check: " + *error + "\n" + std::string(kUsage));
        parsed.status = 2;
    } else if (parsed.files.empty() && !parsed.language_server) {
        print(stderr, "morvcfg-check: no input files\n");
        parsed.status = 2;
    }
    return parsed;
}

Arguments parse_arguments(std::span<const std::string> args) {
    Arguments parsed;
    std::optional<std::string> error;
    bool options_done = false;
    for (std::size_t i = 0; i < args.size() && !error; ++i) {
        const std::string_view arg(args[i]);
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        if (options_done || !arg.starts_with("-") || arg == "-") {
            parsed.files.emplace_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "-h" || arg == "--version") {
            print(stdout,
                  arg == "--version" ? "morvcfg-check " + std::string(morvcfg::checker_version()) + "\n" : help());
            parsed.status = 0;
            return parsed;
        } else if (name == "--format" || name == "--stdin-filename" ||
                   (name == "-fdiagnostics-color" && equals != std::string_view::npos)) {
            if (equals == std::string_view::npos && i + 1 == args.size()) {
                error =
                    std::string(name) + (name == "--format" ? " needs a value: gcc, json or sarif" : " needs a name");
            } else {
                error =
                    value_option(name, equals == std::string_view::npos ? args[++i] : arg.substr(equals + 1), parsed);
            }
        } else {
            error = flag_option(arg, parsed);
        }
    }
    return finish_arguments(std::move(parsed), error);
}

// Reads again, from `again`, what the chosen output shows beside the warnings.
void add_places(morvcfg::FileReport& report, Format format, const morvcfg::ReportOptions& options,
                const std::function<std::unique_ptr<morvcfg::ByteSource>()>& again) {
    if (format == Format::Sarif) {
        // SARIF counts columns in characters.
        if (const auto source = again()) {
            report.code_point_columns = morvcfg::code_point_columns(*source, report.result);
        }
    } else if (format == Format::Gcc && options.show_caret && !report.result.findings.empty()) {
        if (const auto source = again()) {
            report.source_lines = morvcfg::source_lines(*source, report.result);
        }
    }
}

// Opens the files that the #include lines of the description file `file` name, beside it.
morvcfg::IncludeOpener include_opener(const std::string& file, morvcfg::Environment& environment) {
    return [&file, &environment](std::string_view name) -> std::optional<morvcfg::IncludedFile> {
        std::string path = morvcfg::path_beside(file, name);
        std::unique_ptr<morvcfg::ByteSource> source = environment.open(path);
        if (!source) {
            return std::nullopt;
        }
        return morvcfg::IncludedFile{std::move(source), std::move(path)};
    };
}

// The bytes of standard input, read to its end; false when it cannot be read.
bool read_standard_input(std::string& bytes) {
    const std::unique_ptr<morvcfg::ByteSource> input = morvcfg::standard_input();
    char buffer[65536];
    std::ptrdiff_t count = 0;
    while ((count = input->read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return count == 0;
}

// A file named on the command line, or standard input (-), as the checker reads it.
struct Input {
    // The name messages give it, and the file its #include lines are beside.
    std::string name;
    std::string beside;
    bool standard = false;
    std::string bytes;  // standard input's, read once
};

Input input_of(const std::string& file, const Arguments& arguments) {
    if (file != "-") {
        return {file, file, false, {}};
    }
    return {arguments.stdin_name, arguments.stdin_named ? arguments.stdin_name : "", true, {}};
}

// Reads the whole input; false with the reason.
bool read_input(const Input& input, const std::string& file, morvcfg::Environment& environment, std::string& bytes,
                std::string& why) {
    if (!input.standard) {
        return morvcfg::read_whole_file(environment, file, bytes, why);
    }
    if (!read_standard_input(bytes)) {
        why = "standard input could not be read";
        return false;
    }
    return true;
}

// Checks one file; an error is reported on standard error as well.
morvcfg::FileReport check_file(const std::string& file, const Arguments& arguments, morvcfg::Environment& environment) {
    Input input = input_of(file, arguments);
    morvcfg::FileReport report{input.name, {}, {}, {}, {}};
    // A file is read as it streams in, and read again for what the report shows beside the
    // warnings; standard input, which can be read only once, is kept.
    const auto again = [&]() -> std::unique_ptr<morvcfg::ByteSource> {
        return input.standard ? std::make_unique<morvcfg::StringSource>(input.bytes) : environment.open(file);
    };
    std::string why;
    std::unique_ptr<morvcfg::ByteSource> source;
    if (input.standard && !read_standard_input(input.bytes)) {
        report.error = "cannot read standard input";
    } else if (source = input.standard ? again() : environment.open(file, why); !source) {
        report.error = "cannot open the file: " + why;
    } else if (report.result = morvcfg::check(*source, include_opener(input.beside, environment));
               report.result.read_failed) {
        report.error = "cannot read the file";
    }
    if (!report.error.empty()) {
        print(stderr, report.name + ": error: " + report.error + "\n");
    } else {
        add_places(report, arguments.format, arguments.options, again);
    }
    return report;
}

// Fixes one file, in place with --fix or as a diff on standard output with --diff, and reports
// what remains; what the fixes did goes to standard error, so that the report stays what it is.
// Standard input, fixed, goes to standard output whole.
morvcfg::FileReport fix_file(const std::string& file, const Arguments& arguments, morvcfg::Environment& environment,
                             bool& changed) {
    Input input = input_of(file, arguments);
    morvcfg::FileReport report{input.name, {}, {}, {}, {}};
    std::string original;
    std::string why;
    if (!read_input(input, file, environment, original, why)) {
        report.error = "cannot open the file: " + why;
        print(stderr, report.name + ": error: " + report.error + "\n");
        return report;
    }
    morvcfg::FixedText fixed =
        morvcfg::fix_text(original, arguments.options, arguments.guesses, include_opener(input.beside, environment));
    changed = fixed.bytes != original;
    if (arguments.fix_mode == FixMode::Diff) {
        print(stdout, morvcfg::unified_diff(report.name, original, fixed.bytes));
        return report;
    }
    if (input.standard) {
        print(stdout, fixed.bytes);
    } else if (changed && !morvcfg::rewrite_in_place(environment, file, original, fixed.bytes, why)) {
        report.error = "cannot fix the file: " + why;
        print(stderr, report.name + ": error: " + report.error + "; it is left as it was\n");
        return report;
    }
    if (changed) {
        std::string said = report.name + ": applied " + std::to_string(fixed.applied) +
                           (fixed.applied == 1 ? " fix" : " fixes") + "\n";
        const std::vector<std::string> changes = morvcfg::configuration_changes(fixed.original, fixed.result);
        said += changes.empty() ? "  the configuration morvcfg generates stays the same\n"
                                : "  the configuration morvcfg generates changes:\n";
        for (const std::string& change : changes) {
            said += "    " + change + "\n";
        }
        print(stderr, said);
    }
    report.result = std::move(fixed.result);
    add_places(report, arguments.format, arguments.options,
               [&] { return std::make_unique<morvcfg::StringSource>(fixed.bytes); });
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words = morvcfg::start_process(argc, argv);
    Arguments arguments = parse_arguments(std::span<const std::string>(words).subspan(words.empty() ? 0 : 1));
    if (arguments.status) {
        return *arguments.status;
    }
    if (arguments.language_server) {
#ifdef MORVCFG_LSP
        const auto input = morvcfg::standard_input();
        const auto output = morvcfg::standard_output();
        morvcfg::SystemEnvironment environment;
        return morvcfg::lsp::serve(
            *input, *output, arguments.options, [](const std::string& line) { print(stderr, line + "\n"); },
            [&environment](const std::string& path) { return environment.open(path); });
#else
        print(stderr, "morvcfg-check: this build has no language server (it was built without nlohmann-json)\n");
        return 2;
#endif
    }
    arguments.options.colour = arguments.colour == Colour::Always ||
                               (arguments.colour == Colour::Auto && morvcfg::standard_output_shows_colour());
    morvcfg::SystemEnvironment environment;
    int status = 0;
    std::vector<morvcfg::FileReport> reports;
    // Standard input fixed goes to standard output, so the report goes to standard error.
    FILE* const report_stream =
        arguments.fix_mode == FixMode::Apply && std::count(arguments.files.begin(), arguments.files.end(), "-") > 0
            ? stderr
            : stdout;
    for (const std::string& file : arguments.files) {
        bool changed = false;
        morvcfg::FileReport report = arguments.fix_mode == FixMode::Show
                                         ? check_file(file, arguments, environment)
                                         : fix_file(file, arguments, environment, changed);
        if (!report.error.empty()) {
            status = 2;
        } else if (status == 0 &&
                   (arguments.fix_mode == FixMode::Diff ? changed
                                                        : morvcfg::reported_warnings(report, arguments.options) > 0)) {
            status = 1;
        }
        if (arguments.fix_mode == FixMode::Diff) {
            continue;
        }
        if (arguments.format == Format::Gcc) {
            std::string out;
            morvcfg::write_gcc(out, report, arguments.options);
            print(report_stream, out);
        } else {
            reports.push_back(std::move(report));
        }
    }
    std::string out;
    if (arguments.format == Format::Json && arguments.fix_mode != FixMode::Diff) {
        morvcfg::write_json(out, reports, arguments.options);
    } else if (arguments.format == Format::Sarif && arguments.fix_mode != FixMode::Diff) {
        morvcfg::write_sarif(out, reports, arguments.options);
    }
    print(report_stream, out);
    return status;
}
