// The explanations of the kinds of warning: each example gives exactly the warning its entry
// shows, --explain knows every kind by name, and the documents made from the entries (the manual
// page's list, the HTML page) are what the entries make now.
#include "checker/forms/explanation_forms.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "checker/analysis/check.h"
#include "checker/analysis/explanations.h"
#include "checker/forms/report.h"
#include "checker/frontend/command_line.h"
#include "translator/memory_environment.h"

namespace morvcfg {
namespace {

TEST(ExplanationTest, EachExampleGivesItsWarning) {
    for (const WarningCategory& row : kWarningCategories) {
        const Explanation& explanation = explanation_of(row.category);
        MemoryEnvironment files;
        files.files[std::string(kExampleName)] = explanation.example;
        if (!explanation.included.empty()) {
            files.files[std::string(kIncludedName)] = explanation.included;
        }
        const std::string example(explanation.example);
        StringSource source(example);
        FileReport report{std::string(kExampleName),
                          {},
                          check(source, includes_beside(&files, std::string(kExampleName), IncludeNames::Paths)),
                          {},
                          {}};
        ReportOptions options;
        options.show_caret = false;
        std::string said;
        write_gcc(said, report, options);
        EXPECT_EQ(said, explanation.warning) << row.name;
        EXPECT_NE(said.find("[-W" + std::string(row.name) + "]\n"), std::string::npos) << row.name;
    }
}

TEST(ExplanationTest, ExplainTakesEveryKindByName) {
    for (const WarningCategory& row : kWarningCategories) {
        for (const std::string& name : {std::string(row.name), "-W" + std::string(row.name)}) {
            const ParsedCommandLine parsed = parse_command_line(std::vector<std::string>{"--explain", name});
            ASSERT_TRUE(parsed.command) << name << ": " << parsed.error;
            EXPECT_EQ(parsed.command->action, CommandLine::Action::Explain) << name;
            EXPECT_EQ(parsed.command->explain, row.category) << name;
        }
        EXPECT_TRUE(explanation_text(row.category).starts_with("-W" + std::string(row.name) + ": ")) << row.name;
    }
    const struct {
        std::string name;
        std::string error;
    } misspelt[] = {
        {"split-coment", "unknown warning kind 'split-coment'; did you mean 'split-comment'?"},
        {"nothing-like-it-at-all", "unknown warning kind 'nothing-like-it-at-all'; the kinds are listed by --help"},
    };
    for (const auto& c : misspelt) {
        const ParsedCommandLine parsed = parse_command_line(std::vector<std::string>{"--explain=" + c.name});
        EXPECT_FALSE(parsed.command) << c.name;
        EXPECT_EQ(parsed.error, c.error);
    }
}

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A document made from the explanations is what they make now; with MORVCFG_UPDATE_GOLDEN=1 it is
// made again. `begin` and `end` mark the part made, where the rest of the file is written by hand.
void expect_made(const std::filesystem::path& path, const std::string& made, std::string_view begin = {},
                 std::string_view end = {}) {
    std::string text = contents(path);
    std::size_t from = 0;
    std::size_t to = text.size();
    if (!begin.empty()) {
        from = text.find(begin);
        to = text.find(end);
        ASSERT_NE(from, std::string::npos) << path;
        ASSERT_NE(to, std::string::npos) << path;
        from += begin.size();
    }
    const char* update = std::getenv("MORVCFG_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        text.replace(from, to - from, made);
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    EXPECT_EQ(text.substr(from, to - from), made) << path << " is not what the explanations make: run the tests "
                                                  << "with MORVCFG_UPDATE_GOLDEN=1";
}

TEST(ExplanationTest, DocumentsAreMadeFromTheEntries) {
    const std::filesystem::path docs = MORVCFG_DOCS_DIR;
    expect_made(docs / "morvcfg-check.1.in", explanations_man(), ".\\\" BEGIN WARNING CATEGORIES\n",
                ".\\\" END WARNING CATEGORIES\n");
    expect_made(docs / kExplanationPage, explanations_html());
}

}  // namespace
}  // namespace morvcfg
