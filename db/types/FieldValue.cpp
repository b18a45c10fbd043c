#include "db/types/FieldValue.h"

#include <utility>

FieldValue::FieldValue(std::string text) : value_(std::move(text))
{
}

FieldValue::FieldValue(ByteArray bytes) : value_(std::move(bytes))
{
}

FieldValue::Kind FieldValue::kind() const
{
    switch (value_.index()) {
    case 1:
        return Kind::Text;
    case 2:
        return Kind::Bytes;
    default:
        return Kind::Integer;
    }
}

const std::string& FieldValue::text() const
{
    static const std::string none;
    const auto* text = std::get_if<std::string>(&value_);
    return text ? *text : none;
}

const ByteArray& FieldValue::bytes() const
{
    static const ByteArray none;
    const auto* bytes = std::get_if<ByteArray>(&value_);
    return bytes ? *bytes : none;
}
