#pragma once

#include <optional>
#include <string>
#include <string_view>

// The three kinds of question a bank holds, told apart by what is stored: a
// key of several letters is a multiple-answer question (多选), a question of
// two options a true/false one (判断, as the sample bank's [判断] rows), any
// other a single-answer question (单选). Files may state the kind; a stated
// kind must agree with what the key and options make of the question.
class QuestionKind {
public:
    enum Kind { Single, Multiple, Judgement };
    static constexpr int count = 3;

    static Kind of(std::string_view key, int optionCount);
    // optionCount as the exam window shows it for a did.
    static Kind of(std::string_view key, std::string_view did);

    // 单选, 多选, 判断 (GBK).
    static const std::string& name(Kind kind);
    // A kind written in a file (UTF-8): 单选/多选/判断 or single/multiple/judgement.
    static std::optional<Kind> parse(std::string_view utf8);
    // A kind's name (GBK) as name() gives it.
    static std::optional<Kind> fromName(std::string_view gbk);

    // Why a question of this key and option count is not of the stated kind,
    // named as the file wrote it (UTF-8); empty when it is. A single-answer
    // question of two options may be stated either way.
    static std::string disagreement(Kind stated, std::string_view statedText, std::string_view key, int optionCount);
};
