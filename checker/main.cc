#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

#include "checker/checker.h"
#include "translator/system_environment.h"

namespace {

constexpr std::string_view kUsage = "usage: morvcfg-check [--summary] [-Wno-NAME]... FILE...\n";

void print(FILE* stream, std::string_view text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

std::string help() {
    std::string text(kUsage);
    text +=
        "\nExplains what morvcfg will silently do with each description file: warnings in the form\n"
        "FILE:LINE:COLUMN: warning: MESSAGE [-Wname]. Exit status 0 without warnings, 1 with\n"
        "warnings, 2 when a file cannot be read or the arguments are wrong.\n\n"
        "  --summary     also print the configuration morvcfg would generate\n"
        "  -Wno-NAME     leave out one kind of warning; the kinds are:\n";
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        text += "    " + std::string(category.name) + std::string(18 - category.name.size(), ' ') +
                std::string(category.covers) + "\n";
    }
    return text;
}

bool known_category(std::string_view name) {
    return std::ranges::any_of(morvcfg::kWarningCategories,
                               [name](const morvcfg::WarningCategory& category) { return category.name == name; });
}

}  // namespace

int main(int argc, char** argv) {
    bool summary = false;
    bool options_done = false;
    std::set<std::string, std::less<>> disabled;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (options_done || !arg.starts_with("-") || arg == "-") {
            files.emplace_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help") {
            print(stdout, help());
            return 0;
        } else if (arg == "--summary") {
            summary = true;
        } else if (arg.starts_with("-Wno-") && known_category(arg.substr(5))) {
            disabled.emplace(arg.substr(5));
        } else {
            print(stderr, "morvcfg-check: unknown option '" + std::string(arg) + "'\n" + std::string(kUsage));
            return 2;
        }
    }
    if (files.empty()) {
        print(stderr, kUsage);
        return 2;
    }

    morvcfg::SystemEnvironment environment;
    int status = 0;
    for (const std::string& file : files) {
        const auto source = environment.open(file);
        morvcfg::CheckResult result;
        if (source) {
            result = morvcfg::check(*source);
        }
        if (!source || result.read_failed) {
            print(stderr, file + ": error: cannot " + (source ? "read" : "open") + " the file\n");
            status = 2;
            continue;
        }
        std::string out;
        if (morvcfg::write_diagnostics(out, file, result, disabled) > 0 && status == 0) {
            status = 1;
        }
        if (summary) {
            morvcfg::write_summary(out, file, result);
        }
        print(stdout, out);
    }
    return status;
}
