#include "checker/frontend/project_file.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "checker/analysis/c_characters.h"
#include "checker/analysis/messages.h"
#include "checker/fixes/rewrite.h"

namespace morvcfg {
namespace {

std::string category_list() {
    std::string names;
    for (const WarningCategory& category : kWarningCategories) {
        names.append(names.empty() ? "" : ", ").append(category.name);
    }
    return names;
}

// The category `name` names, or an error that says which categories there are, or which one was
// perhaps meant; `option` is how the command line wrote it, `prefix` what goes before the name.
std::optional<std::string> unknown_category(std::string_view name, std::string_view option, std::string_view prefix) {
    if (category_named(name)) {
        return std::nullopt;
    }
    std::string error = "unknown warning category '" + std::string(name) + "' in '" + std::string(option) + "'";
    const std::string_view near = nearest_category(name);
    if (!near.empty()) {
        return error + "; did you mean '" + std::string(prefix) + std::string(near) + "'?";
    }
    return error + "; the categories are " + category_list();
}

}  // namespace

// As GCC reads them, in order: -Wno-NAME leaves a kind out and -WNAME takes it back, -Werror=NAME
// makes a kind an error (and takes it in), -Werror all.
std::optional<std::string> apply_warning_option(ReportOptions& options, std::string_view arg) {
    if (!arg.starts_with("-W")) {
        return "unknown option '" + std::string(arg) + "'";
    }
    const std::string_view rest = arg.substr(2);
    if (rest == "all" || rest == "extra") {
        return std::nullopt;  // every kind is on unless left out
    }
    if (rest == "error" || rest == "no-error") {
        options.errors = rest == "error";
        return std::nullopt;
    }
    for (const std::string_view prefix : {"error=", "no-error="}) {
        if (rest.starts_with(prefix)) {
            const std::string_view name = rest.substr(prefix.size());
            if (auto error = unknown_category(name, arg, "-W" + std::string(prefix))) {
                return error;
            }
            const Category category = *category_named(name);
            const bool error = prefix == "error=";
            options.error_categories[category] = error;
            if (error) {
                options.disabled.erase(category);
                options.excused.erase(category);
            }
            return std::nullopt;
        }
    }
    const bool off = rest.starts_with("no-");
    const std::string_view name = off ? rest.substr(3) : rest;
    if (auto error = unknown_category(name, arg, off ? "-Wno-" : "-W")) {
        return error;
    }
    if (off) {
        options.disabled.insert(*category_named(name));
    } else {
        options.disabled.erase(*category_named(name));
        options.excused.erase(*category_named(name));
    }
    return std::nullopt;
}

namespace {

// A blank between words, or the CR of a CR LF line end.
bool is_blank(char c) {
    return is_c_blank(c) || c == '\r';
}

std::string_view without_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// One line of the file, whose text after its leading blanks is `rest` and which starts at `whole`:
// a section's heading, or options, added to `parsed`; an error there stops the reading.
void parse_line(std::string_view whole, std::string_view rest, std::uint64_t line, ParsedProjectFile& parsed) {
    const auto column = [&whole](std::string_view part) {
        return static_cast<std::uint64_t>(part.data() - whole.data()) + 1;
    };
    if (rest.front() == '[') {
        const std::size_t close = rest.rfind(']');
        const std::string_view after = close == std::string_view::npos ? "" : without_blanks(rest.substr(close + 1));
        if (close == std::string_view::npos || close == 1 || !(after.empty() || after.front() == '#')) {
            parsed.error = ProjectOption{"a section is written [PATTERN], alone on its line", line, column(rest)};
        } else {
            parsed.file.sections.push_back({std::string(rest.substr(1, close - 1)), {}});
        }
        return;
    }
    while (!rest.empty() && rest.front() != '#') {
        const auto* const blank = std::find_if(rest.begin(), rest.end(), is_blank);
        const std::string_view word = rest.substr(0, static_cast<std::size_t>(blank - rest.begin()));
        ReportOptions scratch;
        if (auto error = apply_warning_option(scratch, word)) {
            parsed.error = ProjectOption{*error, line, column(word)};
            return;
        }
        parsed.file.sections.back().options.push_back({std::string(word), line, column(word)});
        rest = without_blanks(rest.substr(word.size()));
    }
}

// The options of the file's first section, then of each [PATTERN] section, a line at a time.
ParsedProjectFile parse(std::string_view text, std::string path) {
    ParsedProjectFile parsed{{std::move(path), {{"", {}}}}, std::nullopt};
    // Notepad saves UTF-8 with a byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::uint64_t line = 0;
    while (!text.empty() && !parsed.error) {
        ++line;
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view whole = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::string_view rest = without_blanks(whole);
        if (!rest.empty() && rest.front() != '#') {
            parse_line(whole, rest, line, parsed);
        }
    }
    return parsed;
}

}  // namespace

ParsedProjectFile parse_project_file(std::string_view text, std::string path) {
    return parse(text, std::move(path));
}

namespace {

// Matches `pattern` against the whole of `path`, trying each length a star may stand for.
bool match_glob(std::string_view pattern, std::string_view path);

// `**` (followed by `rest`): any folders ("**/" also matches no folder at all).
bool match_folders(std::string_view rest, std::string_view path) {
    if (rest.starts_with('/') && match_glob(rest.substr(1), path)) {
        return true;
    }
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (match_glob(rest, path.substr(i))) {
            return true;
        }
    }
    return false;
}

// `*` (followed by `rest`): any characters but '/'.
bool match_star(std::string_view rest, std::string_view path) {
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (match_glob(rest, path.substr(i))) {
            return true;
        }
        if (i < path.size() && path[i] == '/') {
            return false;
        }
    }
    return false;
}

