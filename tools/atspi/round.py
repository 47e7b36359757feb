"""A whole round of examples/sample.kmd by keyboard alone, heard as a screen
reader hears it over AT-SPI: for every question its text, then the verdict
with the right answer; each choice's checked state; then a question added in
the editor, and every window's frame inside the screen.

What the round must say comes from the question file itself, never from the
screen. Run by tools/atspi/round.sh; exits non-zero on a failed check."""
import os
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

registry = pyatspi.Registry
failures = []
KEY_TAB, KEY_RETURN, KEY_SPACE, KEY_DOWN, KEY_UP = "Tab", "Return", "space", "Down", "Up"
INTERACTIVE = {"push button", "check box", "radio button", "combo box", "text",
               "password text", "spin button", "list", "tree", "table", "page tab",
               "menu item", "check menu item"}


# How each kind of question asks to be answered, as the answering page says.
PROMPTS = {"1": "回答を１つ選んで下さい。", "2": "回答を選んで下さい。（複数回答）",
           "3": "答えを入力して下さい。"}


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


# --- the question file, read as the file says ---------------------------------

def rtf_plain(rtf):
    """The text of one rich-text field in the dialect the program writes."""
    rtf = re.sub(r"\{\\fonttbl.*?\}\}", "", rtf, flags=re.S)
    rtf = re.sub(r"\{\\colortbl[^}]*\}", "", rtf)
    out, i = bytearray(), 0
    while i < len(rtf):
        c = rtf[i]
        if c == "\\":
            if rtf[i + 1] == "'":
                out.append(int(rtf[i + 2:i + 4], 16))
                i += 4
                continue
            word = re.match(r"\\([a-z]+)(-?\d+)? ?", rtf[i:])
            if word:
                if word.group(1) in ("par", "line"):
                    out += b"\n"
                i += word.end()
                continue
            out += rtf[i + 1].encode("cp932")
            i += 2
            continue
        if c not in "{}\r\n":
            out += c.encode("cp932")
        i += 1
    return out.decode("cp932").strip()


def questions(path):
    text = open(path, "rb").read().decode("cp932")
    found = {}
    for key, body in re.findall(r"<Mondai key='([^']*)'>(.*?)</Mondai>", text, re.S):
        found[key] = {
            "text": rtf_plain(re.search(r"<mondaibun>(.*?)</mondaibun>", body, re.S).group(1)),
            "type": re.search(r"<kaitou [^>]*type=(\d)", body).group(1),
            "choices": [(flag == "True", rtf_plain(rtf)) for flag, rtf in
                        re.findall(r"<sentakushi isSeikai=(\w+)>(.*?)</sentakushi>", body, re.S)],
        }
    return found


def squeeze(text):
    return re.sub(r"\s+", "", text or "")


# --- what a screen reader is told ---------------------------------------------

spoken = []


def state_of(node, state):
    try:
        return node.getState().contains(state)
    except Exception:
        return False


focus = [None]


def on_event(event):
    """Keeps what a screen reader speaks: the name and description of a
    control that gains the focus, a new name, description or text of the
    control that has it, and a notification as it shows."""
    try:
        source = event.source
        if event.type.startswith("object:state-changed:focused"):
            if event.detail1 == 1:
                focus[0] = source
                spoken.append(("focus", source.name, source.description))
        elif event.type.startswith("object:state-changed:showing"):
            if event.detail1 == 1 and source.getRoleName() == "notification":
                spoken.append(("notification", source.name, ""))
        elif source != focus[0]:
            return
        elif event.type.startswith("object:property-change:accessible-name"):
            spoken.append(("name", source.name, ""))
        elif event.type.startswith("object:property-change:accessible-description"):
            spoken.append(("description", "", source.description))
        elif event.type.startswith("object:text-changed:insert"):
            spoken.append(("text", "", str(event.any_data)))
    except Exception:
        pass


def settle(seconds=0.35):
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def key(name):
    """A key as the keyboard gives it: "Tab", "Return", "alt+m", "1"."""
    subprocess.run(["xdotool", "key", "--delay", "40", name], check=True)
    settle()


def bind_keys(texts):
    """Gives every character of the texts that has no key a key of its own,
    once, before the round. Else xdotool lends one spare key to each
    character in turn, and a program slowed down by the accessibility bus
    reads the key under the next character's binding: "あじさい" arrives
    as "じじさい" or not at all."""
    keymap = subprocess.run(["xmodmap", "-pke"], capture_output=True, text=True,
                            check=True).stdout
    spare = [int(k) for k in re.findall(r"^keycode +(\d+) =\s*$", keymap, re.M)]
    wanted = sorted({c for text in texts for c in text if ord(c) > 0x7e})
    if len(wanted) > len(spare):
        raise SystemExit("round: %d characters to type, %d spare keys" % (len(wanted), len(spare)))
    bindings = []
    for c, code in zip(wanted, spare):
        bindings += ["-e", "keycode %d = U%04X U%04X" % (code, ord(c), ord(c))]
    if bindings:
        subprocess.run(["xmodmap"] + bindings, check=True)


