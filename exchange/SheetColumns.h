#pragma once

#include "exchange/ParsedBank.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// A sheet as the spreadsheet formats read it: rows of UTF-8 cells, each row
// with the number a spreadsheet program shows for it.
struct SheetRow {
    int number = 0;
    std::vector<std::string> cells;
    // Cells that hold something other than the text the user sees (a formula
    // without its result, an error value, a date): column from 0 and the
    // reason (GBK), naming the cell. Such a row makes a problem, not a
    // question, when one of these cells is in a column the bank reads.
    std::vector<std::pair<int, std::string>> unread = {};
};

// The column layout shared by CSV and the spreadsheets: a header row naming
// the columns (题目, 选项A to 选项D, 答案, or Title, A to D, Answer, in any
// order), then one question per row. Options E and F are read too, so that a
// sheet with too many options is reported instead of cut short. A sheet of
// the bank's own columns (Title, Tmnr, Answer), as the export of query
// results writes it, reads the same way. Two more columns may follow:
// 题型 (Type) and 分类 (Category).
class SheetColumns {
public:
    // What a spreadsheet reader holds any file to, so that memory and time
    // stay bounded whatever a file claims.
    static constexpr std::size_t maxRows = 1048576;
    static constexpr std::size_t maxCells = 3000000;
    static constexpr std::size_t maxTextBytes = 96u << 20;
    static constexpr int maxCellCharacters = 32767;
    // "A", "B", ... "AA": the column as a spreadsheet program names it.
    static std::string columnName(int column);
    // The error text (GBK) when a limit is passed.
    static std::string tooManyRows();
    static std::string tooManyCells();
    static std::string tooMuchText();
    static std::string cellTooLong(int row, int column);

    static std::vector<std::string> headerNames();

    // Rows one at a time: the first row that is not empty must be the
    // header, empty rows are skipped. True when the row made a question.
    bool take(SheetRow&& row, BankQuestion& question);
    // The same, copying the cells into the texts question holds already.
    bool take(const SheetRow& row, BankQuestion& question);
    // Set once a first row turned out not to be a header, or at the end
    // when no row held anything.
    const std::string& error() const { return error_; }
    // Rows refused for a cell that could not be read as the user sees it.
    const std::vector<BankProblem>& problems() const { return problems_; }
    void finish();

    // All rows at once.
    static ParsedBank toQuestions(std::vector<SheetRow> rows);
    // The pieces of packed options, split at every bar.
    static std::vector<std::string> splitPacked(std::string_view packed);
    // Header and one row per question, options padded to four columns; the
    // type and category columns only when some question needs them.
    static std::vector<std::vector<std::string>> toCells(const std::vector<BankQuestion>& questions);
    // The header and one example question.
    static std::vector<BankQuestion> templateQuestions();

private:
    bool takeHeader(const SheetRow& row);
    bool reads(int column) const;
    template <typename Row> bool fill(Row& row, BankQuestion& question);

    std::vector<int> where_; // column of each field, -1 when missing; empty before the header
    bool packed_ = false;
    int lastOption_ = 0;
    std::string error_;
    std::vector<BankProblem> problems_;
};