bool match_glob(std::string_view pattern, std::string_view path) {
    if (pattern.empty()) {
        return path.empty();
    }
    if (pattern.starts_with("**")) {
        return match_folders(pattern.substr(2), path);
    }
    if (pattern.front() == '*') {
        return match_star(pattern.substr(1), path);
    }
    const bool one = !path.empty() && (pattern.front() == '?' ? path.front() != '/' : pattern.front() == path.front());
    return one && match_glob(pattern.substr(1), path.substr(1));
}

}  // namespace

bool glob_match(std::string_view pattern, std::string_view path) {
    if (pattern.find('/') == std::string_view::npos) {
        const std::size_t slash = path.rfind('/');
        path = slash == std::string_view::npos ? path : path.substr(slash + 1);
    }
    return match_glob(pattern.starts_with('/') ? pattern.substr(1) : pattern, path);
}

std::vector<ProjectOption> options_for(const ProjectFile& file, std::string_view relative) {
    std::vector<ProjectOption> options;
    for (const ProjectSection& section : file.sections) {
        if (section.pattern.empty() || glob_match(section.pattern, relative)) {
            options.insert(options.end(), section.options.begin(), section.options.end());
        }
    }
    return options;
}

namespace {

// A path as a root ("/", "C:/", or "" for a relative one) and its folders and name, with "." and
// ".." worked out.
struct SplitPath {
    std::string root;
    std::vector<std::string> parts;

    [[nodiscard]] std::string joined(std::size_t count) const {
        std::string path = root;
        for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
            path += (i == 0 ? "" : "/") + parts[i];
        }
        return path.empty() ? "." : path;
    }
};

SplitPath split_path(std::string_view path, bool windows) {
    const auto separator = [windows](char c) { return c == '/' || (windows && c == '\\'); };
    SplitPath split;
    if (windows && path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        split.root = std::string(path.substr(0, 2)) + "/";
        path.remove_prefix(2);
    } else if (!path.empty() && separator(path.front())) {
        split.root = windows && path.size() > 1 && separator(path[1]) ? "//" : "/";
    }
    while (!path.empty()) {
        while (!path.empty() && separator(path.front())) {
            path.remove_prefix(1);
        }
        std::size_t end = 0;
        while (end < path.size() && !separator(path[end])) {
            ++end;
        }
        const std::string_view part = path.substr(0, end);
        path.remove_prefix(end);
        if (part == ".." && !split.parts.empty() && split.parts.back() != "..") {
            split.parts.pop_back();
        } else if (!part.empty() && part != "." && !(part == ".." && !split.root.empty())) {
            split.parts.emplace_back(part);
        }
    }
    return split;
}

SplitPath absolute_path(const std::string& path, const ProjectFileSearch& search) {
    SplitPath split = split_path(path, search.windows_paths);
    if (!split.root.empty()) {
        return split;
    }
    return split_path(search.working_folder + "/" + path, search.windows_paths);
}

