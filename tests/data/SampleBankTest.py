#!/usr/bin/env python3
"""Checks the sample bank and profile that the build puts beside the program, and the
build steps that make them.

Registered with CTest from data/CMakeLists.txt, which passes the paths in the environment:
SAMPLE_BANK, SAMPLE_PROFILE, PROFILE_SOURCE, MAKE_BANK, MAKE_PROFILE, CMAKE_COMMAND,
SQLITE3, ICONV.
"""
import collections
import os
import sqlite3
import subprocess
import tempfile
import unittest

ENV = os.environ
LETTERS = "ABCD"
BLANKS = (" ", "\u3000")  # ASCII blank and the full-width blank (GBK A1 A1)


def split_options(text):
    """Splits packed options the way every reader of the bank does: empty pieces between
    bars are kept, one final empty piece is dropped, an empty text yields nothing."""
    if not text:
        return []
    pieces = text.split("|")
    if pieces[-1] == "":
        pieces.pop()
    return pieces


class BuiltBankTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        path = ENV["SAMPLE_BANK"]
        if not os.path.isfile(path):
            raise FileNotFoundError(f"{path} is missing: build the target sample_bank first")
        db = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
        try:
            cls.columns = [(r[1], r[2].upper(), r[5]) for r in db.execute("PRAGMA table_info(KS_SJTK)")]
            cls.rows = db.execute(
                "SELECT id, Title, Tmnr, Answer, did, typeof(did) FROM KS_SJTK ORDER BY id").fetchall()
        finally:
            db.close()

    def test_table_has_the_five_columns_in_query_order(self):
        # Every query is SELECT * and the bank grid addresses columns by position.
        self.assertEqual([c[0] for c in self.columns], ["id", "Title", "Tmnr", "Answer", "did"])
        self.assertEqual(self.columns[0][1:], ("INTEGER", 1), "id must be the integer key")

    def test_enough_distinct_questions(self):
        self.assertGreaterEqual(len(self.rows), 150)
        titles = collections.Counter(r[1] for r in self.rows)
        self.assertEqual([t for t, n in titles.items() if n > 1], [])

    def test_every_row_is_encoded_as_the_program_reads_it(self):
        for qid, title, tmnr, answer, did, did_type in self.rows:
            with self.subTest(id=qid, title=title):
                self.assertIsInstance(tmnr, str)
                self.assertEqual(tmnr.count("|"), 4, "four option slots, each closed by a bar")
                self.assertTrue(tmnr.endswith("|"))
                options = split_options(tmnr)
                self.assertEqual(len(options), 4)

                self.assertEqual(did_type, "text")
                self.assertIn(did, ("2", "3", "4"))
                count = int(did)
                self.assertTrue(all(options[:count]), "every shown option has a text")
                self.assertFalse(any(options[count:]), "slots beyond the option count stay empty")

                self.assertIn(answer, LETTERS[:count], "the answer names a shown option")

                for text in [title] + options[:count]:
                    # The draw strips blanks and line breaks, the maintenance windows cannot
                    # store a quote, and the program holds everything as GBK.
                    self.assertFalse(any(b in text for b in BLANKS), text)
                    self.assertNotIn("\r", text)
                    self.assertNotIn("\n", text)
                    self.assertNotIn("'", text)
                    text.encode("gbk")
                self.assertTrue(title)

    def test_sample_exercises_every_option_count_letter_and_escaping(self):
        counts = collections.Counter(r[4] for r in self.rows)
        self.assertEqual(set(counts), {"2", "3", "4"})
        letters = collections.Counter(r[3] for r in self.rows)
        for letter in LETTERS:
            self.assertGreaterEqual(letters[letter], len(self.rows) // 10, f"answer {letter} is rare")
        # The answer report has to escape these.
        texts = [r[1] + r[2] for r in self.rows]
        for needle in ("<", "&", "["):
            self.assertTrue(any(needle in t for t in texts), needle)

    def test_every_question_has_the_category_of_its_group_in_the_source(self):
        source = os.path.join(os.path.dirname(ENV["MAKE_BANK"]), "questions.sql")
        expected, group = {}, None
        with open(source, encoding="utf-8") as f:
            for line in f:
                if line.startswith("-- ") and len(line.split()) == 2:
                    group = line.split()[1]
                elif line.startswith("INSERT INTO KS_SJTK"):
                    expected[line.split("VALUES ('", 1)[1].split("'", 1)[0]] = group
        db = sqlite3.connect(f"file:{ENV['SAMPLE_BANK']}?mode=ro", uri=True)
        try:
            found = dict(db.execute("SELECT Title, Category FROM KS_SJTK LEFT JOIN KS_TMFL USING (id)").fetchall())
        finally:
            db.close()
        self.assertEqual(len(set(expected.values())), 4)
        self.assertEqual(found, expected)


class BuiltProfileTest(unittest.TestCase):
    def setUp(self):
        path = ENV["SAMPLE_PROFILE"]
        if not os.path.isfile(path):
            self.fail(f"{path} is missing: build the target sample_bank first")
        with open(path, "rb") as f:
            self.data = f.read()

    def test_profile_is_gbk_with_crlf_lines(self):
        self.assertTrue(self.data.endswith(b"\r\n"))
        self.assertEqual(self.data.count(b"\n"), self.data.count(b"\r\n"), "bare LF")
        self.assertEqual(self.data.count(b"\r"), self.data.count(b"\r\n"), "bare CR")
        lines = self.data.decode("gbk").split("\r\n")
        self.assertEqual(lines[0], "[nev]")
        tite = [ln[len("tite="):] for ln in lines if ln.startswith("tite=")]
        self.assertEqual(len(tite), 1)

        with open(ENV["PROFILE_SOURCE"], encoding="utf-8") as f:
            source = f.read()
        self.assertIn("tite=" + tite[0] + "\n", source)
        self.assertTrue(tite[0])
        self.assertTrue(any(ord(c) > 127 for c in tite[0]), "the title is meant to be Chinese")


class BuildStepTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)
        return self.path(name)

    def run_script(self, script, **defs):
        args = [ENV["CMAKE_COMMAND"]] + [f"-D{k}={v}" for k, v in defs.items()] + ["-P", ENV[script]]
        return subprocess.run(args, capture_output=True, text=True)

    def make_bank(self, sql):
        return self.run_script("MAKE_BANK", SQLITE3=ENV["SQLITE3"], SQL=self.write("bank.sql", sql),
                               OUTPUT=self.path("tk.db"))

    def test_failed_load_keeps_the_previous_bank(self):
        self.write("tk.db", b"previous")
        for sql in (b"CREATE TABLE t(a);\nINSERT INTO t VALUES (1;\n",
                    b"CREATE TABLE t(a);\nINSERT INTO t VALUES ('open);\n",
                    b"CREATE TABLE t(a);\nINSERT INTO missing VALUES (1);\nINSERT INTO t VALUES (2);\n"):
            with self.subTest(sql=sql):
                result = self.make_bank(sql)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn("bank.sql", result.stderr)
                with open(self.path("tk.db"), "rb") as f:
                    self.assertEqual(f.read(), b"previous")
                self.assertEqual(sorted(os.listdir(self.dir.name)), ["bank.sql", "tk.db"])

    def test_successful_load_replaces_the_bank(self):
        self.write("tk.db", b"previous")
        result = self.make_bank("CREATE TABLE t(a);\nINSERT INTO t VALUES ('中文');\n".encode())
        self.assertEqual(result.returncode, 0, result.stderr)
        db = sqlite3.connect(self.path("tk.db"))
        try:
            self.assertEqual(db.execute("SELECT a FROM t").fetchall(), [("中文",)])
        finally:
            db.close()
        self.assertEqual(sorted(os.listdir(self.dir.name)), ["bank.sql", "tk.db"])

    def make_profile(self, source):
        return self.run_script("MAKE_PROFILE", ICONV=ENV["ICONV"], SOURCE=self.write("i.ini.in", source),
                               OUTPUT=self.path("i.ini"))

    def test_profile_lines_end_in_one_crlf_whatever_the_source_uses(self):
        for source in ("[nev]\ntite=题\n", "[nev]\r\ntite=题\r\n"):
            with self.subTest(source=source):
                result = self.make_profile(source.encode())
                self.assertEqual(result.returncode, 0, result.stderr)
                with open(self.path("i.ini"), "rb") as f:
                    self.assertEqual(f.read(), "[nev]\r\ntite=题\r\n".encode("gbk"))

    def test_text_outside_gbk_fails_and_keeps_the_previous_profile(self):
        self.write("i.ini", b"previous")
        result = self.make_profile("[nev]\ntite=\U0001F600\n".encode())
        self.assertNotEqual(result.returncode, 0)
        with open(self.path("i.ini"), "rb") as f:
            self.assertEqual(f.read(), b"previous")
        self.assertEqual(sorted(os.listdir(self.dir.name)), ["i.ini", "i.ini.in"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
