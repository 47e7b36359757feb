"""A whole round of examples/sample.kmd by keyboard alone, checked by what the
screen reader Orca spoke: after each key the lines "SPEECH OUTPUT:" of its
debug log must hold the question with how to answer it, each pick and
unpick, the verdict with the right answer before the mark prompt, what a
typed answer's first Enter leaves for the second, the round's result, and
then a row of the question list with its columns' names.

What must be said comes from the question file; which choice a digit picks
comes from what Orca said the choices are. Run by `tools/atspi/round.sh orca`;
exits non-zero on a failed check. $ORCA_TRANSCRIPT names a file for what
Orca said after each key."""
import os
import re
import subprocess
import sys
import time

from round import PROMPTS, bind_keys, questions, squeeze, typed_answers

failures = []
MARK_PROMPT = "この問題に対するあなたの評価は？"


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
    return ok


class Speech:
    """The utterances of Orca's debug log, read as it grows."""

    def __init__(self, path):
        self.path, self.offset, self.said = path, 0, []
        self.mark = 0  # where the last key's speech begins

    def quiet(self, seconds=0.4, wait=3.0):
        """Waits until the log has not grown for a while."""
        end, size, since = time.time() + wait, -1, time.time()
        while time.time() < end:
            now = os.path.getsize(self.path)
            if now != size:
                size, since = now, time.time()
            elif time.time() - since >= seconds:
                return
            time.sleep(0.05)

    def read(self):
        with open(self.path, "rb") as log:
            log.seek(self.offset)
            chunk = log.read()
        whole = chunk[:chunk.rfind(b"\n") + 1]
        self.offset += len(whole)
        self.said += re.findall(r"SPEECH OUTPUT: '(.*?)' ?\{", whole.decode("utf-8", "replace"),
                                re.S)
        return self.said


speech = None
WAIT = float(os.environ.get("ORCA_WAIT", "4"))


class Transcript:
    """What Orca said after each key, kept in $ORCA_TRANSCRIPT as it comes:
    a key's line is written when the next one begins."""

    def __init__(self, path):
        self.out = open(path, "w", encoding="utf-8") if path else None
        self.pending = None

    def key(self, key, heard):
        self.flush()
        self.last_key = key
        self.pending = "  %-10s %s" % (key, " | ".join(heard))

    def more(self, heard):
        """All that the last key made Orca say, heard later."""
        self.pending = "  %-10s %s" % (self.last_key, " | ".join(heard))

    def heading(self, text):
        self.flush()
        self.pending = text

    def flush(self):
        if self.out and self.pending is not None:
            self.out.write(self.pending + "\n")
            self.out.flush()
        self.pending = None


transcript = Transcript(os.environ.get("ORCA_TRANSCRIPT"))


def says(utterance, *parts):
    """Whether one utterance holds every part, in this order; a list among
    the parts is held anywhere, in any order."""
    text, at = squeeze(utterance), 0
    for part in parts:
        if isinstance(part, list):
            if not all(squeeze(p) in text for p in part):
                return False
            continue
        at = text.find(squeeze(part), at)
        if at < 0:
            return False
        at += len(squeeze(part))
    return True


def press(key, *expected, what=None, wait=WAIT):
    """Presses a key (or types "type:TEXT") and waits until Orca has said
    every expected utterance: each a tuple of parts that one utterance holds
    in order. Returns what was said after the key; with nothing expected
    only what follows at once."""
    start = speech.mark = len(speech.read())
    if key.startswith("type:"):
        subprocess.run(["xdotool", "type", "--delay", "60", key[5:]], check=True)
    else:
        subprocess.run(["xdotool", "key", key], check=True)
    end = time.time() + wait
    while True:
        heard = speech.read()[start:]
        missing = [parts for parts in expected if not any(says(u, *parts) for u in heard)]
        if not missing or time.time() > end:
            break
        time.sleep(0.05)
    # What follows at once belongs to this key too; and the next key waits
    # for Orca, which else answers the program's key events late.
    speech.quiet()
    heard = speech.read()[start:]
    transcript.key(key, heard)
    if what is not None:
        check(not missing, "%s: %s" % (what, " / ".join(str(p) for p in missing) or "said"))
    return heard


