// The answer report over a paper whose texts come from arbitrary rows.
#include "FuzzFields.h"
#include "app/AnswerReport.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields fields(data, size);
    Paper paper;
    for (int number = 1; number <= Paper::size && !fields.atEnd(); ++number) {
        PaperEntry& entry = paper.entry(number);
        entry.title = fields.next();
        entry.options = fields.next();
        entry.answer = fields.next();
        entry.chosen = fields.next();
    }

    // The report is its head, one row per question in order, and its close.
    const std::string report = AnswerReport::build(paper);
    std::string pieces = AnswerReport::headPiece();
    int scored = 0;
    for (int number = 1; number <= Paper::size; ++number) {
        const PaperEntry& entry = paper.entry(number);
        const std::string row = AnswerReport::row(number, entry);
        FUZZ_CHECK(row.find("<td>" + std::to_string(number) + "</td>") != std::string::npos);
        pieces += row;
        scored += AnswerReport::scores(entry) ? 1 : 0;
    }
    pieces += AnswerReport::closingPiece();
    FUZZ_CHECK(report == pieces);

    const int score = AnswerReport::score(paper);
    FUZZ_CHECK(score == scored && score >= 0 && score <= Paper::size);

    // Escaped text holds no markup of its own.
    const std::string escaped = AnswerReport::escapeHtml(fields.rest());
    FUZZ_CHECK(escaped.find_first_of("<>") == std::string::npos);
    return 0;
}
