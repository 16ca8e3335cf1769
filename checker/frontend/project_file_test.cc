// The project file, one row a case: what it holds, or where and why it cannot be used; which
// paths its sections' patterns match; and which options a file gets, in order.
#include "checker/frontend/project_file.h"

#include <gtest/gtest.h>

#include <string>

namespace morvcfg {
namespace {

// A project file as read, in short: "[] -Werror@2:1 [boards/*.cfg] -Wno-x@4:1", or "error 1:5: ...".
std::string parsed(std::string_view text) {
    const ParsedProjectFile result = parse_project_file(text, ".morvcfg-check");
    if (result.error) {
        return "error " + std::to_string(result.error->line) + ":" + std::to_string(result.error->column) + ": " +
               result.error->text;
    }
    std::string out;
    for (const ProjectSection& section : result.file.sections) {
        out += (out.empty() ? "[" : " [") + section.pattern + "]";
        for (const ProjectOption& option : section.options) {
            out += " " + option.text + "@" + std::to_string(option.line) + ":" + std::to_string(option.column);
        }
    }
    return out;
}

TEST(ProjectFileTest, ReadsTheCommandLinesWordsWithCommentsAndSections) {
    const struct {
        std::string_view text;
        std::string_view expected;
    } kRows[] = {
        {"", "[]"},
        {"-Wno-conditional-directive\n", "[] -Wno-conditional-directive@1:1"},
        {"# the team's choices\r\n  -Werror\t-Wno-error=subnet-move  # not that one\r\n",
         "[] -Werror@2:3 -Wno-error=subnet-move@2:11"},
        {"-Wno-encoding\n[boards/**/*.cfg]\n-Wno-not-directive -Werror=subnet-move\n[old.cfg]  # kept as it was\n",
         "[] -Wno-encoding@1:1 [boards/**/*.cfg] -Wno-not-directive@3:1 -Werror=subnet-move@3:20 [old.cfg]"},
        {"-Wall -Wextra -Wsubnet-move", "[] -Wall@1:1 -Wextra@1:7 -Wsubnet-move@1:15"},
        {"\xEF\xBB\xBF-Wno-encoding\r\n", "[] -Wno-encoding@1:1"},  // Notepad's UTF-8
        // What cannot be used says where, and what was perhaps meant.
        {"-Werror\n  -Wno-conditonal-directive\n",
         "error 2:3: unknown warning category 'conditonal-directive' in '-Wno-conditonal-directive'; did you mean "
         "'-Wno-conditional-directive'?"},
        {"--fix\n", "error 1:1: unknown option '--fix'"},
        {"-Wno-error=nothing-like-it",
         "error 1:1: unknown warning category 'nothing-like-it' in '-Wno-error=nothing-like-it'; the categories are "},
        {"[]\n", "error 1:1: a section is written [PATTERN], alone on its line"},
        {"  [a.cfg] -Werror\n", "error 1:3: a section is written [PATTERN], alone on its line"},
    };
    for (const auto& row : kRows) {
        const std::string got = parsed(row.text);
        if (row.expected.ends_with("the categories are ")) {
            EXPECT_TRUE(got.starts_with(row.expected)) << row.text << "\n" << got;
        } else {
            EXPECT_EQ(got, row.expected) << row.text;
        }
    }
}

TEST(ProjectFileTest, PatternsMatchAsGlobsDo) {
    const struct {
        std::string_view pattern;
        std::string_view path;
        bool matches;
    } kRows[] = {
        {"*.cfg", "board.cfg", true},
        {"*.cfg", "boards/a/board.cfg", true},  // no '/': the name, in any folder
        {"*.cfg", "board.cfg.bak", false},
        {"board-?.cfg", "board-b.cfg", true},
        {"board-?.cfg", "board-bb.cfg", false},
        {"boards/*.cfg", "boards/a.cfg", true},
        {"boards/*.cfg", "boards/rev3/a.cfg", false},  // '*' stays in its folder
        {"boards/*.cfg", "other/boards/a.cfg", false},
        {"boards/**/*.cfg", "boards/a.cfg", true},
        {"boards/**/*.cfg", "boards/rev3/b/a.cfg", true},
        {"**/rev3/*.cfg", "rev3/a.cfg", true},
        {"**/rev3/*.cfg", "boards/rev3/a.cfg", true},
        {"/top.cfg", "top.cfg", true},
        {"/top.cfg", "boards/top.cfg", false},
        {"boards/?/a.cfg", "boards///a.cfg", false},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(glob_match(row.pattern, row.path), row.matches) << row.pattern << " " << row.path;
    }
}

TEST(ProjectFileTest, AFileGetsTheStartsOptionsThenEachMatchingSectionsInFileOrder) {
    const ParsedProjectFile project = parse_project_file(
        "-Wno-subnet-move\n[boards/*.cfg]\n-Werror\n[*.cfg]\n-Wsubnet-move\n[other/*]\n-Wno-encoding\n", "p");
    ASSERT_FALSE(project.error);
    std::string got;
    for (const ProjectOption& option : options_for(project.file, "boards/a.cfg")) {
        got += option.text + " ";
    }
    EXPECT_EQ(got, "-Wno-subnet-move -Werror -Wsubnet-move ");
    ReportOptions options;
    for (const ProjectOption& option : options_for(project.file, "boards/a.cfg")) {
        ASSERT_FALSE(apply_warning_option(options, option.text));
    }
    EXPECT_TRUE(options.errors);
    EXPECT_TRUE(options.disabled.empty());  // the later -Wsubnet-move takes the first one back
}

}  // namespace
}  // namespace morvcfg
