#pragma once

// note [explanations]: what each kind of warning means, shown by an example, in one table. Every
// place that explains a kind reads it: --explain, the manual page's list of kinds, SARIF's rule
// help, the HTML page of all kinds (installed with the documentation and shipped with the
// playground) and, through that page, the language server's links and the playground's. The test
// suite runs every example through the checker and compares what it says with the entry, so that
// no explanation drifts from the checker.
//
// Texts are plain, with `code` between backquotes; a blank line separates paragraphs.
#include <array>
#include <string>
#include <string_view>

#include "checker/analysis/categories.h"

namespace morvcfg {

struct Explanation {
    Category category;
    // What it means: why morvcfg and C, or the author and morvcfg, read the line differently.
    std::string_view meaning;
    // A description file, named kExampleName, that gives this warning and no other.
    std::string_view example;
    // What `morvcfg-check -fno-diagnostics-show-caret` says of it, notes included.
    std::string_view warning;
    // The file kIncludedName beside it, where the example's #include names one; empty elsewhere.
    std::string_view included{};
    // Why it cannot be excused on its line, for a kind that cannot (see excusable_on_its_line()).
    std::string_view not_on_a_line{};
};

inline constexpr std::string_view kExampleName = "example.cfg";
inline constexpr std::string_view kIncludedName = "net.cfg";

// The explanation of each category, in the order of the enum.
const Explanation& explanation_of(Category category);

// How to silence a kind of warning: its -Wno- option, and the comment that excuses one line where
// one can.
std::string silencing_of(Category category);
// What its fixes do, and how sure they are, in a sentence.
std::string fixing_of(Category category);

// The name of the HTML page of all kinds, and the anchor of a kind in it.
inline constexpr std::string_view kExplanationPage = "morvcfg-check-warnings.html";
constexpr std::string_view explanation_anchor(Category category) {
    return name_of(category);
}

}  // namespace morvcfg
