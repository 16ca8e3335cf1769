// The description file as C reads it: comments, literals, conditionals, continued lines and
// includes, each row a file and the warnings about where C and morvcfg part.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "checker/analysis/check.h"
#include "checker/forms/report.h"

namespace morvcfg {
namespace {

// The warnings of the C reading alone, in the GCC form; `inc.cfg`, beside the file, holds a
// directive.
std::string c_warnings(const std::string& input) {
    const IncludeOpener open_include = [](std::string_view name) -> std::optional<IncludedFile> {
        if (name != "inc.cfg") {
            return std::nullopt;
        }
        return IncludedFile{std::make_unique<StringSource>("MORV_LOCAL(127.0.0.9);\n"), "inc.cfg"};
    };
    StringSource source(input);
    const FileReport report{"f", {}, check(source, open_include), {}, {}};
    ReportOptions options;
    options.show_caret = false;
    for (const WarningCategory& category : kWarningCategories) {
        options.disabled.insert(category.category);
    }
    for (const Category category : {Category::CommentedDirective, Category::ConditionalDirective,
                                    Category::SplitComment, Category::IncludedDirective}) {
        options.disabled.erase(category);
    }
    std::string out;
    write_gcc(out, report, options);
    return out;
}

constexpr std::string_view kCommented =
    " stands inside a /* */ comment, but morvcfg reads lines, not comments: the directive is applied anyway "
    "[-Wcommented-directive]\n";
constexpr std::string_view kApplied =
    ", but morvcfg reads every line whatever the condition: the directive is applied anyway "
    "[-Wconditional-directive]\n";

std::string commented(std::string_view at, std::string_view opens) {
    return "f:" + std::string(at) + ": warning: MORV_DNS" + std::string(kCommented) + "f:" + std::string(opens) +
           ": note: the comment opens here\n";
}

std::string conditional(std::string_view at, std::string_view where, std::string_view opens) {
    return "f:" + std::string(at) + ": warning: MORV_DNS stands in " + std::string(where) + std::string(kApplied) +
           "f:" + std::string(opens) + ": note: the conditional opens here\n";
}

TEST(CReadingTest, ReadsTheFileAsCDoes) {
    const struct {
        std::string input;
        std::string expected;
    } cases[] = {
        // Comments: a block comment across lines, one closed on its line, `/*/` and `/** /`, which
        // close nothing, and `//`.
        {"/* open\nMORV_DNS(1.2.3.4);\n*/\n", commented("2:1", "1:1")},
        {"/* x */\nMORV_DNS(1.2.3.4);\n", ""},
        {"/*/ not closed\nMORV_DNS(1.2.3.4);\n*/\n", commented("2:1", "1:1")},
        {"/** / still open **\nMORV_DNS(1.2.3.4);\n**/\n", commented("2:1", "1:1")},
        {"// MORV_DNS(1.2.3.4); and more\nMORV_DNS(1.2.3.4);\n", ""},
        // Conditionals: #if 0 with its other branches, nesting, `# if` and an indented `#if`, whose
        // note points at its own line and column.
        {"#if 0\nMORV_DNS(1.2.3.4);\n#elif defined(B)\nMORV_DNS(1.2.3.5);\n#else\nMORV_DNS(1.2.3.6);\n#endif\n",
         conditional("2:1", "a block that '#if 0' switches off", "1:1") +
             conditional("4:1", "the '#elif defined(B)' branch of '#if 0'", "1:1") +
             "f:3:1: note: the '#elif defined(B)' branch starts here\n" +
             conditional("6:1", "the '#else' branch of '#if 0'", "1:1") +
             "f:5:1: note: the '#else' branch starts here\n"},
        {"#ifdef A\n#if 0\nMORV_DNS(1.2.3.4);\n#endif\nMORV_DNS(1.2.3.5);\n#endif\n",
         conditional("3:1", "a block that '#if 0' switches off", "2:1") +
             conditional("5:1", "the conditional block '#ifdef A'", "1:1")},
        {"# if 0\nMORV_DNS(1.2.3.4);\n#  endif\nMORV_DNS(1.2.3.5);\n",
         conditional("2:1", "a block that '# if 0' switches off", "1:1")},
        {"x\n  #if 0\nMORV_DNS(1.2.3.4);\n#endif\n", conditional("3:1", "a block that '#if 0' switches off", "2:3")},
        // A condition is decided only when it is a plain number.
        {"#if 1\nMORV_DNS(1.2.3.4);\n#else\n#endif\n", ""},
        {"#if (0L)\nMORV_DNS(1.2.3.4);\n#endif\n", conditional("2:1", "a block that '#if (0L)' switches off", "1:1")},
        {"#if 1 || defined(X)\nMORV_DNS(1.2.3.4);\n#endif\n",
         conditional("2:1", "the conditional block '#if 1 || defined(X)'", "1:1")},
        // Include guards, with a blank line between; an #ifndef with another #define is none.
        {"#ifndef G\n\n#define G\nMORV_DNS(1.2.3.4);\n#endif\n", ""},
        {"#ifndef G\n#define H\nMORV_DNS(1.2.3.4);\n#endif\n",
         conditional("3:1", "the conditional block '#ifndef G'", "1:1")},
        // A condition continued on the next line is quoted whole.
        {"#if defined(A) && \\\n    defined(B)\nMORV_DNS(1.2.3.4);\n#endif\n",
         conditional("3:1", "the conditional block '#if defined(A) && defined(B)'", "1:1")},
        // Literals: an escaped quote or backslash, and a character literal, open no comment; an
        // escaped backslash before the quote ends the string.
        {"const char s[] = \"a \\\" /* b\";\nMORV_DNS(1.2.3.4);\n", ""},
        {"const char s[] = \"a \\\\\" /* b\";\nMORV_DNS(1.2.3.4);\n", commented("2:1", "1:25")},
        {"char c = '\\'';  /* x\nMORV_DNS(1.2.3.4);\n*/\n", commented("2:1", "1:17")},
        {"char c = '\"';  /* x */\nMORV_DNS(1.2.3.4);\n", ""},
        // An apostrophe in prose: in a comment it is the comment's; elsewhere it opens a character
        // literal that the line end closes, so what follows on its line is no comment.
        {"// the board's address\nMORV_DNS(1.2.3.4);\n", ""},
        {"/* the board's\nMORV_DNS(1.2.3.4);\n*/\n", commented("2:1", "1:1")},
        {"The board's settings /* follow\nMORV_DNS(1.2.3.4);\n", ""},
        // A directive line that opens a comment, and one that closes a comment opened before it.
        {"MORV_DNS(1.2.3.4); /* start\nend */\n",
         "f:1:20: warning: this directive line opens a comment that closes on line 2: morvcfg takes the line out, "
         "opening and all, so the pass-through output keeps the comment's end without its start [-Wsplit-comment]\n"
         "f:2:5: note: the comment closes here; in the pass-through output this */ closes nothing\n"},
        {"/* start\nMORV_DNS(1.2.3.4); */\n",
         commented("2:1", "1:1") +
             "f:2:20: warning: this directive line closes the comment opened on line 1: morvcfg takes the line out, "
             "end and all, so in the pass-through output the comment runs on past it [-Wsplit-comment]\n"
             "f:1:1: note: the comment opens here\n"},
        // Includes: a file beside it with a directive; one that is not there; and a name without
        // its closing quote, which C does not read as an include.
        {"#include \"inc.cfg\"\n",
         "f:1:1: warning: '#include \"inc.cfg\"' names a file that holds directives, but morvcfg reads only this "
         "file and never follows an include: the directives in 'inc.cfg' set nothing [-Wincluded-directive]\n"
         "inc.cfg:1:1: note: the first directive in it, which sets nothing\n"},
        {"#include \"missing.cfg\"\n#include <inc.cfg>\n", ""},
        {"#include \"inc.cfg\n", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c_warnings(c.input), c.expected) << c.input;
    }
}

}  // namespace
}  // namespace morvcfg
