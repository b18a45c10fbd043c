#include "exchange/AikenFormat.h"
#include "exchange/BankBackup.h"
#include "exchange/BankCommand.h"
#include "exchange/BankFormat.h"
#include "exchange/CsvFormat.h"
#include "exchange/GiftFormat.h"
#include "platform/CodePage.h"

#include "exchange/ExchangeTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <sys/stat.h>

// Every field, so that a question that comes back on another line counts as changed.
static bool operator==(const BankQuestion& a, const BankQuestion& b)
{
    return a.line == b.line && a.title == b.title && a.options == b.options && a.answer == b.answer;
}

namespace {

const std::string dataFolder = std::string(MOCKEXAM_TESTS_DIR) + "/exchange/data/texts/";

std::string text(const QJsonValue& value)
{
    return value.toString().toStdString();
}

// Files written by other programs or by hand, each read into the bank its
// expected file holds.
TEST(TextRoundTrip, FilesFromOtherWritersReadAsExpected)
{
    for (const char* name : {"hand.gift", "hand.txt", "hand-gbk.txt", "python.csv", "python-gbk.csv"}) {
        SCOPED_TRACE(name);
        QFile file(QString::fromStdString(dataFolder + name + ".expected.json"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QJsonObject expected = QJsonDocument::fromJson(file.readAll()).object();
        std::vector<BankQuestion> questions;
        for (const QJsonValue& v : expected["questions"].toArray()) {
            BankQuestion q{v["line"].toInt(), text(v["title"]), {}, text(v["answer"])};
            for (const QJsonValue& o : v["options"].toArray())
                q.options.push_back(text(o));
            questions.push_back(q);
        }
        std::vector<int> problemLines;
        for (const QJsonValue& v : expected["problemLines"].toArray())
            problemLines.push_back(v.toInt());

        const ParsedBank bank = BankFormat::readFile(dataFolder + name, *BankFormat::fromPath(name));
        EXPECT_EQ(platform::gbkToUtf8(bank.error), "");
        EXPECT_EQ(bank.questions, questions);
        std::vector<int> lines;
        for (const BankProblem& p : bank.problems)
            lines.push_back(p.line);
        EXPECT_EQ(lines, problemLines);
    }
}

// Questions as the bank holds them: trimmed titles with CR LF breaks,
// options without spaces or breaks.
std::vector<BankQuestion> nastyBank()
{
    return {
        {0, "他说：\"你好,世界\"", {"逗号,在中间", "\"引号\"", "A.", "B)"}, "A"},
        {0, "第一行\r\n  缩进的第二行  \r\n第三行", {"镕", "堃", "喆", "昇"}, "B"},
        {0, "符号~=#{}:->\\都在题目里", {"a->b", "~x", "=y", "{z}"}, "C"},
        {0, "选项有井号和冒号", {"#1", "::名::", "%50%半", "\\n"}, "D"},
        {0, "[判断] 方括号开头的题目", {"对", "错"}, "A"},
        {0, "[html]像格式名的开头", {"<b>", "</b>"}, "B"},
        {0, "﹏﹋〇〡〢〣〤 GBK才有的字符", {"㈠", "㈡", "㈢"}, "C"},
        {0, "有空行的题目\r\n\r\n空行之后", {"甲", "乙"}, "A"},
        {0, "题目中像选项的一行\r\nA. 不是选项", {"甲", "乙"}, "B"},
    };
}

// Each format gives back every question exactly, or lists it by its number
// and leaves it out.
TEST(TextRoundTrip, EachFormatGivesBackEveryQuestionOrListsIt)
{
    using Kind = BankFormat::Kind;
    const std::vector<BankQuestion> bank = nastyBank();
    const std::vector<std::tuple<Kind, std::string, std::vector<int>>> ways = {
        {Kind::Csv, CsvFormat::write(bank), {}},
        {Kind::Csv, CsvFormat::write(bank, TextEncoding::Gbk), {}},
        {Kind::Aiken, AikenFormat::write(bank), {2, 8, 9}},
        {Kind::Gift, GiftFormat::write(bank), {}},
    };
    for (const auto& [kind, file, leftOut] : ways) {
        SCOPED_TRACE(file);
        std::vector<int> listed;
        for (const BankProblem& p : BankFormat::leftOut(kind, bank))
            listed.push_back(p.line);
        EXPECT_EQ(listed, leftOut);
        std::vector<BankQuestion> expected;
        for (std::size_t i = 0; i < bank.size(); ++i) {
            if (std::find(listed.begin(), listed.end(), static_cast<int>(i) + 1) != listed.end())
                continue;
            expected.push_back(bank[i]);
            if (kind == Kind::Csv)
                expected.back().options.resize(4);
        }
        ParsedBank back = BankFormat::readBytes(file, kind);
        EXPECT_TRUE(back.problems.empty() && back.error.empty());
        for (BankQuestion& q : back.questions)
            q.line = 0;
        EXPECT_EQ(back.questions, expected);
    }
    const std::vector<BankProblem> listed = BankFormat::leftOut(Kind::Aiken, bank);
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(platform::gbkToUtf8(listed[1].reason), "“有空行的题目…”没有导出：题目中有空行，Aiken格式以空行分隔题目");
    // Aiken keys one letter: a multiple-answer question is listed, not written as "ANSWER: AC".
    const BankQuestion multiple{.title = "m", .options = {"a", "b", "c"}, .answer = "AC"};
    EXPECT_EQ(BankFormat::leftOut(Kind::Aiken, {multiple}).size(), 1u);
    EXPECT_EQ(AikenFormat::write({multiple}), "");
}

// One stray byte is named where it stands, not taken for another encoding.
TEST(TextRoundTrip, AStrayByteIsNamedByRowAndColumnInEitherEncoding)
{
    const std::string header = "题目,选项A,选项B,答案\r\n";
    const std::string utf8 = header + "一,甲,乙,A\r\n\"二\n行\",甲,乙\xE4,B\r\n三,甲,乙,A\r\n";
    for (const TextEncoding encoding : {TextEncoding::Auto, TextEncoding::Utf8}) {
        const ParsedBank bank = CsvFormat::read(utf8, encoding);
        EXPECT_TRUE(bank.questions.empty());
        const std::string error = platform::gbkToUtf8(bank.error);
        EXPECT_NE(error.find("第3行第3列有不属于UTF-8编码的字节"), std::string::npos) << error;
    }
    const std::string gbk = platform::utf8ToGbk(header + "一,甲,乙,A\r\n") + "x,\"y\r\n,\xFF\",z,A\r\n";
    const std::string error = platform::gbkToUtf8(CsvFormat::read(gbk).error);
    EXPECT_NE(error.find("第3行第2列有不属于GBK编码的字节"), std::string::npos) << error;

    const ParsedBank aiken = AikenFormat::read(platform::utf8ToGbk("第一题\nA. 甲\n") + "B. \xFF\nANSWER: A\n");
    EXPECT_NE(platform::gbkToUtf8(aiken.error).find("第3行第4个字节处有不属于GBK编码的字节"), std::string::npos)
        << platform::gbkToUtf8(aiken.error);
    const ParsedBank gift = GiftFormat::read("题目一 {=甲 ~乙}\n\n题目二 {=甲 ~乙\xC0}\n");
    EXPECT_NE(platform::gbkToUtf8(gift.error).find("第3行"), std::string::npos) << platform::gbkToUtf8(gift.error);
    EXPECT_EQ(GiftFormat::read(platform::utf8ToGbk("题目一 {=甲 ~乙}\n")).questions.size(), 1u);
}

struct Outcome {
    int code;
    std::string err;
};

Outcome runTool(const ScratchBank& bank, const std::string& command, const std::string& path)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = BankCommand::run({command, path}, bank.path, out, err);
    std::rewind(err);
    char buffer[4096];
    Outcome outcome{code, std::string(buffer, std::fread(buffer, 1, sizeof buffer, err))};
    std::fclose(out);
    std::fclose(err);
    return outcome;
}

TEST(TextRoundTrip, InputsThatAreNoReadableFileEndTheToolWithoutABackup)
{
    ScratchBank bank;
    const auto refused = [&](const std::string& path, const std::string& why, const char* command = "import") {
        SCOPED_TRACE(path);
        const Outcome outcome = runTool(bank, command, path);
        EXPECT_EQ(outcome.code, BankCommand::Failure);
        EXPECT_NE(outcome.err.find(why), std::string::npos) << outcome.err;
        EXPECT_TRUE(BankBackup::copies(bank.path).empty());
        EXPECT_TRUE(bank.rows().empty());
    };
    for (const char* name : {"x.xlsx", "x.xls", "x.gift", "x.txt", "x.csv"}) {
        std::filesystem::create_directory(bank.file(name));
        refused(bank.file(name), "这是一个文件夹，不是文件");
    }
    refused(bank.file("x.csv"), "这是一个文件夹，不是文件", "restore");
    ASSERT_EQ(::mkfifo(bank.file("pipe.csv").c_str(), 0600), 0);
    refused(bank.file("pipe.csv"), "这不是普通文件");
    std::filesystem::create_symlink("/dev/zero", bank.file("device.txt"));
    refused(bank.file("device.txt"), "这不是普通文件");
    refused(bank.file("missing.gift"), "文件不存在");

    writeText(bank.file("big.csv"), "x");
    std::filesystem::resize_file(bank.file("big.csv"), BankFormat::sizeLimit + 1);
    refused(bank.file("big.csv"), "文件大于50MB");

    writeText(bank.file("closed.txt"), "题\nA. 1\nB. 2\nANSWER: A\n");
    ::chmod(bank.file("closed.txt").c_str(), 0);
    if (::geteuid() != 0) {
        refused(bank.file("closed.txt"), "没有读取这个文件的权限");
        return;
    }
    // The superuser reads any file: a child that gives up its rights asks instead.
    ::chmod(bank.folder.c_str(), 0755);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string error;
        const bool asNobody = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        const bool refusedForRights = !BankFormat::checkReadable(bank.file("closed.txt"), error) &&
                                      platform::gbkToUtf8(error).find("没有读取这个文件的权限") != std::string::npos;
        ::_exit(asNobody && refusedForRights ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
