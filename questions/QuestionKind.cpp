#include "questions/QuestionKind.h"

#include "platform/CodePage.h"
#include "questions/AnswerKey.h"
#include "questions/QuestionRecord.h"

QuestionKind::Kind QuestionKind::of(std::string_view key, int optionCount)
{
    if (AnswerKey::isMultiple(key))
        return Multiple;
    return optionCount == 2 ? Judgement : Single;
}

QuestionKind::Kind QuestionKind::of(std::string_view key, std::string_view did)
{
    return of(key, QuestionRecord::visibleOptionCount(did));
}

const std::string& QuestionKind::name(Kind kind)
{
    switch (kind) {
    case Multiple:
        return GBK("多选");
    case Judgement:
        return GBK("判断");
    case Single:
        break;
    }
    return GBK("单选");
}

std::optional<QuestionKind::Kind> QuestionKind::parse(std::string_view utf8)
{
    if (utf8 == "单选" || utf8 == "single")
        return Single;
    if (utf8 == "多选" || utf8 == "multiple")
        return Multiple;
    if (utf8 == "判断" || utf8 == "judgement")
        return Judgement;
    return std::nullopt;
}

std::optional<QuestionKind::Kind> QuestionKind::fromName(std::string_view gbk)
{
    for (Kind kind : {Single, Multiple, Judgement})
        if (gbk == name(kind))
            return kind;
    return std::nullopt;
}

std::string QuestionKind::disagreement(Kind stated, std::string_view statedText, std::string_view key, int optionCount)
{
    const Kind actual = of(key, optionCount);
    if ((stated == Multiple) != (actual == Multiple))
        return stated == Multiple ? GBK("题型是多选，答案却只有一个字母")
                                  : GBK("题型是") + platform::utf8ToGbk(statedText) + GBK("，答案却有多个字母");
    if (stated == Judgement && actual != Judgement)
        return GBK("题型是判断，选项应是两个");
    return {};
}
