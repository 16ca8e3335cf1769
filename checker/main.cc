#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checker/check.h"
#include "checker/report.h"
#include "translator/system_environment.h"

namespace {

constexpr std::string_view kUsage =
    "usage: morvcfg-check [--format=gcc|json|sarif] [--summary] [-Wno-NAME]... FILE...\n"
    "       morvcfg-check --help | --version\n";

enum class Format { Gcc, Json, Sarif };

void print(FILE* stream, std::string_view text) {
    (void)std::fwrite(text.data(), 1, text.size(), stream);
}

// Rows of a two-column list, the second column aligned.
std::string columns(std::span<const std::pair<std::string_view, std::string_view>> rows, std::string_view indent) {
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.first.size());
    }
    std::string text;
    for (const auto& [name, what] : rows) {
        text.append(indent).append(name).append(width + 2 - name.size(), ' ').append(what).append("\n");
    }
    return text;
}

std::string help() {
    constexpr std::pair<std::string_view, std::string_view> options[] = {
        {"--format=gcc", "warnings as compilers write them (the default)"},
        {"--format=json", "one JSON document: each file's warnings and configuration"},
        {"--format=sarif", "one SARIF 2.1.0 log, for code-scanning services"},
        {"--summary", "with the gcc form, also print the configuration morvcfg would generate"},
        {"-h, --help", "print this help and stop"},
        {"--version", "print the version and stop"},
        {"-Wno-NAME", "leave out one kind of warning; the kinds are listed below"},
    };
    std::vector<std::pair<std::string_view, std::string_view>> categories;
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        categories.emplace_back(category.name, category.covers);
    }
    return std::string(kUsage) +
           "\nExplains what morvcfg will silently do with each description file: warnings in the form\n"
           "FILE:LINE:COLUMN: warning: MESSAGE [-Wname]. Exit status 0 without warnings, 1 with\n"
           "warnings, 2 when a file cannot be read or the arguments are wrong.\n\n" +
           columns(options, "  ") + "\nWarning kinds (-Wno-NAME):\n" + columns(categories, "  ");
}

std::string category_list() {
    std::string names;
    for (const morvcfg::WarningCategory& category : morvcfg::kWarningCategories) {
        names.append(names.empty() ? "" : ", ").append(category.name);
    }
    return names;
}

bool known_category(std::string_view name) {
    return std::ranges::any_of(morvcfg::kWarningCategories,
                               [name](const morvcfg::WarningCategory& category) { return category.name == name; });
}

// What the command line asks for; `status` is set when the run ends here.
struct Arguments {
    Format format = Format::Gcc;
    morvcfg::ReportOptions options;
    std::vector<std::string> files;
    std::optional<int> status;
};

Arguments parse_arguments(std::span<const std::string> args) {
    Arguments parsed;
    const auto fail = [&parsed](const std::string& why) {
        print(stderr, "morvcfg-check: " + why + "\n" + std::string(kUsage));
        parsed.status = 2;
    };
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg(args[i]);
        if (options_done || !arg.starts_with("-") || arg == "-") {
            parsed.files.emplace_back(arg);
        } else if (arg == "--") {
            options_done = true;
        } else if (arg == "--help" || arg == "-h" || arg == "--version") {
            print(stdout, arg == "--version" ? "morvcfg-check " + std::string(morvcfg::checker_version()) + "\n" : help());
            parsed.status = 0;
            return parsed;
        } else if (arg == "--summary") {
            parsed.options.summary = true;
        } else if (arg == "--format" || arg.starts_with("--format=")) {
            // Both --format=json and --format json.
            std::string_view value = arg.substr(std::min(arg.size(), std::string_view("--format=").size()));
            if (arg == "--format") {
                if (i + 1 == args.size()) {
                    fail("--format needs a value: gcc, json or sarif");
                    return parsed;
                }
                value = args[++i];
            }
            if (value != "gcc" && value != "json" && value != "sarif") {
                fail("unknown format '" + std::string(value) + "': the formats are gcc, json and sarif");
                return parsed;
            }
            parsed.format = value == "gcc" ? Format::Gcc : value == "json" ? Format::Json : Format::Sarif;
        } else if (arg.starts_with("-Wno-")) {
            if (!known_category(arg.substr(5))) {
                fail("unknown warning category '" + std::string(arg.substr(5)) + "' in '" + std::string(arg) +
                     "'; the categories are " + category_list());
                return parsed;
            }
            parsed.options.disabled.emplace(arg.substr(5));
        } else {
            fail("unknown option '" + std::string(arg) + "'");
            return parsed;
        }
    }
    if (parsed.files.empty()) {
        print(stderr, kUsage);
        parsed.status = 2;
    }
    return parsed;
}

// Checks one file; an error is reported on standard error as well.
morvcfg::FileReport check_file(const std::string& file, Format format, morvcfg::Environment& environment) {
    morvcfg::FileReport report{file, {}, {}, {}};
    std::string why;
    if (const auto source = environment.open(file, why); !source) {
        report.error = "cannot open the file: " + why;
    } else if (report.result = morvcfg::check(*source); report.result.read_failed) {
        report.error = "cannot read the file";
    }
    if (!report.error.empty()) {
        print(stderr, file + ": error: " + report.error + "\n");
    } else if (format == Format::Sarif) {
        // SARIF counts columns in characters: the file is read once more to count them.
        if (const auto again = environment.open(file)) {
            report.code_point_columns = morvcfg::code_point_columns(*again, report.result);
        }
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> words = morvcfg::start_process(argc, argv);
    const Arguments arguments = parse_arguments(std::span<const std::string>(words).subspan(words.empty() ? 0 : 1));
    if (arguments.status) {
        return *arguments.status;
    }
    morvcfg::SystemEnvironment environment;
    int status = 0;
    std::vector<morvcfg::FileReport> reports;
    for (const std::string& file : arguments.files) {
        morvcfg::FileReport report = check_file(file, arguments.format, environment);
        if (!report.error.empty()) {
            status = 2;
        } else if (status == 0 && morvcfg::reported_warnings(report, arguments.options) > 0) {
            status = 1;
        }
        if (arguments.format == Format::Gcc) {
            std::string out;
            morvcfg::write_gcc(out, report, arguments.options);
            print(stdout, out);
        } else {
            reports.push_back(std::move(report));
        }
    }
    std::string out;
    if (arguments.format == Format::Json) {
        morvcfg::write_json(out, reports, arguments.options);
    } else if (arguments.format == Format::Sarif) {
        morvcfg::write_sarif(out, reports, arguments.options);
    }
    print(stdout, out);
    return status;
}
