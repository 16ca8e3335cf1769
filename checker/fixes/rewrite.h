#pragma once

// Rewriting a description file in place with its fixed text, without ever leaving it half written.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "generator/text_writer.h"
#include "translator/environment.h"

namespace morvcfg {

// Replaces the content of the file `path` (the file a symbolic link leads to, the link staying a
// link) with `fixed`, without ever leaving it half written: the new bytes go to a file beside it,
// which is made durable and then moved over it in one step, keeping its permission bits. Refused
// when the file no longer holds `original`. Each step is one of `files` (note [one way to reach
// files]). False with the reason on any failure, and the file then stays as it was.
bool rewrite_in_place(Environment& files, const std::string& path, std::string_view original, std::string_view fixed,
                      std::string& why);

// Reads a whole file; false with the reason on failure.
bool read_whole_file(Environment& files, const std::string& path, std::string& bytes, std::string& why);

}  // namespace morvcfg
