#!/usr/bin/python3
"""Figures of each question from a results database, computed independently
of the program: handed-in exams only; discrimination is the Pearson
correlation of answering right with the rest of the attempt's right answers;
the top third is the first third (rounded up) of attempts by score, earlier
attempt first on equal scores.

Prints one line per question: key drawn facility A B C D unanswered
discrimination(or -) suspect(0/1)."""
import math
import sqlite3
import sys
from collections import defaultdict

db = sqlite3.connect(sys.argv[1])
db.text_factory = bytes
attempts = db.execute(
    "SELECT attempt_id, score FROM exam_attempt WHERE state='handed_in' AND kind='exam'").fetchall()
ranked = sorted(attempts, key=lambda a: (-(a[1] if a[1] is not None else -1), a[0]))
top = {a[0] for a in ranked[:(len(ranked) + 2) // 3]}
counted = {a[0] for a in attempts}

entries = defaultdict(list)
for attempt, key, answer, chosen in db.execute(
        "SELECT attempt_id, question_key, answer, chosen FROM exam_attempt_entry"):
    if attempt in counted and key != b"":
        entries[attempt].append((key, answer, chosen))

per_question = defaultdict(list)
for attempt, rows in entries.items():
    total = sum(1 for _, answer, chosen in rows if chosen != b"" and chosen == answer)
    for key, answer, chosen in rows:
        right = 1 if chosen != b"" and chosen == answer else 0
        per_question[key].append((right, total - right, chosen, answer, attempt in top))

for key, rows in per_question.items():
    n = len(rows)
    xs = [r[0] for r in rows]
    ys = [r[1] for r in rows]
    mx, my = sum(xs) / n, sum(ys) / n
    sxx = sum((x - mx) ** 2 for x in xs)
    syy = sum((y - my) ** 2 for y in ys)
    sxy = sum((x - mx) * (y - my) for x, y in zip(xs, ys))
    disc = sxy / math.sqrt(sxx * syy) if sxx > 1e-12 and syy > 1e-12 else None
    shares = [sum(1 for r in rows if r[2] == letter) / n for letter in (b"A", b"B", b"C", b"D")]
    unanswered = sum(1 for r in rows if r[2] == b"") / n
    keyed = sum(1 for r in rows if r[4] and r[0] == 1)
    wrong = defaultdict(int)
    for r in rows:
        if r[4] and r[0] == 0 and r[2] in (b"A", b"B", b"C", b"D"):
            wrong[r[2]] += 1
    suspect = (disc is not None and disc < 0) or max(wrong.values(), default=0) > keyed
    print(key.decode("latin-1"), n, sum(xs) / n, *shares, unanswered,
          "-" if disc is None else disc, 1 if suspect else 0)
