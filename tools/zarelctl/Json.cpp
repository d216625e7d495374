#include "Json.h"

#include <cstdio>

namespace zarelctl {

Json Json::List(std::vector<Json> items) {
    Json list;
    list.kind_ = Kind::List;
    list.items_ = std::move(items);
    return list;
}

Json &Json::Add(const std::string &key, Json value) {
    fields_.emplace_back(key, std::move(value));
    return *this;
}

std::string Json::Dump() const {
    std::string out;
    DumpTo(out);
    return out;
}

namespace {

void DumpText(const std::string &text, std::string &out) {
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

} // namespace

void Json::DumpTo(std::string &out) const {
    switch (kind_) {
    case Kind::Null:
        out += "null";
        break;
    case Kind::Bool:
        out += number_ ? "true" : "false";
        break;
    case Kind::Number:
        out += std::to_string(number_);
        break;
    case Kind::Text:
        DumpText(text_, out);
        break;
    case Kind::List:
        out += '[';
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i) out += ',';
            items_[i].DumpTo(out);
        }
        out += ']';
        break;
    case Kind::Object:
        out += '{';
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (i) out += ',';
            DumpText(fields_[i].first, out);
            out += ':';
            fields_[i].second.DumpTo(out);
        }
        out += '}';
        break;
    }
}

} // namespace zarelctl
