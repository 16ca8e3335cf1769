// Runs a command and prints its peak resident memory in KiB, then its exit status.
//
// Linux counts the memory a process had before exec in its peak, so the command must be started
// from a process as small as this one (built static, it adds a few hundred KiB at most) rather
// than from the benchmark script itself.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        (void)std::fputs("usage: morvcfg_peak_rss COMMAND [ARG...]\n", stderr);
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        return 2;
    }
    (void)std::printf("%ld %d\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
    return 0;
}
