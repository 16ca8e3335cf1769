#include "checker/forms/output_form.h"

#include <algorithm>
#include <array>

namespace morvcfg {
namespace {

constexpr std::array<OutputForm, 8> kOutputForms = {{
    {"gcc", "warnings as compilers write them, with the source line and a caret (the default)",
     OutputForm::Places::SourceLines, true, write_gcc_form, "", nullptr, write_comparison_text},
    {"json", "one JSON document: each file's warnings, fixes and configuration", OutputForm::Places::None, false,
     write_json, "", nullptr, write_comparison_json},
    {"sarif", "one SARIF 2.1.0 log, for code-scanning services", OutputForm::Places::CodePointColumns, false,
     write_sarif},
    {"github", "GitHub Actions workflow commands: an annotation on the line of each warning",
     OutputForm::Places::CodePointColumns, true, write_github, "GITHUB_STEP_SUMMARY", write_markdown},
    {"gitlab", "a GitLab Code Quality report, for merge requests (artifacts: reports: codequality)",
     OutputForm::Places::LineTexts, false, write_gitlab},
    {"junit", "JUnit XML: a test suite each file, a failed test each warning (Jenkins, most CI services)",
     OutputForm::Places::None, false, write_junit},
    {"markdown", "a Markdown table of the warnings, for a merge request's comment",
     OutputForm::Places::CodePointColumns, false, write_markdown, "", nullptr, write_comparison_markdown},
    {"checkstyle", "Checkstyle XML, which Jenkins and review bots read", OutputForm::Places::CodePointColumns, false,
     write_checkstyle},
}};

}  // namespace

std::span<const OutputForm> output_forms() {
    return kOutputForms;
}

const OutputForm* output_form_named(std::string_view name) {
    const auto* const found = std::find_if(kOutputForms.begin(), kOutputForms.end(),
                                           [name](const OutputForm& form) { return form.name == name; });
    return found != kOutputForms.end() ? found : nullptr;
}

std::string output_form_names(std::string_view between, std::string_view last) {
    std::string names;
    for (std::size_t i = 0; i < kOutputForms.size(); ++i) {
        names.append(i == 0 ? "" : i + 1 == kOutputForms.size() ? last : between).append(kOutputForms[i].name);
    }
    return names;
}

}  // namespace morvcfg
