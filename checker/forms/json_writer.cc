#include "checker/forms/json_writer.h"

#include "checker/analysis/utf8.h"

namespace morvcfg {
namespace {

constexpr char kHex[] = "0123456789abcdef";

}  // namespace

void JsonWriter::newline() {
    out_ += '\n';
    out_.append(2 * counts_.size(), ' ');
}

void JsonWriter::begin_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!counts_.empty()) {
        if (counts_.back()++ > 0) {
            out_ += ',';
        }
        newline();
    }
}

void JsonWriter::begin_object() {
    begin_value();
    out_ += '{';
    counts_.push_back(0);
}

void JsonWriter::begin_array() {
    begin_value();
    out_ += '[';
    counts_.push_back(0);
}

void JsonWriter::end_container(char close) {
    const bool empty = counts_.back() == 0;
    counts_.pop_back();
    if (!empty) {
        newline();
    }
    out_ += close;
    if (counts_.empty()) {
        out_ += '\n';
    }
}

void JsonWriter::end_object() {
    end_container('}');
}

void JsonWriter::end_array() {
    end_container(']');
}

void JsonWriter::key(std::string_view name) {
    string(name);
    out_ += ": ";
    after_key_ = true;
}

void JsonWriter::string(std::string_view bytes) {
    begin_value();
    out_ += '"';
    while (!bytes.empty()) {
        const auto byte = static_cast<unsigned char>(bytes.front());
        const std::size_t length = utf8_length(bytes);
        if (byte == '"' || byte == '\\') {
            out_ += '\\';
            out_ += static_cast<char>(byte);
        } else if (byte == '\n') {
            out_ += "\\n";
        } else if (byte == '\t') {
            out_ += "\\t";
        } else if (byte < 0x20) {
            out_ += "\\u00";
            out_ += kHex[byte >> 4U];
            out_ += kHex[byte & 0xFU];
        } else if (length == 0) {
            out_ += "\\\\x";
            out_ += kHex[byte >> 4U];
            out_ += kHex[byte & 0xFU];
        } else {
            out_.append(bytes.substr(0, length));
            bytes.remove_prefix(length - 1);
        }
        bytes.remove_prefix(1);
    }
    out_ += '"';
}

void JsonWriter::number(std::int64_t value) {
    begin_value();
    out_ += std::to_string(value);
}

void JsonWriter::boolean(bool value) {
    begin_value();
    out_ += value ? "true" : "false";
}

}  // namespace morvcfg