def spoken_choices(heard):
    """The choices as Orca said them: number -> text."""
    for utterance in heard:
        if "数字ｷｰで回答を選び" in utterance:
            found = re.findall(r"\((\d+)\)\s*(.*?)(?=\s*\(\d+\)|\s*数字ｷｰで)", utterance)
            return {squeeze(text): int(number) for number, text in found}
    return {}


def play(expected):
    asked, rights_given, of_type = [], 0, {}
    press("Return")  # "スタート", the default button of the list page
    for turn in range(len(expected)):
        # The question and how to answer it, said as it comes up.
        end = time.time() + WAIT
        while True:
            heard = speech.read()[speech.mark:]
            candidates = [k for k, q in expected.items() if k not in asked and any(
                says(u, q["text"], PROMPTS[q["type"]]) for u in heard)]
            if candidates or time.time() > end:
                break
            time.sleep(0.05)
        transcript.more(heard)
        if not check(len(candidates) == 1, "question %d is said with its text and prompt (%s)"
                     % (turn + 1, candidates)):
            return
        key = candidates[0]
        # Each kind of question answered rightly, then wrongly, by turns.
        question = expected[key]
        right = of_type.get(question["type"], 0) % 2 == 0
        of_type[question["type"]] = of_type.get(question["type"], 0) + 1
        asked.append(key)
        transcript.heading("%s: %s" % (key, question["text"].replace("\n", " ")))
        rights = [text for ok, text in question["choices"] if ok]
        wrongs = [text for ok, text in question["choices"] if not ok]
        if question["type"] == "3":
            entry = rights[0] if right else "x"
            press("type:" + entry)
            press("Return", ("入力：", entry, "Enterで回答します。"),
                  what="%s: the first Enter says what comes next" % key)
        else:
            numbers = spoken_choices(heard)
            if not check(sorted(numbers) == sorted(squeeze(t) for _, t in question["choices"]),
                         "%s: the choices are said" % key):
                return
            if question["type"] == "1":
                picks = [rights[0]] if right else [wrongs[0]]
            else:
                picks = rights if right else rights[:1]
            for text in picks:
                n = numbers[squeeze(text)]
                press(str(n), ("(%d)" % n, text, "を選びました。"),
                      what="%s: the digit %d says its pick" % (key, n))
            if question["type"] == "2" and wrongs:
                n = numbers[squeeze(wrongs[0])]
                press(str(n), ("(%d)" % n, wrongs[0], "を選びました。"),
                      what="%s: the digit %d says its pick" % (key, n))
                press(str(n), ("(%d)" % n, wrongs[0], "の選択を外しました。"),
                      what="%s: the digit %d again says its unpick" % (key, n))
        verdict = "【正解しました】" if right else "【不正解でした】"
        heard = press("Return", (verdict, "正解：", rights, MARK_PROMPT),
                      what="%s: the verdict and the right answer come first" % key)
        said_first = next((u for u in heard if MARK_PROMPT in u or "正解：" in u), "")
        check(says(said_first, verdict, "正解："),
              "%s: nothing before the verdict says the mark prompt" % key)
        rights_given += right
        if turn + 1 < len(expected):
            press("Return")  # "次問題"
    asked_count = len(expected)
    result = "今回 %d問中 %d問正解 (%.1f%%)" % (asked_count, rights_given,
                                           100.0 * rights_given / asked_count)
    press("Return", (result,), what="the round's end says its result: " + result)
    check(len(asked) == len(expected), "every question was asked once")
    # On the list page, a row of the question list is read with its columns'
    # names: "ﾗﾝﾀﾞﾑ順", then the list, then the next row.
    press("Tab")
    press("Tab", ("問題一覧",))
    press("Down", ("問題 ",), ("正解数 ",), ("回答数 ",), ("正解率 ",), ("マーク ",),
          what="a row of the question list is read with its columns' names")


def main():
    global speech
    expected = questions(sys.argv[1])
    bind_keys(typed_answers(expected))
    speech = Speech(sys.argv[2])
    started = time.time()
    # The main window comes up with the focus on "スタート".
    end = time.time() + 20
    while not any("くう・めも" in u for u in speech.read()) and time.time() < end:
        time.sleep(0.1)
    check(time.time() < end, "Orca says the main window")
    time.sleep(0.5)
    play(expected)
    transcript.flush()
    print("%d failed, %.0f seconds" % (len(failures), time.time() - started))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
