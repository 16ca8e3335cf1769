#include <algorithm>
#include <string>
#include <vector>

#include "system/system_environment.h"
#include "translator/run.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = morvcfg::start_process(argc, argv);
    std::vector<const char*> args(arguments.size());
    std::transform(arguments.begin(), arguments.end(), args.begin(),
                   [](const std::string& arg) { return arg.c_str(); });
    morvcfg::SystemEnvironment environment;
    return morvcfg::run(args, environment);
}
