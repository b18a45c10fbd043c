#include "db/mysql/MysqlRecordset.h"

#include "db/mysql/MariadbLibrary.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <mysql.h>

namespace {

std::string copyText(const char* text, unsigned int length)
{
    return text ? std::string(text, length) : std::string();
}

std::size_t skipBlanks(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    return pos;
}

// Leading blanks, a sign and decimal digits; saturates instead of overflowing.
template <typename Integer> Integer textToInteger(const std::string& text)
{
    std::size_t pos = skipBlanks(text);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const Integer limit = negative ? std::numeric_limits<Integer>::min() : std::numeric_limits<Integer>::max();
    Integer value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (negative) {
            if (value < (limit + digit) / 10)
                return limit;
            value = value * 10 - digit;
        } else {
            if (value > (limit - digit) / 10)
                return limit;
            value = value * 10 + digit;
        }
    }
    return value;
}

// The same reading for reals, independent of the process locale.
double textToDouble(const std::string& text)
{
    std::size_t pos = skipBlanks(text);
    if (pos < text.size() && text[pos] == '+' && pos + 1 < text.size() && text[pos + 1] != '-')
        ++pos;
    double value = 0.0;
    const char* end = text.data() + text.size();
    if (std::from_chars(text.data() + pos, end, value).ec != std::errc())
        return 0.0;
    return value;
}

// The client library's escaping needs a connection for its character set.
// Without one no statement can run anyway; this escapes the same bytes
// byte by byte, so the literal is still safe to show or keep.
std::string escapeWithoutCharset(const ByteArray& bytes)
{
    std::string escaped;
    escaped.reserve(2 * bytes.size());
    for (std::uint8_t byte : bytes) {
        switch (byte) {
        case 0:
            escaped += "\\0";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case 0x1A:
            escaped += "\\Z";
            break;
        case '\\':
        case '\'':
        case '"':
            escaped += '\\';
            escaped += static_cast<char>(byte);
            break;
        default:
            escaped += static_cast<char>(byte);
        }
    }
    return escaped;
}

} // namespace

bool MysqlRecordset::attach(const MysqlConnection& connection)
{
    session_ = connection.session();
    handle_ = session_ ? session_->mysql : nullptr;
    return handle_ != nullptr;
}

bool MysqlRecordset::attachHandle(MYSQL* handle)
{
    MysqlConnection borrowed;
    borrowed.setHandle(handle);
    return attach(borrowed);
}

MysqlConnection MysqlRecordset::connection() const
{
    MysqlConnection connection;
    connection.setSession(session_);
    return connection;
}

