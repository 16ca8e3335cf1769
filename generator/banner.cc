#include "generator/banner.h"

namespace morvcfg {
namespace {

constexpr std::string_view kRule = "/* ----------------------------------------------------------------------- */";
constexpr std::string_view kEndTitle = "/*  End of file                                                            */";
// "/*", 34 blanks, the 30-character notice, 9 blanks, "*/".
constexpr std::string_view kNotice = "/*                                  Made by morvcfg - do not edit.         */";

void write_box(TextWriter& out, std::string_view title) {
    for (const std::string_view line : {kRule, title, kNotice, kRule}) {
        out.write(line);
        out.write("\n");
    }
}

}  // namespace

void write_opening_banner(TextWriter& out, std::string_view title) {
    write_box(out, title);
    out.write("\n");
}

void write_closing_banner(TextWriter& out) {
    out.write("\n");
    write_box(out, kEndTitle);
}

}  // namespace morvcfg
