#pragma once

#include "exam/Paper.h"
#include "papers/PaperDefinition.h"
#include "papers/PaperScore.h"

#include <string>
#include <string_view>

// Marking and the HTML answer report (GBK, charset gb2312): a head, one table
// row per question with its number, title, options, correct answer and the
// candidate's choice, and a closing piece.
class AnswerReport {
public:
    // A question scores when it was answered with exactly its correct letter,
    // or for a multiple-answer question exactly its set of letters.
    static bool scores(const PaperEntry& entry);
    static int score(const Paper& paper);
    // "得分为 【   n   】 分".
    static std::string scoreText(int score);
    // The same with a defined paper's points ("1.5").
    static std::string scoreText(const std::string& points);
    // A defined paper's marking of questions 1 to length; it refers to `defined`.
    static PaperScore mark(const Paper& paper, int length, const PaperDefinition& defined);

    // The whole report file, for questions 1 to length: 100 for an exam,
    // fewer for a short drill.
    static std::string build(const Paper& paper, int length = Paper::size);
    // A defined paper's report: the same rows, then a table per kind of
    // question with its points, the total and the result against the pass mark.
    static std::string build(const Paper& paper, int length, const PaperDefinition& defined);
    static std::string row(int number, const PaperEntry& entry);
    static std::string pointsPiece(const PaperScore& score, const PaperDefinition& defined);

    static const std::string& headPiece();
    static const std::string& oddRowPiece();
    static const std::string& evenRowPiece();
    static const std::string& closingPiece();

    // Question texts are not markup: "&", "<" and ">" become entities.
    static std::string escapeHtml(std::string_view text);
};
