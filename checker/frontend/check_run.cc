#include "checker/frontend/check_run.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/analysis/comparison.h"
#include "checker/analysis/source_display.h"
#include "checker/fixes/diff.h"
#include "checker/fixes/fix.h"
#include "checker/fixes/rewrite.h"
#include "checker/forms/report.h"
#include "checker/frontend/project_file.h"

namespace morvcfg {
namespace {

void print(ByteSink& stream, std::string_view text) {
    (void)stream.write(text);  // nowhere is left to report that the report was lost
}

// A file named on the command line, or standard input (-), as the checker reads it.
struct Input {
    std::string path;  // as named on the command line
    // The name messages give it, and the file its #include lines are beside (none for standard
    // input without --stdin-filename).
    std::string name;
    std::string beside;
    bool standard = false;
};

Input input_of(const std::string& file, const CommandLine& command) {
    if (file != "-") {
        return {file, file, file, false};
    }
    return {file, command.stdin_name, command.stdin_named ? command.stdin_name : "", true};
}

// Reads standard input to its end, which it can be only once; false when it cannot be read.
bool read_all(ByteSource& input, std::string& bytes) {
    char buffer[65536];
    std::ptrdiff_t count = 0;
    while ((count = input.read(buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return count == 0;
}

// Adds to a report what the chosen output shows beside the warnings, read again from `again`.
void add_places(FileReport& report, const OutputForm& form, const ReportOptions& options,
                const std::function<std::unique_ptr<ByteSource>()>& again) {
    if (form.places == OutputForm::Places::CodePointColumns) {
        // SARIF counts columns in characters.
        if (const auto source = again()) {
            report.code_point_columns = code_point_columns(*source, report.result);
        }
    } else if (((form.places == OutputForm::Places::SourceLines && options.show_caret) ||
                form.places == OutputForm::Places::LineTexts) &&
               !report.result.findings.empty()) {
        if (const auto source = again()) {
            report.source_lines = source_lines(*source, report.result);
        }
    }
}

// The project-file search on the host's files.
ProjectFileSearch project_search(const CheckerHost& host) {
    return project_file_search(host.files);
}

// The path the project-file search starts from for an input: standard input without a name is in
// the working folder.
std::string search_start(const Input& input) {
    return input.standard && input.beside.empty() ? std::string("<stdin>") : input.beside;
}

class Run {
public:
    Run(const CommandLine& command, const CheckerHost& host)
        : command_(command), host_(host), search_(project_search(host)) {
        // The files of one folder share its project files: each is read once a run.
        search_.read = [read = std::move(search_.read), this](const std::string& path, std::string& why) {
            auto [found, added] = read_files_.try_emplace(path);
            if (added) {
                found->second.first = read(path, found->second.second);
            }
            why = found->second.second;
            return found->second.first;
        };
    }
    Run(const Run&) = delete;  // its search reads through `this`
    Run& operator=(const Run&) = delete;

    // The options for a file, where a project file gives it options; false (with the error said)
    // when its project file cannot be used.
    bool options_for(const Input& input, FileReport& report) {
        const PathOptions found = options_for_path(
            search_start(input), {command_.options, command_.warning_words, command_.config_file, command_.no_config},
            &search_);
        if (!found.error.empty()) {
            report.error = "its project file cannot be used";
            print(host_.standard_error, found.error + "\n");
            return false;
        }
        if (!found.project_path.empty()) {
            report.options = found.options;
        }
        return true;
    }

    // Checks one file as it streams in; standard input, which can be read only once, is kept.
    FileReport check_file(const Input& input) {
        FileReport report{input.name, {}, {}, {}, {}};
        if (!options_for(input, report)) {
            return report;
        }
        std::string bytes;
        const auto again = [&]() -> std::unique_ptr<ByteSource> {
            return input.standard ? std::make_unique<StringSource>(bytes) : host_.files.open(input.path);
        };
        std::string why;
        std::unique_ptr<ByteSource> source;
        if (input.standard && !read_standard_input(bytes)) {
            report.error = kStandardInputUnread;
        } else if (source = input.standard ? again() : host_.files.open(input.path, why); !source) {
            report.error = "cannot open the file: " + why;
        } else if (report.result = check(*source, includes_beside(&host_.files, input.beside, IncludeNames::Paths));
                   report.result.read_failed) {
            report.error = "cannot read the file";
        }
        if (!report.error.empty()) {
            print(host_.standard_error, report.name + ": error: " + report.error + "\n");
        } else {
            add_places(report, *command_.format, command_.options, again);
        }
        return report;
    }

    // Fixes one file, in place with --fix or as a diff on standard output with --diff, and reports
    // what remains; what the fixes did goes to standard error, so that the report stays what it
    // is. Standard input, fixed, goes to standard output whole. `changed` tells whether fixing
    // changed anything.
    FileReport fix_file(const Input& input, bool& changed) {
        FileReport report{input.name, {}, {}, {}, {}};
        if (!options_for(input, report)) {
            return report;
        }
        std::string original;
        std::string why;
        if (input.standard ? !read_standard_input(original)
                           : !read_whole_file(host_.files, input.path, original, why)) {
            report.error = input.standard ? std::string(kStandardInputUnread) : "cannot open the file: " + why;
            print(host_.standard_error, report.name + ": error: " + report.error + "\n");
            return report;
        }
        const IncludeOpener includes = includes_beside(&host_.files, input.beside, IncludeNames::Paths);
        FixedText fixed =
            command_.fix_mode == FixMode::AddIgnore
                ? add_ignores(original, options_in_force(report, command_.options), includes)
                : fix_text(original, options_in_force(report, command_.options), command_.guesses, includes);
        changed = fixed.bytes != original;
        if (command_.fix_mode == FixMode::Diff) {
            print(host_.standard_output, unified_diff(report.name, original, fixed.bytes));
            return report;
        }
        if (input.standard) {
            print(host_.standard_output, fixed.bytes);
        } else if (changed && !rewrite_in_place(host_.files, input.path, original, fixed.bytes, why)) {
            report.error = "cannot fix the file: " + why;
            print(host_.standard_error, report.name + ": error: " + report.error + "; it is left as it was\n");
            return report;
        }
        if (changed) {
            say_what_changed(report.name, fixed);
        }
        report.result = std::move(fixed.result);
        add_places(report, *command_.format, command_.options,
                   [&] { return std::make_unique<StringSource>(fixed.bytes); });
        return report;
    }

private:
    static constexpr std::string_view kStandardInputUnread = "cannot read standard input";

    bool read_standard_input(std::string& bytes) const { return read_all(host_.standard_input, bytes); }

    // How many fixes went in, and what they change in the configuration morvcfg generates.
    void say_what_changed(const std::string& name, const FixedText& fixed) const {
        std::string said =
            name + (command_.fix_mode == FixMode::AddIgnore ? ": added " : ": applied ") +
            std::to_string(fixed.applied) +
            (command_.fix_mode == FixMode::AddIgnore ? (fixed.applied == 1 ? " ignore comment" : " ignore comments")
                                                     : (fixed.applied == 1 ? " fix" : " fixes")) +
            "\n";
        const std::vector<std::string> changes = configuration_changes(fixed.original, fixed.result);
        said += changes.empty() ? "  the configuration morvcfg generates stays the same\n"
                                : "  the configuration morvcfg generates changes:\n";
        for (const std::string& change : changes) {
            said += "    " + change + "\n";
        }
        print(host_.standard_error, said);
    }

    const CommandLine& command_;
    const CheckerHost& host_;
    ProjectFileSearch search_;
    // What each project file read gave: its bytes, or why not.
    std::map<std::string, std::pair<std::optional<std::string>, std::string>> read_files_;
};

// The file the form's summary of every report is appended to, where it writes one and the
// environment names one; empty otherwise.
std::string summary_file(const CommandLine& command, const CheckerHost& host) {
    const OutputForm& form = *command.format;
    return form.write_summary != nullptr && host.environment_variable && command.fix_mode != FixMode::Diff
               ? host.environment_variable(std::string(form.summary_variable).c_str())
               : std::string();
}

// Appends the form's summary of the reports to `file`; false, with the error said, when it cannot.
bool append_summary(const std::string& file, std::span<const FileReport> reports, const OutputForm& form,
                    const ReportOptions& options, const CheckerHost& host) {
    std::string summary;
    form.write_summary(summary, reports, options);
    const std::unique_ptr<ByteSink> sink = host.files.append(file);
    if (sink && sink->write(summary) && sink->close()) {
        return true;
    }
    print(host.standard_error, "morvcfg-check: error: cannot append the summary to " + file + " (" +
                                   std::string(form.summary_variable) + ")\n");
    return false;
}

}  // namespace

int check_files(const CommandLine& command, const CheckerHost& host) {
    CommandLine run_command = command;
    ReportOptions& options = run_command.options;
    options.colour = command.colour == Colour::Always || (command.colour == Colour::Auto && host.colour_terminal);
    Run run(run_command, host);
    // Standard input fixed goes to standard output, so the report goes to standard error.
    const bool rewrites = command.fix_mode == FixMode::Apply || command.fix_mode == FixMode::AddIgnore;
    ByteSink& report_stream = rewrites && std::count(command.files.begin(), command.files.end(), "-") > 0
                                  ? host.standard_error
                                  : host.standard_output;
    int status = 0;
    std::vector<FileReport> reports;
    const OutputForm& form = *command.format;
    const std::string summary = summary_file(command, host);
    for (const std::string& file : command.files) {
        const Input input = input_of(file, command);
        bool changed = false;
        FileReport report = command.fix_mode == FixMode::Show ? run.check_file(input) : run.fix_file(input, changed);
        if (!report.error.empty()) {
            status = 2;
        } else if (status == 0 &&
                   (command.fix_mode == FixMode::Diff ? changed : reported_warnings(report, options) > 0)) {
            status = 1;
        }
        if (command.fix_mode == FixMode::Diff) {
            continue;
        }
        if (form.per_file && !command.statistics) {
            std::string out;
            form.write(out, {&report, 1}, options);
            print(report_stream, out);
        }
        if (!form.per_file || !summary.empty() || command.statistics) {
            reports.push_back(std::move(report));
        }
    }
    if (command.fix_mode != FixMode::Diff && (command.statistics || !form.per_file)) {
        std::string out;
        (command.statistics ? write_statistics : form.write)(out, reports, options);
        print(report_stream, out);
    }
    if (!summary.empty() && !append_summary(summary, reports, form, options, host)) {
        status = 2;
    }
    return status;
}

namespace {

// Reads a whole input, a file or standard input, into `bytes`; false, with the error said, when it
// cannot be read.
bool read_input(const Input& input, const CheckerHost& host, std::string& bytes) {
    std::string why;
    std::unique_ptr<ByteSource> file;
    if (!input.standard && (file = host.files.open(input.path, why)) == nullptr) {
        print(host.standard_error, input.name + ": error: cannot open the file: " + why + "\n");
        return false;
    }
    if (!read_all(input.standard ? host.standard_input : *file, bytes)) {
        print(host.standard_error,
              input.name + ": error: cannot read " + (input.standard ? "standard input" : "the file") + "\n");
        return false;
    }
    return true;
}

// A line of `bytes` as --textconv names an origin: its text from `at`, quoted, shown as a terminal
// shows it and cut after 72 bytes.
std::string quoted_line(std::string_view bytes, std::uint64_t at) {
    constexpr std::size_t kShown = 72;
    std::string_view line = bytes.substr(std::min<std::size_t>(static_cast<std::size_t>(at), bytes.size()));
    line = line.substr(0, line.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    const bool cut = line.size() > kShown;
    if (cut) {
        std::size_t end = kShown;
        while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0U) == 0x80U) {
            --end;  // not inside a UTF-8 character
        }
        line = line.substr(0, end);
    }
    return "\"" + ShownLine(line).text() + (cut ? "...\"" : "\"");
}

}  // namespace

int compare_files(const CommandLine& command, const CheckerHost& host) {
    std::array<CheckResult, 2> results;
    std::array<std::string, 2> names;
    for (std::size_t i = 0; i < 2; ++i) {
        const Input input = input_of(command.files[i], command);
        names[i] = input.name;
        std::string bytes;
        if (!read_input(input, host, bytes)) {
            return 2;
        }
        StringSource source(bytes);
        results[i] = check(source, includes_beside(&host.files, input.beside, IncludeNames::Paths));
    }
    const Comparison comparison = compare(results[0], results[1], names[0], names[1]);
    std::string out;
    command.format->write_comparison(out, comparison, {names[0], names[1], results.data(), results.data() + 1});
    print(host.standard_output, out);
    return comparison.same() ? 0 : 1;
}

int textconv_file(const CommandLine& command, const CheckerHost& host) {
    const Input input = input_of(command.files.front(), command);
    std::string bytes;
    if (!read_input(input, host, bytes)) {
        return 2;
    }
    StringSource source(bytes);
    const CheckResult result = check(source, includes_beside(&host.files, input.beside, IncludeNames::Paths));
    std::string out = bytes;
    if (!out.empty() && !out.ends_with('\n')) {
        out += '\n';
    }
    out += "==== what the firmware gets (morvcfg-check --textconv) ====\n";
    write_configuration_rows(out, result, "", [&bytes](std::uint64_t at) { return quoted_line(bytes, at); });
    print(host.standard_output, out);
    return 0;
}

int show_config(const CommandLine& command, const CheckerHost& host) {
    const Input input = input_of(command.show_config_file, command);
    std::string said;
    std::vector<ProjectOption> project;
    if (command.no_config) {
        said = "project file: none (--no-config)\n";
    } else {
        const AppliedProjectFile applied =
            project_file_for(search_start(input), command.config_file, project_search(host));
        if (!applied.error.empty()) {
            print(host.standard_error, applied.error + "\n");
            return 2;
        }
        said = applied.path.empty() ? "project file: none, in " + input.name + "'s folder or above it\n"
                                    : "project file: " + applied.path + "\n";
        for (ProjectOption& option : project = applied.options) {
            option.text +=
                "  (" + applied.path + ":" + std::to_string(option.line) + ":" + std::to_string(option.column) + ")";
        }
    }
    said += "options in force for " + input.name + ", in order:\n";
    for (const ProjectOption& option : project) {
        said += "  " + option.text + "\n";
    }
    for (const std::string& word : command.warning_words) {
        said += "  " + word + "  (command line)\n";
    }
    if (project.empty() && command.warning_words.empty()) {
        said += "  (none: every kind of warning, none of them an error)\n";
    }
    print(host.standard_output, said);
    return 0;
}

}  // namespace morvcfg
