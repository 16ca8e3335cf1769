#pragma once

// The system's files as the system layer opens them, for both of its environments: paths in UTF-8
// on every host (Windows takes them in UTF-16), C streams in binary mode without the C library's
// buffering, and symbolic links followed.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "generator/text_writer.h"
#include "translator/text_reader.h"

namespace morvcfg::native {

// The most symbolic links a path is followed through, as the systems' own limit.
inline constexpr int kMostLinks = 40;

// A UTF-8 path as the system takes it, and back.
std::filesystem::path native_path(const std::string& path);
std::string utf8_path(const std::filesystem::path& path);
#ifdef _WIN32
std::wstring wide(const std::string& utf8);
std::string utf8(const wchar_t* text);
#endif

// Opens a file with a C library mode ("rb", "wb"); null on failure, with errno set.
std::FILE* open_file(const std::string& path, const char* mode);
// A stream as the tools write and read it: unbuffered by the C library (the tools buffer), each
// write flushed, gather writes in one system call where the system has one; closed with the object.
std::unique_ptr<ByteSink> file_sink(std::FILE* file);
std::unique_ptr<ByteSource> file_source(std::FILE* file);

// The path a name leads to once symbolic links are followed as far as they go, even to a target
// that does not exist yet (where a write through a dangling link lands); the name itself if it is
// no link.
std::filesystem::path follow_links(std::filesystem::path path);

}  // namespace morvcfg::native
