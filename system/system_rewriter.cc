#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "system/system_environment.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// windows.h first: the others build on it.
#include <fcntl.h>
#include <sys/stat.h>

#include <io.h>
#include <process.h>
#include <shellapi.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

#include "system/native_files.h"

namespace morvcfg {

namespace fs = std::filesystem;
using native::file_sink;
using native::follow_links;
using native::native_path;
using native::utf8_path;
#ifdef _WIN32
using native::wide;
#endif

std::string SystemEnvironment::link_target(const std::string& path) {
    return utf8_path(follow_links(native_path(path)));
}

bool SystemEnvironment::replaceable(const std::string& path, std::string& why) {
    int error = 0;
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = ENOENT;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = EISDIR;
    } else if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = EACCES;
    }
#else
    // A file without its owner's write bit is read-only to everybody here, root included.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        error = errno;
    } else if (S_ISDIR(status.st_mode)) {
        error = EISDIR;
    } else if ((status.st_mode & S_IWUSR) == 0 || access(path.c_str(), W_OK) != 0) {
        error = EACCES;
    }
#endif
    if (error != 0) {
        why = std::strerror(error);
        return false;
    }
    return true;
}

std::unique_ptr<ByteSink> SystemEnvironment::create_beside(const std::string& path, std::string& created,
                                                           std::string& why) {
    const fs::path original = native_path(path);
#ifdef _WIN32
    const int process = _getpid();
#else
    const int process = getpid();
#endif
    // A hidden name of this process's own beside the file; taken only if nobody has it.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + utf8_path(original.filename()) + ".morvcfg-check-" + std::to_string(process) +
                                 "-" + std::to_string(attempt);
        created = utf8_path(original.parent_path() / native_path(name));
#ifdef _WIN32
        const int descriptor =
            _wopen(wide(created).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
#else
        const int descriptor = ::open(created.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0600);
        std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
#endif
        if (file != nullptr) {
            return file_sink(file);
        }
        const int error = errno;
        if (descriptor >= 0) {
#ifdef _WIN32
            (void)_close(descriptor);
            (void)_wremove(wide(created).c_str());
#else
            (void)::close(descriptor);
            (void)std::remove(created.c_str());
#endif
        }
        if (descriptor >= 0 || error != EEXIST) {
            why = std::strerror(error);
            return nullptr;
        }
    }
    why = std::strerror(EEXIST);
    return nullptr;
}

bool SystemEnvironment::copy_attributes(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
    // A file that may be replaced is not read-only, and the new one is not either; its owner is
    // whoever the folder's rules make it. Only that the original's attributes can be read is asked.
    (void)to;
    if (GetFileAttributesW(wide(from).c_str()) == INVALID_FILE_ATTRIBUTES) {
        why = std::strerror(ENOENT);
        return false;
    }
    return true;
#else
    struct stat status {};
    if (stat(from.c_str(), &status) != 0) {
        why = std::strerror(errno);
        return false;
    }
    // The owner and group, where the process may set them: root always, another user the group at
    // most (a group of their own). Then the permission bits exactly as the original's, whatever
    // the umask took away and whatever a change of owner cleared.
    if (chown(to.c_str(), status.st_uid, status.st_gid) != 0) {
        (void)chown(to.c_str(), static_cast<uid_t>(-1), status.st_gid);
    }
    if (chmod(to.c_str(), status.st_mode & 07777) != 0) {
        why = std::strerror(errno);
        return false;
    }
    return true;
#endif
}

std::uint64_t SystemEnvironment::link_count(const std::string& path) {
#ifdef _WIN32
    const HANDLE file = CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known ? information.nNumberOfLinks : 1;
#else
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_nlink) : 1;
#endif
}

bool SystemEnvironment::overwrite(const std::string& path, std::string_view bytes, std::string& why) {
    // Opened for writing without being created, so that it is the same file, emptied.
#ifdef _WIN32
    const int descriptor = _wopen(wide(path).c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
    std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
#else
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_TRUNC);
    std::FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
#endif
    if (file == nullptr) {
        why = std::strerror(errno);
        if (descriptor >= 0) {
#ifdef _WIN32
            (void)_close(descriptor);
#else
            (void)::close(descriptor);
#endif
        }
        return false;
    }
    const std::unique_ptr<ByteSink> sink = file_sink(file);
    if (!sink->write(bytes) || !sink->sync() || !sink->close()) {
        why = "the new text could not be written";
        return false;
    }
    return true;
}

bool SystemEnvironment::move_over(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        why = GetLastError() == ERROR_ACCESS_DENIED ? std::strerror(EACCES) : "the file could not be replaced";
        return false;
    }
#else
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        why = std::strerror(errno);
        return false;
    }
#endif
    return true;
}

bool SystemEnvironment::remove(const std::string& path) {
#ifdef _WIN32
    return _wremove(wide(path).c_str()) == 0;
#else
    return std::remove(path.c_str()) == 0;
#endif
}

}  // namespace morvcfg
