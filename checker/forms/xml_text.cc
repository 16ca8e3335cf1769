#include "checker/forms/xml_text.h"

#include <algorithm>

#include "checker/analysis/utf8.h"

namespace morvcfg {

std::string xml_text(std::string_view bytes) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    while (!bytes.empty()) {
        const auto byte = static_cast<unsigned char>(bytes.front());
        std::size_t length = utf8_length(bytes);
        const char32_t code_point = length > 0 ? utf8_code_point(bytes, length) : 0;
        if (length > 1 && code_point != 0xfffe && code_point != 0xffff) {
            out.append(bytes.substr(0, length));
        } else if (byte == '&') {
            out += "&amp;";
        } else if (byte == '<') {
            out += "&lt;";
        } else if (byte == '>') {
            out += "&gt;";
        } else if (byte == '"') {
            out += "&quot;";
        } else if (byte == '\'') {
            out += "&apos;";
        } else if (byte == '\t' || byte == '\n' || byte == '\r') {
            out += "&#" + std::to_string(byte) + ";";
        } else if (length == 1 && byte >= 0x20 && byte != 0x7f) {
            out += static_cast<char>(byte);
        } else {
            // One byte at a time, so that a sequence XML cannot hold shows all its bytes.
            length = 1;
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        }
        bytes.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return out;
}

}  // namespace morvcfg
