#!/usr/bin/python3
# Writes the CSV files with Python's own csv module (run with /usr/bin/python3,
# standard library only) and the expected bank of every file in this folder.
import csv, json, os

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = ["题目", "选项A", "选项B", "选项C", "选项D", "答案"]

NASTY = [
    ('他说："你好,世界"', ["逗号,在中间", '"引号"', "A", "B"], "A"),
    ("第一行\r\n第二行\r\n\r\n空行之后", ["镕", "堃", "喆", "昇"], "B"),
    ("特殊符号 ~ = # { } : -> \\ 都在题目里", ["a->b", "~x", "=y", "{z}"], "C"),
    ("[判断] 方括号开头的题目", ["对", "错"], "A"),
    ("﹏﹋〇〡〢〣〤 GBK字符", ["㈠", "㈡", "㈢"], "C"),
    ("末尾只有逗号的选项", [",", ",,", "", ""], "B"),
]


def write_csv(name, encoding, **dialect):
    with open(os.path.join(HERE, name), "w", encoding=encoding, newline="") as f:
        w = csv.writer(f, **dialect)
        w.writerow(HEADER)
        for title, options, answer in NASTY:
            w.writerow([title] + (options + [""] * 4)[:4] + [answer])


def expected(name, questions, problem_lines=()):
    with open(os.path.join(HERE, name + ".expected.json"), "w", encoding="utf-8") as f:
        json.dump({"questions": questions, "problemLines": list(problem_lines)}, f, ensure_ascii=False, indent=1)


def q(line, title, options, answer):
    return {"line": line, "title": title, "options": options, "answer": answer}


write_csv("python.csv", "utf-8-sig")
write_csv("python-gbk.csv", "gbk", quoting=csv.QUOTE_ALL, lineterminator="\n")
rows, line = [], 2
for title, options, answer in NASTY:
    kept = (options + [""] * 4)[:4]
    rows.append(q(line, title, kept, answer))
    line += 1
expected("python.csv", rows)
expected("python-gbk.csv", rows)

expected("hand.gift", [
    q(4, "流程图中表示“流向”的是哪个符号？", ["->", "==", "#", "{ }"], "A"),
    q(11, "[判断] 水在零摄氏度结冰。", ["对", "错"], "A"),
    q(13, "中国的首都是哪座城市？", ["北京", "上海", "广州"], "A"),
    q(19, "第一行\r\n第二行有冒号: 和波浪号~", ["甲", "乙"], "B"),
], [24, 29])

aiken = [
    q(1, "What is the correct answer to this question?",
      ["Is it this one?", "Maybe this answer?", "Possibly this one?", "Must be this one!"], "D"),
    q(8, "下列哪一个是中国的首都？", ["上海", "北京", "广州"], "B"),
    q(14, "多行题目的第一行\r\n第二行：冒号, 逗号 \"引号\"", ["甲", "乙"], "A"),
]
expected("hand.txt", aiken, [20])
with open(os.path.join(HERE, "hand.txt"), encoding="utf-8") as src:
    text = src.read()
with open(os.path.join(HERE, "hand-gbk.txt"), "w", encoding="gbk", newline="\r\n") as dst:
    dst.write(text)
expected("hand-gbk.txt", aiken, [20])
