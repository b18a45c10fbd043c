#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One row of the question table KS_SJTK and the encodings of its values.
// Tmnr packs four option slots (A to D), each followed by "|"; Answer is one
// capital letter; did is the option count as decimal text.
struct QuestionRecord {
    std::string id{};
    std::string title{};
    std::string options{};
    std::string answer{};
    std::string did{};

    static constexpr char optionSeparator[] = "|";
    static constexpr int slotCount = 4;

    // Each slot's text followed by the separator, whatever the option count.
    static std::string packOptions(const std::vector<std::string>& slots);
    // All pieces of a packed value; readers use the first four as A to D.
    static std::vector<std::string> splitOptions(std::string_view options);

    // Cleaning applied when a paper is drawn.
    static std::string cleanDrawnText(std::string_view text); // Title and Tmnr
    static std::string cleanDrawnAnswer(std::string_view answer);
    // Title as the bank window stores a new question.
    static std::string cleanAddedTitle(std::string_view title);
    // An option preview line as the bank window stores it.
    static std::string cleanOptionLine(std::string_view line);
    // Tmnr shown one option per line in the bank window.
    static std::string optionsToLines(std::string_view options);
    // Tmnr shown in, and taken back from, the correction window's content box.
    static std::string optionsToContent(std::string_view options);
    static std::string contentToOptions(std::string_view content);

    // How many options the examination shows for a did: 2, 3 or 4.
    static int visibleOptionCount(std::string_view did);
    // did converted to an integer the way the bank window reads it.
    static int didToInteger(std::string_view did);
    // Item of the bank window's option-count combo for a did, if any.
    static std::optional<int> didComboIndex(std::string_view did);
    // did written for the combo item value.
    static std::string didFromItemValue(int itemValue);
};
