// The importer's JSON reader and its reading of shader exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "import_tool/json_reader.h"
#include "import_tool/shader_export.h"

static bool parse(const std::string& text, JsonValue* value, JsonError* error = nullptr) {
    JsonError ignored = {};
    return parse_json(text.data(), text.size(), value, error ? error : &ignored);
}

TEST(JsonReader, ValuesNestAndStringsDecodeEveryEscape) {
    JsonValue root;
    ASSERT_TRUE(
        parse("\xEF\xBB\xBF { \"a\": [1, -2.5e3, true, false, null, {}],\n \"s\": "
              "\"q\\\"\\\\\\/\\b\\f\\n\\r\\t\\u00e9\\u20AC\\ud83d\\ude00\", \"a\": 0 } ",
              &root));
    const JsonValue* array = json_member(root, "a");
    ASSERT_NE(array, nullptr);
    ASSERT_EQ(array->items.size(), 6u);
    EXPECT_EQ(array->items[0].text, "1");
    EXPECT_EQ(array->items[1].number, -2500.0);
    EXPECT_TRUE(array->items[2].boolean);
    EXPECT_EQ(array->items[3].kind, JsonKind::Boolean);
    EXPECT_EQ(array->items[4].kind, JsonKind::Null);
    EXPECT_EQ(array->items[5].kind, JsonKind::Object);
    EXPECT_EQ(json_member(root, "s")->text, "q\"\\/\b\f\n\r\t\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(json_member(root, "missing"), nullptr);
}

TEST(JsonReader, BadTextsSayWhatAndWhere) {
    const struct {
        const char* text;
        const char* what;
        int line, column;
    } cases[] = {
        {"{\"a\": 1,\n \"b\" 2}", "a member name without a colon", 2, 6},
        {"[1, 2", "an array without a comma or closing bracket", 1, 6},
        {"\"\\ud800x\"", "a lone high surrogate", 1, 8},
        {"\"tab\there\"", "a control character in a string", 1, 5},
        {"012", "a number with a leading zero", 1, 4},
        {"{} {}", "more text after the value", 1, 4},
        {"", "the text ends where a value should be", 1, 1},
        {"{'a': 1}", "a member without a quoted name", 1, 2},
        {"tru", "an unknown word", 1, 1},
    };
    for (const auto& c : cases) {
        JsonValue value;
        JsonError error = {};
        EXPECT_FALSE(parse(c.text, &value, &error)) << c.text;
        ASSERT_NE(error.what, nullptr) << c.text;
        EXPECT_STREQ(error.what, c.what) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
    }
    JsonValue deep;
    JsonError error = {};
    EXPECT_FALSE(parse(std::string(100000, '['), &deep, &error));
    EXPECT_STREQ(error.what, "nesting deeper than 200");
}

TEST(ShaderExport, TextsThatAreNoExportAreRefusedWithTheReason) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"{\"name\": \"x\"}", "it has no renderpass array"},
        {"[]", "it has no renderpass array"},
        {"{\"renderpass\": {}}", "its renderpass is not an array"},
        {"{\"renderpass\": [{\"type\": \"buffer\", \"code\": \"\"}]}", "its renderpass array has no image pass"},
        {"{\"renderpass\": [{\"type\": \"image\"}]}", "a renderpass entry without a type and code"},
        {"{\"Shader\": {\"renderpass\": [{\"type\": \"image\", \"code\": 5}]}}",
         "a renderpass entry without a type and code"},
    };
    for (const auto& c : cases) {
        JsonValue root;
        ASSERT_TRUE(parse(c.text, &root)) << c.text;
        ImportedPassSet set;
        const char* reason = import_shader_export(root, &set);
        ASSERT_NE(reason, nullptr) << c.text;
        EXPECT_STREQ(reason, c.reason) << c.text;
    }
}
