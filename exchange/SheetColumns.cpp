#include "exchange/SheetColumns.h"

#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionKind.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <type_traits>

namespace {

constexpr int optionColumns = 6;
constexpr int titleColumn = 0;
constexpr int answerColumn = optionColumns + 1;
// The packed options of the bank's own table, as the export of query results writes them.
constexpr int packedColumn = answerColumn + 1;
constexpr int typeColumn = packedColumn + 1;
constexpr int categoryColumn = typeColumn + 1;

std::string folded(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

// Field of a header cell: 0 title, 1..6 options A..F, 7 answer, then the packed options, type and category.
std::optional<int> fieldOf(const std::string& cell)
{
    const std::string name = folded(cell);
    if (name == "题目" || name == "title")
        return titleColumn;
    if (name == "答案" || name == "answer")
        return answerColumn;
    if (name == "tmnr")
        return packedColumn;
    if (name == "题型" || name == "type")
        return typeColumn;
    if (name == "分类" || name == "category")
        return categoryColumn;
    for (int i = 0; i < optionColumns; ++i) {
        const std::string letter(1, static_cast<char>('a' + i));
        if (name == letter || name == "选项" + std::string(1, static_cast<char>('A' + i)) || name == "选项" + letter)
            return i + 1;
    }
    return std::nullopt;
}

// The bank keeps no kind: a question of two options is written as 判断, which
// reads back into the same row.
const char* kindText(const BankQuestion& q)
{
    std::size_t shown = q.options.size();
    while (shown > 0 && q.options[shown - 1].empty())
        --shown;
    switch (QuestionKind::of(q.answer, static_cast<int>(shown))) {
    case QuestionKind::Multiple:
        return "多选";
    case QuestionKind::Judgement:
        return "判断";
    case QuestionKind::Single:
        break;
    }
    return "单选";
}

} // namespace

std::vector<std::string> SheetColumns::splitPacked(std::string_view packed)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < packed.size()) {
        const std::size_t bar = std::min(packed.find('|', start), packed.size());
        pieces.emplace_back(packed.substr(start, bar - start));
        start = bar + 1;
    }
    return pieces;
}

namespace {

bool isEmptyRow(const SheetRow& row)
{
    return std::all_of(row.cells.begin(), row.cells.end(), [](const std::string& c) { return c.empty(); });
}

} // namespace

std::string SheetColumns::columnName(int column)
{
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    return name;
}

std::string SheetColumns::tooManyRows()
{
    return GBK("表格超过") + std::to_string(maxRows) + GBK("行，超出了导入的上限，文件没有读入");
}

std::string SheetColumns::tooManyCells()
{
    return GBK("表格超过") + std::to_string(maxCells) + GBK("个单元格，超出了导入的上限，文件没有读入");
}

std::string SheetColumns::tooMuchText()
{
    return GBK("表格中的文字超过") + std::to_string(maxTextBytes >> 20) + GBK(" MB，超出了导入的上限，文件没有读入");
}

std::string SheetColumns::cellTooLong(int row, int column)
{
    return GBK("第") + std::to_string(row) + GBK("行") + columnName(column) + GBK("列超过") +
           std::to_string(maxCellCharacters) + GBK("个字符（表格单元格的上限），文件没有读入");
}

std::vector<std::string> SheetColumns::headerNames()
{
    return {"题目", "选项A", "选项B", "选项C", "选项D", "答案"};
}

bool SheetColumns::takeHeader(const SheetRow& row)
{
    where_.assign(categoryColumn + 1, -1);
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        if (std::optional<int> field = fieldOf(row.cells[c]); field && where_[*field] == -1)
            where_[*field] = static_cast<int>(c);
    }
    packed_ = where_[1] == -1 && where_[2] == -1 && where_[packedColumn] != -1;
    if (where_[titleColumn] == -1 || where_[answerColumn] == -1 || ((where_[1] == -1 || where_[2] == -1) && !packed_)) {
        error_ = GBK("第") + std::to_string(row.number) +
                 GBK("行不是表头：需要“题目、选项A、选项B、选项C、选项D、答案”这些列");
        return false;
    }
    lastOption_ = optionColumns;
    while (lastOption_ > 0 && where_[lastOption_] == -1)
        --lastOption_;
    return true;
}

