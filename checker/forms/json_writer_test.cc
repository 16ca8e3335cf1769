// JSON as the checker writes it: always valid, whatever bytes a file or its name holds.
#include "checker/forms/json_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace morvcfg {
namespace {

std::string string_of(std::string_view bytes) {
    std::string out;
    JsonWriter json(out);
    json.string(bytes);
    return out;
}

TEST(JsonWriterTest, EscapesWhatJsonEscapesAndShowsWhatIsNoUtf8) {
    EXPECT_EQ(string_of("plain"), "\"plain\"");
    EXPECT_EQ(string_of("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(string_of("\t\n\r\b\f"), "\"\\t\\n\\u000d\\u0008\\u000c\"");
    EXPECT_EQ(string_of(std::string("\0\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\x7f\"");
    EXPECT_EQ(string_of("caf\xC3\xA9 \xE6\x97\xA5"), "\"caf\xC3\xA9 \xE6\x97\xA5\"");
    EXPECT_EQ(string_of("\x80\xC3"), "\"\\\\x80\\\\xc3\"");
    EXPECT_EQ(string_of("\xED\xA0\x80"), "\"\\\\xed\\\\xa0\\\\x80\"");  // a surrogate is no UTF-8
}

TEST(JsonWriterTest, LaysOutNestedValues) {
    std::string out;
    JsonWriter json(out);
    json.begin_object();
    json.field("name", "b.cfg");
    json.field("count", -2);
    json.key("empty");
    json.begin_array();
    json.end_array();
    json.key("list");
    json.begin_array();
    json.boolean(true);
    json.number(7);
    json.end_array();
    json.end_object();
    EXPECT_EQ(
        out,
        "{\n  \"name\": \"b.cfg\",\n  \"count\": -2,\n  \"empty\": [],\n  \"list\": [\n    true,\n    7\n  ]\n}\n");
}

}  // namespace
}  // namespace morvcfg
