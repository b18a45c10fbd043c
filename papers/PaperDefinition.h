#pragma once

#include "questions/QuestionKind.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A paper the administrator defines: which questions it draws, how long it
// runs and how it is marked. Points are held in tenths of a point, so every
// score the report lists adds up exactly to the total. Texts are GBK.
struct PaperDefinition {
    // So many questions of one category (or the whole bank) and one kind (or any).
    struct Rule {
        std::string category{}; // "" for the whole bank
        std::optional<QuestionKind::Kind> kind{};
        int count = 0;
        bool operator==(const Rule&) const = default;
    };
    // 练习 shows right and wrong at once; 考试 only after the hand-in.
    enum class Mode { Practice, Exam };

    // The exam window's grid has room for this many questions.
    static constexpr int maxQuestions = 100;
    static constexpr int maxMinutes = 600;
    // The stored name's column holds 100 characters; GBK bytes are never fewer.
    static constexpr std::size_t maxNameBytes = 100;
    static constexpr int maxPointsTenths = 1000;

    std::string name{};
    std::vector<Rule> rules{};
    int minutes = 60;
    std::array<int, QuestionKind::count> pointsTenths{10, 10, 10}; // by QuestionKind::Kind
    // A multiple-answer question earns part of its points for some of its
    // letters and no wrong one.
    bool partialCredit = false;
    int passMarkTenths = 0;
    Mode mode = Mode::Practice;
    bool handInWhenTimeUp = false;
    bool shuffleOptions = false;

    // Whether the editor holds changes not yet saved, for one.
    bool operator==(const PaperDefinition&) const = default;

    int questionCount() const;
    int pointsOf(QuestionKind::Kind kind) const { return pointsTenths[kind]; }
    // The most the paper can be worth: a rule of any kind counted at the
    // highest points of a kind.
    int highestTotalTenths() const;

    // Why the paper cannot be saved, in the program's words; empty when it can.
    std::string validate() const;

    // The rules as one text, a line "count TAB kind TAB category" each: the
    // kind's name or nothing for any kind, the category last. A line that
    // does not read as a rule comes back as a rule of no questions, for the
    // editor to show as one to mend.
    static std::string rulesText(const std::vector<Rule>& rules);
    static std::vector<Rule> rulesFromText(std::string_view text);
    // The whole definition as one text, for an attempt to keep the paper it
    // was drawn for as it was then, whatever becomes of the paper later.
    // nullopt for a text without a name.
    std::string toText() const;
    static std::optional<PaperDefinition> fromText(std::string_view text);

    // How a message names a rule's questions: “安全生产”的多选题, 整个题库的题目.
    static std::string describe(const Rule& rule);
    // The name the program's own paper has in every list.
    static const std::string& defaultName();
    static const std::string& modeName(Mode mode);
    // 2, 1.5, 0.3: tenths as the windows show and take them.
    static std::string pointsText(int tenths);
    // Digits with at most one decimal; nullopt for anything else.
    static std::optional<int> parsePoints(std::string_view text);
};
