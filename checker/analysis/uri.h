#pragma once

// File names as URIs, as SARIF logs and editors name files.
#include <string>
#include <string_view>

namespace morvcfg {

// A file name as a URI reference: relative names stay relative (to the working directory),
// absolute ones become file URIs; every byte but unreserved characters and "/" is
// percent-encoded, and "\" is taken as "/".
std::string uri_of(std::string_view name);

// The path a file URI names ("file:///C:/boards/a.cfg" is "C:/boards/a.cfg"); empty for a URI of
// another scheme.
std::string path_of_file_uri(std::string_view uri);

}  // namespace morvcfg
