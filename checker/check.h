#pragma once

#include "checker/findings.h"
#include "translator/text_reader.h"

namespace morvcfg {

// Reads a description file exactly as the translator does (the same reader, dispatch, scanner and
// parsers) and explains what the translator will silently do with it.
CheckResult check(ByteSource& source);

}  // namespace morvcfg
