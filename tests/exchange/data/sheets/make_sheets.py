#!/usr/bin/python3
"""Writes the workbooks the spreadsheet-reading tests import.

Run once with Debian's /usr/bin/python3 (python3-openpyxl) from this folder;
the files are committed, so the tests need neither Python nor LibreOffice.
cells.xls is cells.xlsx saved by LibreOffice Calc:
    soffice --headless --convert-to xls cells.xlsx
"""
import datetime

import openpyxl

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "题库"
sheet.append(["题目", "选项A", "选项B", "选项C", "选项D", "答案", "备注"])
# Row 2: plain texts and a whole number; the note column holds a formula
# without a stored result, which the bank does not read.
sheet.append(["一加一等于几？", "1", "2", 3, "4", "B", "=A2&\"!\""])
# Row 3: a formula without a stored result in an option (openpyxl never
# stores results).
sheet.append(["哪个是偶数？", "1", "2", "=1+2", "5", "B"])
# Row 4: a date.
sheet.append(["国庆节是哪天？", "十月一日", datetime.date(2019, 10, 1), "五月一日", "一月一日", "A"])
# Row 5: a percentage.
sheet.append(["一半是多少？", "25%", "30%", "40%", 0.5, "D"])
sheet["E5"].number_format = "0%"
# Rows 6 and 7: error values.
sheet.append(["查不到时显示什么？", "#N/A", "空白", "零", "无", "A"])
sheet.append(["除以零显示什么？", "#DIV/0!", "无穷", "零", "一", "A"])
# Row 8: an ordinary question after them all.
sheet.append(["中国的首都是哪座城市？", "北京", "上海", "广州", "深圳", "A"])
other = book.create_sheet("草稿")
other.append(["题目", "选项A", "选项B", "答案"])
other.append(["第二张表的题目", "甲", "乙", "A"])
book.save("cells.xlsx")
