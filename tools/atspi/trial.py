"""kuMemo through AT-SPI alone: every step finds its control by the name a
screen reader says and acts through AT-SPI (actions, text, key presses)."""
import sys
import time

import pyatspi

from round import settle, walk

registry = pyatspi.Registry
failures = []

# Roles a person operates. A combo box's pop-up list is said with the box.
INTERACTIVE = {"push button", "check box", "radio button", "combo box", "text",
               "password text", "spin button", "list", "tree", "table", "page tab",
               "menu item"}
KEY_TAB, KEY_CTRL, KEY_SHIFT = 23, 37, 50  # key codes of Xvfb's keyboard


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def window(title):
    for app in registry.getDesktop(0):
        if app is not None and app.name == "kuMemo":
            for frame in app:
                if frame is not None and frame.name == title:
                    return frame
    return None


def find(root, name, role):
    for node in walk(root):
        if node.name == name and node.getRoleName() == role:
            return node
    raise SystemExit("FAIL no %s named %r" % (role, name))


def focused(root):
    for node in walk(root):
        if node.getState().contains(pyatspi.STATE_FOCUSED) and node.getRoleName() in INTERACTIVE:
            return node.name
    return None


def press(node, action=0):
    node.queryAction().doAction(action)
    settle()


def type_into(node, text):
    node.queryEditableText().setTextContents(text)
    settle()


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def key(code, modifier=None):
    if modifier:
        registry.generateKeyboardEvent(modifier, None, pyatspi.KEY_PRESS)
    registry.generateKeyboardEvent(code, None, pyatspi.KEY_PRESSRELEASE)
    if modifier:
        registry.generateKeyboardEvent(modifier, None, pyatspi.KEY_RELEASE)
    settle()


def focus(node):
    node.queryComponent().grabFocus()
    settle()


def census(frame):
    controls = [(n.getRoleName(), n.name) for n in walk(frame)
                if n.getRoleName() in INTERACTIVE
                and not (n.getRoleName() == "list" and n.parent.getRoleName() == "combo box")]
    unnamed = [role for role, name in controls if not name.strip()]
    print("%s: %d interactive controls, %d without a name" % (frame.name, len(controls), len(unnamed)))
    check(not unnamed, "every control of %s has a name" % frame.name)
    return controls


def cells(tree):
    return [c.name for c in tree if c.getRoleName() != "table column header"]


main = window("くう・めも (ver1.00)")
check(main is not None, "the main window is on the bus")
census(main)
tabs = find(main, "問題ﾘｽﾄ", "page tab list")
for page in ("各問題に回答", "回答終了後の処理"):
    state = find(tabs, page, "page tab").getState()
    check(not state.contains(pyatspi.STATE_ENABLED), "the page %s is unavailable" % page)
    check(find(tabs, page, "page tab").queryAction().nActions == 0, "the page %s cannot be opened" % page)

press(find(main, "問題ﾌｧｲﾙ作成ﾓｰﾄﾞ(N)", "menu item"))
settle(1.5)
editor = window("くう・めも - 問題作成モード")
check(editor is not None, "the editor came up")
print("  ", ", ".join("%s %r" % c for c in census(editor)))

# Each rich text box is left with Tab and with Shift+Tab, typing nothing.
neighbours = {"問題文": ("問題一覧", "回答の種類"), "回　答": ("回答の種類", "これが正解である"),
              "ヒント": ("回答一覧", "解　説"), "解　説": ("ヒント", "問題ｷｰ")}
for box, (before, after) in neighbours.items():
    node = find(editor, box, "text")
    focus(node)
    check(focused(editor) == box, "the focus goes into %s" % box)
    key(KEY_TAB)
    check(focused(editor) == after, "Tab leaves %s for %s (%r)" % (box, after, focused(editor)))
    check("\t" not in text_of(node), "Tab typed nothing into %s" % box)
    focus(node)
    key(KEY_TAB, KEY_SHIFT)
    check(focused(editor) == before, "Shift+Tab leaves %s for %s (%r)" % (box, before, focused(editor)))

# A question with two choices, a hint and an explanation.
type_into(find(editor, "問題文", "text"), "日本の首都はどこですか？")
choice = find(editor, "回　答", "text")
type_into(choice, "東京")
press(find(editor, "これが正解である", "check box"))
press(find(editor, "回答追加", "push button"))
type_into(choice, "大阪")
press(find(editor, "回答追加", "push button"))
choices = cells(find(editor, "回答一覧", "tree"))
check(choices == ["○", "東京", "選択肢(RTF)", "×", "大阪", "選択肢(RTF)"],
      "the choices are listed, their RTF said as the column's name: %r" % choices)
type_into(find(editor, "ヒント", "text"), "東にある都")
type_into(find(editor, "解　説", "text"), "東京は日本の首都です。")
press(find(editor, "この問題を追加する", "push button"))
questions = find(editor, "問題一覧", "tree")
headers = [c.name for c in questions if c.getRoleName() == "table column header"]
check(cells(questions) == ["日本の首都はどこですか？", "問題ﾃﾞｰﾀ"],
      "the question is stored, its record said as the column's name: %r" % cells(questions))
check(headers == ["問題", "問題ﾃﾞｰﾀ"], "the question list's columns are named: %r" % headers)

# Ctrl+Tab types the tab character and stays.
hint = find(editor, "ヒント", "text")
focus(hint)
before = text_of(hint)
key(KEY_TAB, KEY_CTRL)
check(text_of(hint) == "\t" + before and focused(editor) == "ヒント", "Ctrl+Tab typed a tab into ヒント")

# The properties dialog is modal: its menu command may answer only when it closes.
try:
    press(find(editor, "文書のﾌﾟﾛﾊﾟﾃｨ(P)", "menu item"))
except Exception:
    pass
settle(1.0)
properties = window("(新規作成) のﾌﾟﾛﾊﾟﾃｨ")
check(properties is not None, "the properties dialog came up")
boxes = [name for role, name in census(properties) if role == "text"]
check(boxes == ["作品タイトル", "サブジェクト", "バージョン", "名前", "Mail", "ﾎｰﾑﾍﾟｰｼﾞ", "コメント",
                "作成開始", "最終更新"], "each property box is named by its label: %r" % boxes)

print("%d failed" % len(failures))
sys.exit(1 if failures else 0)
