#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvcfg {

// Writes JSON text, indented two blanks a level. Strings may hold any bytes: well-formed UTF-8
// is written as it is, control characters, quotes and backslashes are escaped as JSON escapes
// them, and every byte that is not part of well-formed UTF-8 is written as the four characters
// \xNN (its value in hexadecimal), the form messages already use for control bytes. The text is
// therefore always valid UTF-8 and valid JSON.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : out_(out) {}

    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The key of the next value, in an object.
    void key(std::string_view name);
    void string(std::string_view bytes);
    void number(std::int64_t value);
    void boolean(bool value);

    // A key and its value in one call.
    void field(std::string_view name, std::string_view bytes) {
        key(name);
        string(bytes);
    }
    void field(std::string_view name, std::int64_t value) {
        key(name);
        number(value);
    }

private:
    void begin_value();
    void end_container(char close);
    void newline();

    std::string& out_;
    // Values written so far in each open container.
    std::vector<std::size_t> counts_;
    bool after_key_ = false;
};

}  // namespace morvcfg