bool MysqlRecordset::open(const std::string& text, std::optional<int> mode, const std::optional<ByteArray>& blob1,
                          const std::optional<ByteArray>& blob2, const std::optional<ByteArray>& blob3,
                          const std::optional<std::vector<int>>& textFlags)
{
    close();

    const int effectiveMode = mode.value_or(0) == 0 ? 1 : *mode;
    std::string sql = effectiveMode == 1 ? text : "Select * From " + text;

    if (textFlags && !textFlags->empty()) {
        // One pass over the statement text: a "?" inside a literal already
        // pasted in is never taken for a placeholder.
        const std::optional<ByteArray>* blobs[] = {&blob1, &blob2, &blob3};
        const std::size_t count = std::min<std::size_t>(textFlags->size(), 3);
        std::string pasted;
        pasted.reserve(sql.size());
        std::size_t next = 0;
        for (char c : sql) {
            if (c == '?' && next < count) {
                // A blob left out is stored as NULL, as on SQLite; an empty
                // one as an empty literal.
                const std::optional<ByteArray>& blob = *blobs[next++];
                pasted += blob ? escapeBlob(*blob) : std::string("NULL");
            } else {
                pasted += c;
            }
        }
        sql = std::move(pasted);
    }

    if (!handle_)
        return false;
    session_->reportedError.clear();
    if (session_->api.mysql_real_query(handle_, sql.data(), static_cast<unsigned long>(sql.size())) != 0)
        return false;
    MYSQL_RES* stored = session_->api.mysql_store_result(handle_);
    if (!stored)
        // No result set is normal for statements without one; a query whose rows
        // could not be fetched leaves a field count and an error behind.
        return session_->api.mysql_field_count(handle_) == 0;
    // The result keeps the connection it came from until it is freed.
    result_.reset(stored, [session = session_](MYSQL_RES* rows) { session->api.mysql_free_result(rows); });
    api_ = &session_->api;

    const unsigned int count = session_->api.mysql_num_fields(stored);
    if (const MYSQL_FIELD* described = session_->api.mysql_fetch_fields(stored)) {
        fields_.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            const MYSQL_FIELD& f = described[i];
            FieldInfo info;
            info.name = copyText(f.name, f.name_length);
            info.orgName = copyText(f.org_name, f.org_name_length);
            info.table = copyText(f.table, f.table_length);
            info.orgTable = copyText(f.org_table, f.org_table_length);
            info.db = copyText(f.db, f.db_length);
            info.catalog = copyText(f.catalog, f.catalog_length);
            info.def = copyText(f.def, f.def_length);
            info.length = f.length;
            info.maxLength = f.max_length;
            info.flags = f.flags;
            info.decimals = f.decimals;
            info.charsetnr = f.charsetnr;
            info.type = static_cast<int>(f.type);
            fields_.push_back(std::move(info));
        }
    }
    moveNext();
    return true;
}

void MysqlRecordset::close()
{
    result_.reset();
    ++resultSerial_;
    row_ = nullptr;
    fields_.clear();
}

std::int64_t MysqlRecordset::affectedRows() const
{
    if (!result_)
        return 0;
    return static_cast<std::int64_t>(api_->mysql_affected_rows(handle_));
}

std::int64_t MysqlRecordset::recordCount() const
{
    if (!result_)
        return 0;
    return static_cast<std::int64_t>(api_->mysql_num_rows(result_.get()));
}

int MysqlRecordset::fieldCount() const
{
    if (!result_)
        return 0;
    return static_cast<int>(api_->mysql_num_fields(result_.get()));
}

bool MysqlRecordset::moveNext()
{
    row_ = nullptr;
    if (result_)
        row_ = api_->mysql_fetch_row(result_.get());
    return row_ != nullptr;
}

bool MysqlRecordset::moveTo(std::int64_t row)
{
    row_ = nullptr;
    if (!result_)
        return false;
    if (row < 0 || row >= recordCount())
        return false;
    api_->mysql_data_seek(result_.get(), static_cast<my_ulonglong>(row));
    return moveNext();
}

bool MysqlRecordset::moveFirst()
{
    row_ = nullptr;
    return result_ && moveTo(0);
}

bool MysqlRecordset::moveLast()
{
    row_ = nullptr;
    return result_ && moveTo(recordCount() - 1);
}

std::string MysqlRecordset::fieldName(int index) const
{
    if (index < 0 || index >= fieldCount() || static_cast<std::size_t>(index) >= fields_.size())
        return {};
    return fields_[index].name;
}

int MysqlRecordset::fieldIndex(const std::string& name) const
{
    if (name.empty())
        return -1;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name == name)
            return static_cast<int>(i);
    return -1;
}

long MysqlRecordset::fieldLength(const std::string& name) const
{
    const int index = fieldIndex(name);
    return index < 0 ? -1 : static_cast<long>(fields_[index].length);
}

long MysqlRecordset::fieldMaxLength(const std::string& name) const
{
    const int index = fieldIndex(name);
    return index < 0 ? -1 : static_cast<long>(fields_[index].maxLength);
}

std::string MysqlRecordset::fieldNameList() const
{
    std::string list;
    if (!result_)
        return list;
    for (const FieldInfo& field : fields_) {
        list += field.name;
        list += ',';
    }
    return list;
}