def typed_answers(expected):
    """What the rounds type: the right answer of every typed question."""
    return [text for q in expected.values() if q["type"] == "3"
            for ok, text in q["choices"] if ok]


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "80", text], check=True)
    settle()


def walk(node):
    if node is None:
        return
    yield node
    for child in node:
        yield from walk(child)


def app():
    for candidate in registry.getDesktop(0):
        if candidate is not None and candidate.name == "kuMemo":
            return candidate
    return None


def window(title, wait=3.0):
    end = time.time() + wait
    while time.time() < end:
        program = app()
        for frame in program or []:
            if frame is not None and frame.name == title and \
                    state_of(frame, pyatspi.STATE_SHOWING):
                return frame
        settle(0.2)
    return None


def wait_active(frame, wait=5.0):
    end = time.time() + wait
    while time.time() < end and not state_of(frame, pyatspi.STATE_ACTIVE):
        settle(0.1)
    active = state_of(frame, pyatspi.STATE_ACTIVE)
    check(active, "%s is the active window" % frame.name)
    if not active and os.environ.get("HEARD"):
        print("     windows:", [(f.name, f.getState().getStates()) for f in app()])
        subprocess.run(["import", "-window", "root", "/tmp/wt20_inactive.png"])


def focused(root):
    for node in walk(root):
        if state_of(node, pyatspi.STATE_FOCUSED) and node.getRoleName() in INTERACTIVE:
            return node
    return None


def tab_to(root, name, limit=25):
    for _ in range(limit):
        node = focused(root)
        if node is not None and node.name == name:
            return node
        key(KEY_TAB)
    raise SystemExit("FAIL Tab never reaches %r" % name)


def choices_on_page(main):
    rows = {}
    for node in walk(main):
        if node.getRoleName() in ("radio button", "check box"):
            number = re.match(r"\((\d+)\) (.*)", node.name or "")
            if number:
                rows[int(number.group(1))] = node
    return rows


# --- the round -----------------------------------------------------------------

def play_round(main, expected):
    tabs = [n for n in walk(main) if n.getRoleName() == "page tab list"][0]
    wait_active(main)
    key(KEY_RETURN)  # "スタート" is the default button of the list page
    asked = []
    for turn in range(len(expected)):
        settle(0.3)
        # The question is said together with how to answer it.
        heard = [squeeze(name) + squeeze(description) for _, name, description in spoken]
        candidates = [k for k, q in expected.items() if k not in asked and any(
            squeeze(q["text"]) in h and PROMPTS[q["type"]] in h for h in heard)]
        check(len(candidates) == 1, "question %d is said with its text (%s)" % (turn + 1, candidates))
        if os.environ.get("HEARD"):
            print("     heard:", spoken)
        if len(candidates) != 1:
            return
        said_for_question = len(spoken)
        question = expected[candidates[0]]
        asked.append(candidates[0])
        spoken.clear()
        answer_rightly = turn % 3 != 1
        rights = [text for ok, text in question["choices"] if ok]
        if question["type"] == "3":
            check(focused(main).getRoleName() == "text", "the entry box has the focus")
            type_text(rights[0] if answer_rightly else "x")
            key(KEY_RETURN)  # leaves the entry; with one click on, judges
        else:
            rows = choices_on_page(main)
            check(len(rows) == len(question["choices"]),
                  "each choice is a choice: %d of %d" % (len(rows), len(question["choices"])))
            by_text = {squeeze(node.name.split(" ", 1)[1]): n for n, node in rows.items()}
            if question["type"] == "1":
                wanted = [t for t in (rights if answer_rightly else
                          [t for ok, t in question["choices"] if not ok])][:1]
            else:
                wanted = rights if answer_rightly else rights[:1]
            picks = [by_text[squeeze(t)] for t in wanted if squeeze(t) in by_text]
            if len(picks) != len(wanted):
                return
            for n in picks:
                before = len(spoken)
                key(str(n))
                check(any(squeeze(rows[n].name.split(" ", 1)[1]) in squeeze(d + nm)
                          for _, nm, d in spoken[before:]), "the digit %d says what it picked" % n)
                if question["type"] == "2":
                    checked = sorted(m for m, node in rows.items()
                                     if state_of(node, pyatspi.STATE_CHECKED))
                    check(checked == sorted(picks[:picks.index(n) + 1]),
                          "the checked choices are %r" % checked)
            if question["type"] == "2":
                key(KEY_RETURN)  # "回 答"
        settle(0.3)
        verdict = "【正解しました】" if answer_rightly else "【不正解でした】"
        heard = [squeeze(name) + squeeze(description) for _, name, description in spoken]
        said = [h for h in heard if verdict in h and all(squeeze(r) in h for r in rights)]
        check(bool(said), "the verdict %s and the right answer %s are said" % (verdict, rights))
        if os.environ.get("HEARD"):
            print("     heard:", spoken)
        print("     %d events said for the question, %d for its answer" %
              (said_for_question, len(spoken)))
        spoken.clear()
        key(KEY_RETURN)  # "次問題"
    settle(0.5)
    list_tab = [n for n in tabs if n.name == "問題ﾘｽﾄ"][0]
    check(state_of(list_tab, pyatspi.STATE_SELECTED), "the round ends on the list page")
    check(len(asked) == len(expected), "every question was asked once")


