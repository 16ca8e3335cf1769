// The floor of any tool that must see every byte: a plain copy through user space, read and
// written 256 KiB at a time as morvcfg reads and writes a large file, with nothing done to the
// bytes. run_bench.py measures it beside cat, which on some systems copies inside the kernel.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    const int in = open(argv[1], O_RDONLY);
    const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) {
        return 1;
    }
    constexpr std::size_t kSize = std::size_t{256} * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kSize);
    for (ssize_t count = 0; (count = read(in, buffer.get(), kSize)) > 0;) {
        for (ssize_t done = 0; done < count;) {
            const ssize_t written = write(out, buffer.get() + done, static_cast<std::size_t>(count - done));
            if (written <= 0) {
                return 1;
            }
            done += written;
        }
    }
    return close(out) == 0 ? 0 : 1;
}