// The cell of the named field in the current row; index -1 when there is none.
const char* MysqlRecordset::cell(const std::string& name, int& index) const
{
    index = -1;
    if (!result_ || !row_)
        return nullptr;
    index = fieldIndex(name);
    return index < 0 ? nullptr : row_[index];
}

bool MysqlRecordset::readText(const std::string& name, std::string& out) const
{
    return readTextAt(result_ && row_ ? fieldIndex(name) : -1, out);
}

bool MysqlRecordset::readTextAt(int index, std::string& out) const
{
    out.clear();
    if (!result_ || !row_ || index < 0 || static_cast<std::size_t>(index) >= fields_.size())
        return false;
    if (row_[index])
        out.assign(row_[index]);
    return true;
}

bool MysqlRecordset::readDouble(const std::string& name, double& out) const
{
    out = 0.0;
    std::string text;
    if (!readText(name, text))
        return false;
    out = textToDouble(text);
    return true;
}

bool MysqlRecordset::readFloat(const std::string& name, float& out) const
{
    out = 0.0f;
    std::string text;
    if (!readText(name, text))
        return false;
    out = static_cast<float>(textToDouble(text));
    return true;
}

bool MysqlRecordset::readInt(const std::string& name, int& out) const
{
    out = 0;
    std::string text;
    if (!readText(name, text))
        return false;
    out = textToInteger<int>(text);
    return true;
}

bool MysqlRecordset::readInt64(const std::string& name, std::int64_t& out) const
{
    out = 0;
    std::string text;
    if (!readText(name, text))
        return false;
    out = textToInteger<std::int64_t>(text);
    return true;
}

bool MysqlRecordset::readBool(const std::string& name, bool& out) const
{
    out = false;
    std::string text;
    if (!readText(name, text))
        return false;
    out = textToInteger<int>(text) != 0;
    return true;
}

bool MysqlRecordset::readDateTime(const std::string& name, DateTimeValue& out, std::optional<int> part) const
{
    out = DateTimeValue::earliest();
    std::string text;
    if (!readText(name, text))
        return false;
    out = DateTimeValue::fromText(text);
    if (part == 1)
        out = out.datePart();
    else if (part == 2)
        out = out.timePart();
    return true;
}

bool MysqlRecordset::readBlob(const std::string& name, ByteArray& out) const
{
    out.clear();
    int index;
    const char* bytes = cell(name, index);
    if (index < 0)
        return false;
    const unsigned long* lengths = api_->mysql_fetch_lengths(result_.get());
    if (!lengths)
        return false;
    if (bytes)
        out.assign(bytes, bytes + lengths[index]);
    return true;
}

FieldValue MysqlRecordset::value(const std::optional<std::string>& name, std::optional<int> index) const
{
    std::string text;
    readText(name ? *name : fieldName(index.value_or(-1)), text);
    return FieldValue(std::move(text));
}

bool MysqlRecordset::readValue(FieldValue& out, const std::optional<std::string>& name, std::optional<int> index) const
{
    std::string text;
    if (!readText(name ? *name : fieldName(index.value_or(-1)), text))
        return false;
    out = FieldValue(std::move(text));
    return true;
}

void MysqlRecordset::navigationFlags(int position, int total, NavigationFlags& flags)
{
    NavigationFlags::update(position, total, flags);
}

std::string MysqlRecordset::escapeBlob(const ByteArray& bytes) const
{
    if (!handle_)
        return "'" + escapeWithoutCharset(bytes) + "'";
    std::string buffer(2 * bytes.size() + 1, '\0');
    const unsigned long written = session_->api.mysql_real_escape_string(
        handle_, buffer.data(), reinterpret_cast<const char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    buffer.resize(written == static_cast<unsigned long>(-1) ? 0 : written);
    return "'" + buffer + "'";
}
