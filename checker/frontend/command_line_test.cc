// morvcfg-check's command line, one row a line: what it asks for, or the error it gets.
#include "checker/frontend/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace morvcfg {
namespace {

// What a command line asks for in short ("gcc colour=auto show files=a.cfg"), or its error as
// printed after "morvcfg-check: " ("error: ..."), with "+ usage" when the usage follows.
std::string parsed(const std::string& line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        args.push_back(word == "''" ? "" : word);
    }
    const ParsedCommandLine result = parse_command_line(args);
    if (!result.command) {
        return "error: " + result.error + (result.show_usage ? " + usage" : "");
    }
    const CommandLine& c = *result.command;
    constexpr const char* kActions[] = {"check", "lsp", "help", "version"};
    constexpr const char* kColours[] = {"auto", "always", "never"};
    constexpr const char* kModes[] = {"show", "fix", "diff"};
    std::string out = std::string(kActions[static_cast<int>(c.action)]) + " " + std::string(c.format->name) +
                      " colour=" + kColours[static_cast<int>(c.colour)] + " " + kModes[static_cast<int>(c.fix_mode)];
    out += c.guesses ? " guesses" : "";
    out += c.options.summary ? " summary" : "";
    out += c.options.show_caret ? "" : " no-caret";
    out += c.options.parseable_fixits ? " fixits" : "";
    out += c.options.errors ? " errors" : "";
    for (const Category category : c.options.disabled) {
        out += " -Wno-" + std::string(name_of(category));
    }
    for (const auto& [category, error] : c.options.error_categories) {
        out += (error ? " -Werror=" : " -Wno-error=") + std::string(name_of(category));
    }
    if (c.stdin_named) {
        out += " stdin=" + c.stdin_name;
    }
    for (const std::string& file : c.files) {
        out += " " + file;
    }
    return out;
}

TEST(CommandLineTest, ReadsWhatCompilersAndLintersRead) {
    EXPECT_EQ(parsed("a.cfg"), "check gcc colour=auto show a.cfg");
    EXPECT_EQ(parsed("--format=json a.cfg b.cfg"), "check json colour=auto show a.cfg b.cfg");
    EXPECT_EQ(parsed("--format sarif a.cfg"), "check sarif colour=auto show a.cfg");
    EXPECT_EQ(parsed("--summary -fno-diagnostics-show-caret a.cfg"),
              "check gcc colour=auto show summary no-caret a.cfg");
    EXPECT_EQ(parsed("-fno-diagnostics-show-caret -fdiagnostics-show-caret a.cfg"), "check gcc colour=auto show a.cfg");
    EXPECT_EQ(parsed("-fdiagnostics-parseable-fixits a.cfg"), "check gcc colour=auto show fixits a.cfg");
    EXPECT_EQ(parsed("-fdiagnostics-color=always a.cfg"), "check gcc colour=always show a.cfg");
    EXPECT_EQ(parsed("-fdiagnostics-color a.cfg"), "check gcc colour=always show a.cfg");
    EXPECT_EQ(parsed("-fno-diagnostics-color a.cfg"), "check gcc colour=never show a.cfg");
    EXPECT_EQ(parsed("--fix --unsafe-fixes a.cfg"), "check gcc colour=auto fix guesses a.cfg");
    EXPECT_EQ(parsed("--diff --diff a.cfg"), "check gcc colour=auto diff a.cfg");
    EXPECT_EQ(parsed("--stdin-filename boards/b.cfg -"), "check gcc colour=auto show stdin=boards/b.cfg -");
    EXPECT_EQ(parsed("--stdin-filename=b.cfg -"), "check gcc colour=auto show stdin=b.cfg -");
    EXPECT_EQ(parsed("-- --fix -"), "check gcc colour=auto show --fix -");
    EXPECT_EQ(parsed("--lsp -Wno-override"), "lsp gcc colour=auto show -Wno-override");
    // -W options as GCC reads them, in order: the last word on a kind wins.
    EXPECT_EQ(parsed("-Wno-operand -Woperand -Wall -Wextra a.cfg"), "check gcc colour=auto show a.cfg");
    EXPECT_EQ(parsed("-Woperand -Wno-operand a.cfg"), "check gcc colour=auto show -Wno-operand a.cfg");
    EXPECT_EQ(parsed("-Werror a.cfg"), "check gcc colour=auto show errors a.cfg");
    EXPECT_EQ(parsed("-Werror -Wno-error a.cfg"), "check gcc colour=auto show a.cfg");
    EXPECT_EQ(parsed("-Wno-operand -Werror=operand a.cfg"), "check gcc colour=auto show -Werror=operand a.cfg");
    EXPECT_EQ(parsed("-Werror -Wno-error=range a.cfg"), "check gcc colour=auto show errors -Wno-error=range a.cfg");
    // Help and the version end the reading, whatever follows.
    EXPECT_EQ(parsed("-h --frobnicate"), "help gcc colour=auto show");
    EXPECT_EQ(parsed("a.cfg --help"), "help gcc colour=auto show a.cfg");
    EXPECT_EQ(parsed("--version"), "version gcc colour=auto show");
}

