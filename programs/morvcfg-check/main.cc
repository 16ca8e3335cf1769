// morvcfg-check: the command line read, then the checks run on the system's files, or the language
// server on standard input and output.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "checker/analysis/explanations.h"
#include "checker/analysis/uri.h"
#include "checker/forms/explanation_forms.h"
#include "checker/forms/report.h"
#include "checker/frontend/check_run.h"
#include "checker/frontend/command_line.h"
#include "system/system_environment.h"

#ifdef MORVCFG_LSP
#include "lsp/serve.h"
#endif

namespace {

// The file URI of the installed page that explains each kind of warning; empty when it is not
// there (a program run from its build folder).
std::string explanation_page(morvcfg::Environment& files) {
    // The program is in bin/ below the prefix, the documentation in MORVCFG_DOC_DIR below it.
    const std::string folder = morvcfg::program_folder();
    const std::size_t bin = folder.find_last_of(files.windows_paths() ? "/\\" : "/");
    if (bin == std::string::npos) {
        return {};
    }
    const std::string page =
        folder.substr(0, bin) + "/" + MORVCFG_DOC_DIR + "/" + std::string(morvcfg::kExplanationPage);
    return files.exists(page) ? morvcfg::uri_of(page) : std::string();
}

int serve_editor(const morvcfg::CommandLine& command, morvcfg::Environment& files, morvcfg::ByteSink& errors) {
#ifdef MORVCFG_LSP
    const auto input = morvcfg::standard_input();
    const auto output = morvcfg::standard_output();
    // Each document's project file, found as the command line finds a file's.
    morvcfg::lsp::ProjectFiles project{std::nullopt, command.warning_words, command.config_file};
    if (!command.no_config) {
        project.search = morvcfg::project_file_search(files);
    }
    return morvcfg::lsp::serve(
        *input, *output, command.options, [&errors](const std::string& line) { (void)errors.write(line + "\n"); },
        &files, project, explanation_page(files));
#else
    (void)command;
    (void)files;
    (void)errors.write("morvcfg-check: this build has no language server (it was built without nlohmann-json)\n");
    return 2;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words = morvcfg::start_process(argc, argv);
    const morvcfg::ParsedCommandLine parsed =
        morvcfg::parse_command_line(std::span<const std::string>(words).subspan(words.empty() ? 0 : 1));
    const auto output = morvcfg::standard_output();
    const auto errors = morvcfg::standard_error();
    if (!parsed.command) {
        (void)errors->write("morvcfg-check: " + parsed.error + "\n" +
                            (parsed.show_usage ? morvcfg::usage_text() : std::string()));
        return 2;
    }
    const morvcfg::CommandLine& command = *parsed.command;
    morvcfg::SystemEnvironment files;
    switch (command.action) {
        case morvcfg::CommandLine::Action::Help:
            (void)output->write(morvcfg::help_text());
            return 0;
        case morvcfg::CommandLine::Action::Explain:
            (void)output->write(morvcfg::explanation_text(command.explain));
            return 0;
        case morvcfg::CommandLine::Action::Version:
            (void)output->write("morvcfg-check " + std::string(morvcfg::checker_version()) + "\n");
            return 0;
        case morvcfg::CommandLine::Action::LanguageServer:
            return serve_editor(command, files, *errors);
        case morvcfg::CommandLine::Action::Check:
        case morvcfg::CommandLine::Action::ShowConfig:
        case morvcfg::CommandLine::Action::Compare:
        case morvcfg::CommandLine::Action::Textconv:
            break;
    }
    const auto input = morvcfg::standard_input();
    const morvcfg::CheckerHost host{
        files, *input, *output, *errors, morvcfg::standard_output_shows_colour(), morvcfg::environment_variable};
    switch (command.action) {
        case morvcfg::CommandLine::Action::ShowConfig:
            return morvcfg::show_config(command, host);
        case morvcfg::CommandLine::Action::Compare:
            return morvcfg::compare_files(command, host);
        case morvcfg::CommandLine::Action::Textconv:
            return morvcfg::textconv_file(command, host);
        default:
            return morvcfg::check_files(command, host);
    }
}