bool SheetColumns::take(SheetRow&& row, BankQuestion& q)
{
    return fill(row, q);
}

bool SheetColumns::take(const SheetRow& row, BankQuestion& q)
{
    return fill(row, q);
}

bool SheetColumns::reads(int column) const
{
    if (column == where_[titleColumn] || column == where_[answerColumn] || column == where_[typeColumn] ||
        column == where_[categoryColumn])
        return true;
    if (packed_)
        return column == where_[packedColumn];
    for (int i = 1; i <= lastOption_; ++i)
        if (column == where_[i])
            return true;
    return false;
}

template <typename Row> bool SheetColumns::fill(Row& row, BankQuestion& q)
{
    if (!error_.empty() || (isEmptyRow(row) && row.unread.empty()))
        return false;
    if (where_.empty()) {
        takeHeader(row);
        return false;
    }
    std::string unread;
    for (const auto& [column, reason] : row.unread) {
        if (reads(column))
            unread += (unread.empty() ? "" : GBK("；")) + reason;
    }
    if (!unread.empty()) {
        problems_.push_back({row.number, std::move(unread)});
        return false;
    }
    if (isEmptyRow(row))
        return false;
    const auto put = [&row](std::string& to, int column) {
        if (column < 0 || static_cast<std::size_t>(column) >= row.cells.size())
            to.clear();
        else if constexpr (std::is_const_v<Row>)
            to.assign(row.cells[column]);
        else
            to = std::move(row.cells[column]);
    };
    q.line = row.number;
    put(q.title, where_[titleColumn]);
    put(q.answer, where_[answerColumn]);
    put(q.type, where_[typeColumn]);
    put(q.category, where_[categoryColumn]);
    if (packed_) {
        std::string packed;
        put(packed, where_[packedColumn]);
        q.options = splitPacked(packed);
        return true;
    }
    q.options.resize(static_cast<std::size_t>(lastOption_));
    for (int i = 1; i <= lastOption_; ++i)
        put(q.options[static_cast<std::size_t>(i - 1)], where_[i]);
    return true;
}

void SheetColumns::finish()
{
    if (where_.empty() && error_.empty())
        error_ = GBK("文件中没有内容");
}

ParsedBank SheetColumns::toQuestions(std::vector<SheetRow> rows)
{
    ParsedBank bank;
    SheetColumns columns;
    bank.questions.reserve(rows.size());
    for (SheetRow& row : rows) {
        BankQuestion q;
        if (columns.take(std::move(row), q))
            bank.questions.push_back(std::move(q));
    }
    columns.finish();
    bank.problems = columns.problems();
    if (!columns.error().empty()) {
        bank.problems.clear();
        bank.questions.clear();
        bank.error = columns.error();
    }
    return bank;
}

std::vector<std::vector<std::string>> SheetColumns::toCells(const std::vector<BankQuestion>& questions)
{
    // A bank of single answers without categories is written as it always was.
    const bool extra = std::any_of(questions.begin(), questions.end(), [](const BankQuestion& q) {
        return !q.category.empty() || AnswerKey::isMultiple(q.answer);
    });
    std::vector<std::vector<std::string>> cells;
    cells.reserve(questions.size() + 1);
    cells.push_back(headerNames());
    if (extra) {
        cells.back().push_back("题型");
        cells.back().push_back("分类");
    }
    for (const BankQuestion& q : questions) {
        std::vector<std::string> row{q.title};
        for (std::size_t i = 0; i < 4; ++i)
            row.push_back(i < q.options.size() ? q.options[i] : std::string());
        row.push_back(q.answer);
        if (extra) {
            row.push_back(kindText(q));
            row.push_back(q.category);
        }
        cells.push_back(std::move(row));
    }
    return cells;
}

std::vector<BankQuestion> SheetColumns::templateQuestions()
{
    return {{0, "中国的首都是哪座城市？", {"北京", "上海", "广州", "深圳"}, "A"}};
}
