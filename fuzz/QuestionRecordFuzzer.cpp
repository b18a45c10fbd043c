// The encodings of a stored question row: option packing, the cleaning rules
// and the option count, on arbitrary column values.
#include "FuzzFields.h"
#include "questions/QuestionRecord.h"
#include "questions/TextRules.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzFields fields(data, size);
    QuestionRecord row;
    row.title = fields.next();
    row.answer = fields.next();
    row.did = fields.next();
    row.options = fields.rest();

    // Packing the pieces gives the stored value back, with the separator
    // after the last slot that a value without one lacked.
    const auto slots = QuestionRecord::splitOptions(row.options);
    const std::string packed = QuestionRecord::packOptions(slots);
    FUZZ_CHECK(packed == row.options || packed == row.options + QuestionRecord::optionSeparator ||
               (row.options.empty() && packed.empty()));

    for (const std::string& text :
         {QuestionRecord::cleanDrawnText(row.title), QuestionRecord::cleanDrawnText(row.options),
          QuestionRecord::cleanDrawnAnswer(row.answer)}) {
        FUZZ_CHECK(TextRules::removeSpaces(text) == text);
    }
    const std::string added = QuestionRecord::cleanAddedTitle(row.title);
    FUZZ_CHECK(added.size() <= row.title.size());

    const std::string content = QuestionRecord::optionsToContent(row.options);
    if (TextRules::find(row.options, "\r\n") == std::string_view::npos)
        FUZZ_CHECK(QuestionRecord::contentToOptions(content) == row.options);
    QuestionRecord::optionsToLines(row.options);

    const int visible = QuestionRecord::visibleOptionCount(row.did);
    FUZZ_CHECK(visible >= 2 && visible <= 4);
    const auto index = QuestionRecord::didComboIndex(row.did);
    FUZZ_CHECK(!index || (*index >= 0 && *index <= 2));
    if (index)
        FUZZ_CHECK(QuestionRecord::didToInteger(QuestionRecord::didFromItemValue(*index + 2)) == *index + 2);
    return 0;
}