def value_of(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, text.characterCount)


def add_question(editor):
    questions_list = [n for n in walk(editor) if n.name == "問題一覧"][0]
    rows_before = questions_list.childCount
    tab_to(editor, "新規問題")
    key(KEY_SPACE)
    check(focused(editor).name == "問題文", "新規問題 puts the focus into the question")
    type_text("Capital of Japan?")
    key(KEY_TAB)
    kind = focused(editor)
    check(kind is not None and kind.name == "回答の種類", "Tab reaches the answer type")
    types = ["1.ﾗｼﾞｵﾎﾞﾀﾝ(1つを選択)", "2.ﾁｪｯｸﾎﾞｯｸｽ(複数回答)", "3.ﾃｷｽﾄﾎﾞｯｸｽ(入力)"]
    before = value_of(kind)
    check(before in types, "the answer type's value is read: %r" % before)
    spoken.clear()
    step, back = (KEY_UP, KEY_DOWN) if before == types[-1] else (KEY_DOWN, KEY_UP)
    key(step)
    after = value_of(kind)
    check(after in types and after != before, "Up or Down changes the value to %r" % after)
    check(any(after in d for _, _, d in spoken), "the new value is said: %r" % spoken)
    key(back)
    key(KEY_TAB)
    type_text("Tokyo")
    key(KEY_TAB)
    key(KEY_SPACE)  # これが正解である
    key(KEY_TAB)
    key(KEY_SPACE)  # 回答追加
    tab_to(editor, "この問題を追加する")
    key(KEY_SPACE)
    settle(0.5)
    # A cell is read with its column's name before its text.
    names = [c.name for c in questions_list]
    check(any(n.endswith("Capital of Japan?") for n in names) and questions_list.childCount > rows_before,
          "the question is added to the list")


def run(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=10).stdout


def frames_inside_screen(width, height):
    """Every shown window of the program, its frame as the window manager
    drew it (borders and title bar) inside the screen."""
    for client in run("xdotool", "search", "--onlyvisible", "--name", "くう・めも|^文字$").split():
        info = run("xwininfo", "-id", client)
        x, y, w, h = (int(re.search(p + r":\s+(-?\d+)", info).group(1)) for p in
                      ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        extents = re.findall(r"\d+", run("xprop", "-id", client, "_NET_FRAME_EXTENTS"))
        left, right, top, bottom = (int(e) for e in extents[-4:]) if len(extents) >= 4 else (0,) * 4
        frame = (x - left, y - top, w + left + right, h + top + bottom)
        title = run("xdotool", "getwindowname", client).strip()
        check(frame[0] >= 0 and frame[1] >= 0 and frame[0] + frame[2] <= width
              and frame[1] + frame[3] <= height,
              "the frame of %r %r is inside the screen" % (title, frame))


def main():
    expected = questions(sys.argv[1])
    bind_keys(typed_answers(expected))
    registry.registerEventListener(
        on_event, "object:state-changed:focused", "object:state-changed:showing",
        "object:property-change:accessible-name",
        "object:property-change:accessible-description", "object:text-changed:insert")
    main_window = None
    for _ in range(50):
        program = app()
        if program is not None and program.childCount:
            main_window = program[0]
            break
        settle(0.2)
    check(main_window is not None, "the main window is on the bus")
    if main_window is None:
        return 1
    play_round(main_window, expected)

    wait_active(main_window)
    key("alt+m")  # "ﾓｰﾄﾞ(&M)"
    if os.environ.get("HEARD"):
        print("     after Alt+M:", [(n.getRoleName(), n.name) for n in walk(app())
                                    if state_of(n, pyatspi.STATE_FOCUSED)])
    key("n")         # "問題ﾌｧｲﾙ作成ﾓｰﾄﾞ(&N)"
    print("     editor")
    editor = window("くう・めも - 問題作成モード")
    check(editor is not None, "the editor comes up by keyboard")
    if editor is not None:
        add_question(editor)
        print("     style")
        key("ctrl+t")  # the style window
        style = window("文字")
        check(style is not None and focused(style) is not None
              and focused(style).name == "ﾌｫﾝﾄ", "Ctrl+T brings up the style window")
        print("     frames")
        frames_inside_screen(*map(int, os.environ.get("SCREEN", "1366x768").split("x")))
        shot = os.environ.get("SCREENSHOT")
        if shot:
            subprocess.run(["import", "-window", "root", shot])
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
