#pragma once

#include "checker/analysis/c_reading.h"
#include "checker/analysis/findings.h"
#include "translator/text_reader.h"

namespace morvcfg {

// Reads a description file exactly as the translator does (the same reader, dispatch, scanner and
// parsers) and explains what the translator will silently do with it, and where that differs from
// what C makes of the same text. `open_include` opens the files its #include lines name (none
// when empty).
CheckResult check(ByteSource& source, const IncludeOpener& open_include = {});

}  // namespace morvcfg