TEST(CommandLineTest, SaysWhatIsWrong) {
    EXPECT_EQ(parsed(""), "error: no input files");
    EXPECT_EQ(parsed("--summary"), "error: no input files");
    EXPECT_EQ(parsed("--frobnicate a.cfg"), "error: unknown option '--frobnicate' + usage");
    EXPECT_EQ(parsed("--summary=yes a.cfg"), "error: unknown option '--summary=yes' + usage");
    EXPECT_EQ(parsed("-W a.cfg"), "error: unknown option '-W' + usage");
    // The forms as their table lists them: gcc, json, sarif and the rest.
    const std::string forms = output_form_names(", ", " and ");
    ASSERT_TRUE(forms.starts_with("gcc, json, sarif, github, ")) << forms;
    EXPECT_EQ(parsed("--format=xml a.cfg"), "error: unknown format 'xml': the formats are " + forms + " + usage");
    EXPECT_EQ(parsed("a.cfg --format"),
              "error: --format needs a value: " + output_form_names(", ", " or ") + " + usage");
    EXPECT_EQ(parsed("--format= a.cfg"), "error: unknown format '': the formats are " + forms + " + usage");
    EXPECT_EQ(parsed("a.cfg --stdin-filename"), "error: --stdin-filename needs a name + usage");
    EXPECT_EQ(parsed("-fdiagnostics-color=sometimes a.cfg"),
              "error: unknown colour choice 'sometimes': the choices are auto, always and never + usage");
    EXPECT_EQ(parsed("--fix --diff a.cfg"), "error: --fix and --diff do not go together + usage");
    EXPECT_EQ(parsed("--add-ignore --fix a.cfg"), "error: --add-ignore and --fix do not go together + usage");
    EXPECT_EQ(parsed("--add-ignore --unsafe-fixes a.cfg"), "error: --unsafe-fixes goes with --fix or --diff + usage");
    EXPECT_EQ(parsed("--unsafe-fixes a.cfg"), "error: --unsafe-fixes goes with --fix or --diff + usage");
    EXPECT_EQ(parsed("--lsp a.cfg"),
              "error: --lsp takes no files and no --fix or --diff: the editor sends the documents + usage");
    EXPECT_EQ(parsed("--lsp --fix"),
              "error: --lsp takes no files and no --fix or --diff: the editor sends the documents + usage");
    EXPECT_EQ(parsed("- -"), "error: standard input (-) can be read only once + usage");
    // A misspelt kind: the one meant, when one is near; otherwise the list, never a far one.
    EXPECT_EQ(parsed("-Wno-overide a.cfg"),
              "error: unknown warning category 'overide' in '-Wno-overide'; did you mean '-Wno-override'? + usage");
    EXPECT_EQ(parsed("-Werror=operands a.cfg"),
              "error: unknown warning category 'operands' in '-Werror=operands'; did you mean '-Werror=operand'? "
              "+ usage");
    EXPECT_EQ(parsed("-Wno-commented-direc a.cfg"),
              "error: unknown warning category 'commented-direc' in '-Wno-commented-direc'; did you mean "
              "'-Wno-commented-directive'? + usage");
    const std::string categories =
        "operand, device-define, define-name, not-directive, commented-directive, conditional-directive, "
        "split-comment, continued-comment, included-directive, keyword-suffix, ignored-text, range, subnet-mask, "
        "subnet-move, "
        "impossible-address, override, pool-size, duplicate-define, encoding, long-line, lone-cr, nul, ctrl-z, "
        "unused-ignore";
    EXPECT_EQ(parsed("-Wno-directive a.cfg"),
              "error: unknown warning category 'directive' in '-Wno-directive'; the "
              "categories are " +
                  categories + " + usage");
    EXPECT_EQ(parsed("-Wno-such-thing a.cfg"),
              "error: unknown warning category 'such-thing' in '-Wno-such-thing'; the categories are " + categories +
                  " + usage");
}

// The usage and --help come from the option table: every option the parser takes is in them.
TEST(CommandLineTest, UsageAndHelpListEveryOption) {
    const std::string usage = usage_text();
    EXPECT_NE(usage.find("[--format=" + output_form_names("|", "|") + "]"), std::string::npos) << usage;
    const std::string help = help_text();
    EXPECT_TRUE(help.starts_with(usage));
    for (const std::string_view option :
         {"--summary", "--fix", "--unsafe-fixes", "--diff", "-fdiagnostics-parseable-fixits",
          "-fno-diagnostics-show-caret", "-fdiagnostics-color=auto|always|never", "--stdin-filename NAME", "--lsp",
          "-h | --help | --version", "[-W[no-]NAME]...", "[-W[no-]error[=NAME]]..."}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 100U) << line;
    }
    for (const WarningCategory& category : kWarningCategories) {
        EXPECT_NE(help.find("\n  " + std::string(category.name) + " "), std::string::npos) << category.name;
    }
}

}  // namespace
}  // namespace morvcfg
