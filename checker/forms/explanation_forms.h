#pragma once

// The explanations of the kinds of warning (explanations.h), written in each form a reader meets
// them in: a terminal (--explain), Markdown (SARIF's rule help), the manual page and an HTML page.
#include <string>

#include "checker/analysis/categories.h"

namespace morvcfg {

// For a terminal: its paragraphs folded at 80 columns, the example and what the checker says of
// it indented under them.
std::string explanation_text(Category category);
// Markdown, for code-scanning services to show beside a result.
std::string explanation_markdown(Category category);
// The manual page's list of kinds: a tagged paragraph each, in groff's man macros.
std::string explanations_man();
// The HTML page of every kind, each at its anchor (explanation_anchor()).
std::string explanations_html();

}  // namespace morvcfg
