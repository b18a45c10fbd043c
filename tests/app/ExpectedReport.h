#pragma once

#include "platform/CodePage.h"

#include <string>

// The report pieces written out by hand, line ends and all, so that tests
// compare the program's output with an independent copy.
namespace expected_report {

inline std::string head()
{
    return platform::utf8ToGbk("<html>\r\n"
                               "<head>\r\n"
                               "<title>参考答案如下</title>\r\n"
                               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />\r\n"
                               "<style>\r\n"
                               "<!--\r\n"
                               ".datalist{\r\n"
                               "\tborder:1px solid #0058a3;\t/* 表格边框 */\r\n"
                               "\tfont-family:Arial;\r\n"
                               "\tborder-collapse:collapse;\t/* 边框重叠 */\r\n"
                               "\tbackground-color:#eaf5ff;\t/* 表格背景色 */\r\n"
                               "\tfont-size:14px;\r\n"
                               "}\r\n"
                               ".datalist caption{\r\n"
                               "\tpadding-bottom:5px;\r\n"
                               "\tfont:bold 1.4em;\r\n"
                               "\ttext-align:left;\r\n"
                               "}\r\n"
                               ".datalist th{\r\n"
                               "\tborder:1px solid #0058a3;\t/* 行名称边框 */\r\n"
                               "\tbackground-color:#4bacff;\t/* 行名称背景色 */\r\n"
                               "\tcolor:#FFFFFF;\t\t\t\t/* 行名称颜色 */\r\n"
                               "\tfont-weight:bold;\r\n"
                               "\tpadding-top:4px; padding-bottom:4px;\r\n"
                               "\tpadding-left:12px; padding-right:12px;\r\n"
                               "\ttext-align:center;\r\n"
                               "}\r\n"
                               ".datalist td{\r\n"
                               "\tborder:1px solid #0058a3;\t/* 单元格边框 */\r\n"
                               "\ttext-align:left;\r\n"
                               "\tpadding-top:4px; padding-bottom:4px;\r\n"
                               "\tpadding-left:10px; padding-right:10px;\r\n"
                               "}\r\n"
                               ".datalist tr.altrow{\r\n"
                               "\tbackground-color:#c7e5ff;\t/* 隔行变色 */\r\n"
                               "}\r\n"
                               "body {\r\n"
                               "\tmargin-left: 0px;\r\n"
                               "\tmargin-top: 0px;\r\n"
                               "\tmargin-right: 0px;\r\n"
                               "\tmargin-bottom: 0px;\r\n"
                               "}\r\n"
                               "-->\r\n"
                               "</style>\r\n"
                               "   </head>\r\n"
                               "<body> \r\n"
                               "<table width=\"100%\" class=\"datalist\" summary=\"list of members in RU Zuzovu\">\r\n"
                               "\t<tr>\r\n"
                               "\r\n"
                               "<th width=\"5%\" scope=\"col\">编号</th>\t\t\r\n"
                               "<th width=\"30%\" scope=\"col\">标题</th>\r\n"
                               "\t\t<th width=\"30%\" scope=\"col\">选择</th>\r\n"
                               "\t\t<th width=\"6%\" scope=\"col\">正确</th>\r\n"
                               "\t\t<th width=\"6%\" scope=\"col\">预选</th>\r\n"
                               "\r\n"
                               "\r\n"
                               "\t</tr>");
}

// One row with its cells filled in; the cells are GBK already.
inline std::string row(int number, const std::string& title, const std::string& options, const std::string& answer,
                       const std::string& choice)
{
    std::string text = number % 2 ? platform::utf8ToGbk("<tr>\t\t\t\t\t<!-- 奇数行 -->\r\n<td>")
                                  : platform::utf8ToGbk("<tr class=\"altrow\">\t\t<!-- 偶数行 -->\r\n<td>");
    text += std::to_string(number);
    text += number % 2 ? "</td>\t\t\r\n<td>" : "</td>\t\t\t\r\n<td>";
    text += title + "</td>\r\n\t\t<td>" + options + "</td>\r\n\t\t<td>" + answer + "</td>\r\n\t\t<td>" + choice +
            "</td>\r\n\t</tr>";
    return text;
}

inline std::string closing()
{
    return "</table>\r\n</body>\r\n</html>";
}

inline std::string unanswered()
{
    return platform::utf8ToGbk("未答");
}

inline std::string wrongChoice(const std::string& letter)
{
    return "<strong><font  color=\"#FF0033\"><h2>" + letter + "</h2></font></strong>";
}

} // namespace expected_report