// Reads and parses the project file at `path`, for the file whose path below its folder is
// `relative`; false when there is none there.
bool apply_file(const std::string& path, const std::string& relative, const ProjectFileSearch& search,
                AppliedProjectFile& applied) {
    std::string why;
    const std::optional<std::string> text = search.read ? search.read(path, why) : std::nullopt;
    if (!text) {
        if (why.empty()) {
            return false;
        }
        applied.path = path;
        applied.error = path + ": error: cannot read the project file: " + why;
        return true;
    }
    const ParsedProjectFile parsed = parse_project_file(*text, path);
    applied.path = path;
    if (parsed.error) {
        applied.error = path + ":" + std::to_string(parsed.error->line) + ":" + std::to_string(parsed.error->column) +
                        ": error: " + parsed.error->text;
    } else {
        applied.options = options_for(parsed.file, relative);
    }
    return true;
}

// The path of a file below the folder of the project file `project`, or the file's name alone
// when it is not below it.
std::string relative_to_project(const SplitPath& project, const SplitPath& file) {
    std::size_t shared = 0;
    while (project.root == file.root && shared + 1 < project.parts.size() && shared < file.parts.size() &&
           project.parts[shared] == file.parts[shared]) {
        ++shared;
    }
    const bool below = project.root == file.root && shared + 1 == project.parts.size();
    const std::size_t from = below ? shared : (file.parts.empty() ? 0 : file.parts.size() - 1);
    std::string relative;
    for (std::size_t i = from; i < file.parts.size(); ++i) {
        relative += (relative.empty() ? "" : "/") + file.parts[i];
    }
    return relative;
}

}  // namespace

AppliedProjectFile project_file_for(const std::string& file, const std::string& named,
                                    const ProjectFileSearch& search) {
    AppliedProjectFile applied;
    const SplitPath where = absolute_path(file, search);
    if (!named.empty()) {
        if (!apply_file(named, relative_to_project(absolute_path(named, search), where), search, applied)) {
            applied.path = named;
            applied.error = named + ": error: cannot read the project file: there is no such file";
        }
        return applied;
    }
    // From the file's own folder up to the root.
    for (std::size_t folders = where.parts.empty() ? 0 : where.parts.size() - 1;; --folders) {
        std::string path = where.joined(folders);
        path += (path.ends_with('/') ? "" : "/") + std::string(kProjectFileName);
        if (apply_file(path, relative_to_project(split_path(path, search.windows_paths), where), search, applied) ||
            folders == 0) {
            return applied;
        }
    }
}

PathOptions options_for_path(const std::string& path, const OptionSources& sources, const ProjectFileSearch* search) {
    PathOptions found{sources.options, {}, {}};
    if (search == nullptr || sources.no_config) {
        return found;
    }
    const AppliedProjectFile applied = project_file_for(path, sources.config_file, *search);
    found.project_path = applied.path;
    found.error = applied.error;
    if (applied.error.empty() && !applied.path.empty()) {
        found.options = options_with_project(sources.options, sources.warning_words, applied.options);
    }
    return found;
}

ReportOptions options_with_project(const ReportOptions& command, const std::vector<std::string>& command_words,
                                   const std::vector<ProjectOption>& project) {
    ReportOptions options = command;
    options.disabled.clear();
    options.excused.clear();
    options.errors = false;
    options.error_categories.clear();
    for (const ProjectOption& option : project) {
        (void)apply_warning_option(options, option.text);  // checked as the file was read
    }
    // What the project file leaves out is excused: the machine-readable forms list it as such.
    options.excused = std::move(options.disabled);
    options.disabled.clear();
    for (const std::string& word : command_words) {
        (void)apply_warning_option(options, word);
    }
    return options;
}

ProjectFileSearch project_file_search(Environment& files) {
    return {files.working_folder(), files.windows_paths(),
            [&files](const std::string& path, std::string& why) -> std::optional<std::string> {
                std::string bytes;
                if (read_whole_file(files, path, bytes, why)) {
                    return bytes;
                }
                if (!files.exists(path)) {
                    why.clear();  // there is no such file: the search goes on above
                }
                return std::nullopt;
            }};
}

}  // namespace morvcfg
