#include "checker/analysis/uri.h"

#include <algorithm>
#include <cctype>

namespace morvcfg {

std::string uri_of(std::string_view name) {
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string uri;
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (path.starts_with("//")) {
        uri = "file:";  // a network path keeps its host
    } else if (path.starts_with("/")) {
        uri = "file://";
    } else if (drive) {
        uri = "file:///" + path.substr(0, 2);
        path.erase(0, 2);
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~' || byte == '/';
        if (unreserved) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4U];
            uri += kHex[byte & 0xFU];
        }
    }
    return uri;
}

std::string path_of_file_uri(std::string_view uri) {
    constexpr std::string_view kScheme = "file://";
    if (!uri.starts_with(kScheme)) {
        return "";
    }
    uri.remove_prefix(kScheme.size());
    const auto hex = [](char c) {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    };
    // "file://host/share" names a network path.
    std::string path = uri.starts_with('/') ? "" : "//";
    for (std::size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
            path += static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2]));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    // "file:///C:/x" names a drive, without the slash before it.
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':' &&
        std::isalpha(static_cast<unsigned char>(path[1])) != 0) {
        path.erase(0, 1);
    }
    return path;
}

}  // namespace morvcfg
