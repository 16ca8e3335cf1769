// The tools for a web page: the translator on a description file's bytes, and the language server
// on messages, called from JavaScript (the playground's Web Worker) through C functions. The page
// hands over bytes and takes bytes back, so that what it offers is what morvcfg writes.
//
// JavaScript writes its input into the buffer morvcfg_input() gives, calls one function, and reads
// the outputs with morvcfg_output() and morvcfg_output_size(). The outputs are named here only:
// morvcfg_output_name() gives each slot's name, and JavaScript finds them by it.
#include "programs/web/exports.h"

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "checker/analysis/check.h"
#include "checker/analysis/comparison.h"
#include "checker/forms/report.h"
#include "checker/frontend/project_file.h"
#include "lsp/serve.h"
#include "lsp/server.h"
#include "translator/memory_environment.h"
#include "translator/run.h"

namespace {

// What the last call left for JavaScript to read, and the names JavaScript knows them by (those of
// the files morvcfg writes, for its outputs).
enum Output { kPassThrough, kSource, kHeader, kReport, kReplies, kOutputs };
constexpr std::array<const char*, kOutputs> kOutputNames{"pass-through", "morv_cfg.c", "morv_cfg.h", "report",
                                                         "replies"};

struct Page {
    std::string input;
    // The name the page shows for the description, which a check of bytes takes it under.
    std::string name = "board.cfg";
    // The text the description is compared with (--compare's OLD), and the name it has there.
    std::string base;
    std::string base_name = "old.cfg";
    // The page's files: the project file its box holds, beside the description (none when empty).
    morvcfg::MemoryEnvironment files;
    std::array<std::string, kOutputs> outputs;
    std::unique_ptr<morvcfg::lsp::Server> server;
};

Page& page() {
    static Page instance;
    return instance;
}

// The folder the page's description stands in, for the language server (its document's URI names
// the file in it) and the project-file search alike; the box's text is the project file there.
constexpr const char* kFolder = "/playground/";
constexpr const char* kProjectPath = "/playground/.morvcfg-check";

}  // namespace

extern "C" {

// A buffer of `size` bytes for the next call's input.
char* morvcfg_input(std::size_t size) {
    page().input.assign(size, '\0');
    return page().input.data();
}

const char* morvcfg_output(int which) {
    return which >= 0 && which < kOutputs ? page().outputs[static_cast<std::size_t>(which)].data() : nullptr;
}

const char* morvcfg_output_name(int which) {
    return which >= 0 && which < kOutputs ? kOutputNames[static_cast<std::size_t>(which)] : nullptr;
}

std::size_t morvcfg_output_size(int which) {
    return which >= 0 && which < kOutputs ? page().outputs[static_cast<std::size_t>(which)].size() : 0;
}

// Runs morvcfg on the input as the description file, at this local time (the page's clock), and
// leaves the pass-through output, morv_cfg.c and morv_cfg.h; returns the run's status (0, or -1).
int morvcfg_translate(int year, int month, int day, int hour, int minute, int second) {
    Page& state = page();
    morvcfg::MemoryEnvironment environment;
    environment.clock = {year, month, day, hour, minute, second};
    environment.files["description"] = state.input;
    const char* args[] = {"morvcfg", "description", "pass-through"};
    const int status = morvcfg::run(args, environment);
    state.outputs[kPassThrough] = environment.files["pass-through"];
    state.outputs[kSource] = environment.files[std::string(morvcfg::kSourceFile)];
    state.outputs[kHeader] = environment.files[std::string(morvcfg::kHeaderFile)];
    return status;
}

// Checks the input's bytes as morvcfg-check does a file, and leaves its JSON report (the warnings
// and the configuration) as the report output; returns the number of warnings. The page uses it
// for a file the language server cannot be given as text (one that is not UTF-8).
int morvcfg_check() {
    Page& state = page();
    morvcfg::StringSource source(state.input);
    morvcfg::FileReport report{state.name, {}, morvcfg::check(source), {}, {}};
    const morvcfg::ReportOptions options;
    const morvcfg::ProjectFileSearch search = morvcfg::project_file_search(state.files);
    const morvcfg::PathOptions found = morvcfg::options_for_path(kFolder + state.name, {}, &search);
    if (found.error.empty() && !found.project_path.empty()) {
        report.options = found.options;
    }
    state.outputs[kReport].clear();
    morvcfg::write_json(state.outputs[kReport], {&report, 1}, options);
    return static_cast<int>(morvcfg::reported_warnings(report, options));
}

// Takes the input as the text of the project file beside the description (empty: none). The
// language server reads it when it next checks, and a check of bytes at once.
void morvcfg_set_project_file() {
    Page& state = page();
    if (state.input.empty()) {
        state.files.files.erase(kProjectPath);
    } else {
        state.files.files[kProjectPath] = state.input;
    }
}

// Takes the input as the name of the description, which the next check of bytes takes it under:
// a project file's [PATTERN] sections match it as they match a file's name on the command line.
void morvcfg_set_name() {
    page().name = page().input.empty() ? "board.cfg" : page().input;
}

// Takes the input as the text the description is compared with, and, from the call before, its
// name: the page calls this twice, the name first (morvcfg_set_base(1)) and then the text (0).
void morvcfg_set_base(int name) {
    (name != 0 ? page().base_name : page().base) = page().input;
}

// Compares the input, as the description under the name set last, with the base text, as
// morvcfg-check --compare --format=json does two files, and leaves the JSON as the report output;
// returns 0 when the firmware gets the same from both, 1 when it does not.
int morvcfg_compare() {
    Page& state = page();
    morvcfg::StringSource old_source(state.base);
    morvcfg::StringSource new_source(state.input);
    const morvcfg::CheckResult before = morvcfg::check(old_source);
    const morvcfg::CheckResult after = morvcfg::check(new_source);
    const morvcfg::Comparison comparison = morvcfg::compare(before, after, state.base_name, state.name);
    state.outputs[kReport].clear();
    morvcfg::write_comparison_json(state.outputs[kReport], comparison, {state.base_name, state.name, &before, &after});
    return comparison.same() ? 0 : 1;
}

// Hands the input, one message's body, to the language server (started by the first message);
// its answers, one JSON message a line, are the replies output.
void morvcfg_lsp_receive() {
    Page& state = page();
    std::string& replies = state.outputs[kReplies];
    replies.clear();
    const auto send = [&replies](const morvcfg::lsp::Json& message) {
        replies += morvcfg::lsp::message_text(message);
        replies += '\n';
    };
    if (!state.server) {
        state.server = std::make_unique<morvcfg::lsp::Server>(
            morvcfg::ReportOptions{}, send, [](const std::string&) {}, nullptr,
            morvcfg::lsp::ProjectFiles{morvcfg::project_file_search(page().files), {}, ""});
    }
    morvcfg::lsp::receive(*state.server, state.input, send);
}

}  // extern "C"
