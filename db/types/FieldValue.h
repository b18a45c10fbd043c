#pragma once

#include "platform/ByteArray.h"

#include <string>
#include <variant>

// A field read without a fixed type: the integer 0 (no such field, or no
// result), a GBK text, or the bytes of a blob column.
class FieldValue {
public:
    enum class Kind { Integer, Text, Bytes };

    FieldValue() = default;
    explicit FieldValue(std::string text);
    explicit FieldValue(ByteArray bytes);

    Kind kind() const;
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isText() const { return kind() == Kind::Text; }
    bool isBytes() const { return kind() == Kind::Bytes; }

    // The integer is always 0; text() and bytes() are empty for the other kinds.
    int integer() const { return 0; }
    const std::string& text() const;
    const ByteArray& bytes() const;

    bool operator==(const FieldValue& other) const = default;

private:
    std::variant<int, std::string, ByteArray> value_{0};
};
