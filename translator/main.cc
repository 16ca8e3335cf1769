#include <span>

#include "translator/run.h"
#include "translator/system_environment.h"

int main(int argc, char** argv) {
    morvcfg::SystemEnvironment environment;
    return morvcfg::run(std::span<const char* const>(argv, static_cast<std::size_t>(argc)), environment);
}
