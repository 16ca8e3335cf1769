#include "checker/analysis/version.h"

namespace morvcfg {

std::string_view checker_version() {
    return MORVCFG_VERSION;
}

}  // namespace morvcfg
