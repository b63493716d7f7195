#pragma once
// The small part of JSON the stamp log needs: one flat object a line, whose
// members are strings, numbers, true, false or null. Texts are UTF-8.

#include <map>
#include <optional>
#include <string>
#include <string_view>

// A member's value as written: the decoded text of a string, or the literal
// text of a number, true, false or null.
struct JsonValue {
  bool isString = false;
  std::string text;
};

using JsonObject = std::map<std::string, JsonValue, std::less<>>;

// One object, nothing but white space around it. A nested object or array,
// a repeated name, invalid UTF-8, a lone surrogate or anything else outside
// the grammar gives nullopt, with the reason in English in *why.
std::optional<JsonObject> ParseJsonObject(std::string_view text, std::string* why = nullptr);

// Appends text as a JSON string (quoted and escaped). Bytes that are not
// UTF-8 are written as U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Whether text is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view text);
