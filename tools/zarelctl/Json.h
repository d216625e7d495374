// A small JSON value for the --json output: numbers, texts, flags, lists and objects that keep the
// order in which fields were added.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zarelctl {

class Json {
public:
    Json() : kind_(Kind::Null) {}
    Json(bool value) : kind_(Kind::Bool), number_(value) {}
    Json(int value) : kind_(Kind::Number), number_(value) {}
    Json(long value) : kind_(Kind::Number), number_(value) {}
    Json(long long value) : kind_(Kind::Number), number_(value) {}
    Json(const char *text) : kind_(Kind::Text), text_(text) {}
    Json(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}

    static Json List(std::vector<Json> items);
    static Json Object() {
        Json object;
        object.kind_ = Kind::Object;
        return object;
    }

    // Adds a field to an object (the value must have been made with Object()).
    Json &Add(const std::string &key, Json value);

    // Compact JSON. Texts are the printer's 8-bit bytes: each byte is one character, so bytes
    // from 0x80 on are written as \u0080 to \u00FF and the output is always valid UTF-8.
    std::string Dump() const;

private:
    enum class Kind { Null, Bool, Number, Text, List, Object };
    Kind kind_;
    long long number_ = 0;
    std::string text_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> fields_;

    void DumpTo(std::string &out) const;
};

} // namespace zarelctl
