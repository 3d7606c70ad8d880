#!/usr/bin/env python3
"""End-to-end journeys: the built program driven under Xvfb as a person uses it.

    journeys.py --program-dir build/bin --log-dir DIR NAME   runs one journey
    journeys.py --list                                       names them

Each journey is a function taking a harness.Session; it fails by raising. ctest runs one
journey per test (tests/e2e/CMakeLists.txt lists the names).
"""

import argparse
import json
import os
import resource
import signal
import subprocess
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import ConverterBusy, JourneyFailed, Session, wait_for  # noqa: E402

JOURNEYS = {}

# How often a journey runs when the converter keeps saying another process is converting.
BUSY_ATTEMPTS = 3


def journey(fn):
    JOURNEYS[fn.__name__] = fn
    return fn


def expect_bytes(actual, expected, what):
    if actual != expected:
        raise JourneyFailed(f"{what}: expected {expected!r}, got {actual!r}")


# Pages are written as the program saves them by default: Shift-JIS with CR LF line ends, so
# that an untouched text saves to the same bytes.
PAGE = b"<html>\r\n<p>HTML</p>\r\n</html>\r\n"


def open_page(s, relative, data, *, unprivileged=False, mode=None):
    """Writes a page into the work folder, starts the program with its path and waits until
    the frame shows it. Returns (path, frame window)."""
    path = s.write_file(relative, data, mode)
    s.start(path, unprivileged=unprivileged)
    frame = s.main_window()
    s.wait_title(frame, os.path.basename(relative))
    s.focus(frame)
    return path, frame


def save_and_wait(s, path):
    """Ctrl+S and the bytes the file then holds."""
    before = s.stamp(path)
    s.key("ctrl+s")
    if not s.wait_file_changed(path, before):
        raise JourneyFailed(f"Ctrl+S did not write {path}; dialogs: {s.dialogs()}")
    return s.read(path)


@journey
def type_over_selection_undo_save(s):
    """Select "HTML" in <p>HTML</p>, type Z, Ctrl+Z, Ctrl+S: the page is saved unchanged."""
    path, _ = open_page(s, "a.html", PAGE)
    # Second line, after "<p>", then the four letters.
    s.key("ctrl+Home", "Down", "Right", "Right", "Right",
          "shift+Right", "shift+Right", "shift+Right", "shift+Right")
    s.type("Z")
    s.key("ctrl+z")
    expect_bytes(save_and_wait(s, path), PAGE, "bytes saved after typing over and undoing")


@journey
def type_over_everything_undo_save(s):
    """Ctrl+A, type b, Ctrl+Z, Ctrl+S: the page is saved unchanged."""
    path, _ = open_page(s, "a.html", PAGE)
    s.key("ctrl+a")
    s.type("b")
    s.key("ctrl+z")
    expect_bytes(save_and_wait(s, path), PAGE, "bytes saved after replacing all and undoing")


def convert_line_undo_save(s, *menu_keys):
    line = b"<p>a<b>c</b></p>"
    page = b"<html>\r\n" + line + b"\r\n</html>\r\n"
    path, _ = open_page(s, "a.html", page)
    s.key("ctrl+Home", "Down", "Home", "shift+End")
    s.menu("e", "v", *menu_keys)  # 編集(&E) › 文字列変換(&V) › the conversion
    s.key("ctrl+z")
    expect_bytes(save_and_wait(s, path), page, "bytes saved after converting and undoing")


@journey
def convert_longer_undo_save(s):
    """Select a line, Edit › 文字列変換 › <> を &lt;&gt; に変換 (longer), Ctrl+Z, save."""
    convert_line_undo_save(s, "q")


@journey
def convert_same_length_undo_save(s):
    """Select a line, Edit › 文字列変換 › 全角 に変換 (as many characters), Ctrl+Z, save."""
    convert_line_undo_save(s, "w")


def save_as_dialog(s, frame):
    """File › 名前を付けて保存(&A): the file dialog titled 保存."""
    s.focus(frame)
    s.menu("f", "a")
    return s.wait_window(r"^保存$", kind="dialog")


def enter_file_name(s, dialog, path):
    """Replaces the file name in the file dialog's name box with path."""
    s.focus(dialog)
    s.key("ctrl+a")
    s.type(path)
    time.sleep(0.2)  # lets the name box's completer catch up before Return


def press_return_in_file_dialog(s, dialog):
    """Return in the file dialog. A first Return may only close the name box's completion
    list; then the dialog is still alone and gets a second one. Returns what came next: a new
    dialog (a question), "closed" (the file dialog went away) or None."""
    for attempt in range(2):
        s.key("Return")
        outcome = None

        def settled():
            nonlocal outcome
            others = [w for w in s.dialogs() if w.id != dialog.id]
            if others:
                outcome = others[0]
            elif not any(w.id == dialog.id for w in s.windows()):
                outcome = "closed"
            return outcome

        wait_for(settled, 3.0 if attempt == 0 else 6.0, 0.1)
        if outcome is not None:
            return outcome
        s.note("file dialog still open after Return")
    return None


@journey
def save_as_onto_existing_file(s):
    """Save As onto an existing page asks first; No returns to the dialog and keeps the page;
    Yes replaces it."""
    existing = b"<p>keep me</p>\r\n"
    target = s.write_file("b.html", existing)
    path, frame = open_page(s, "a.html", PAGE)
    dialog = save_as_dialog(s, frame)
    enter_file_name(s, dialog, target)
    before = s.stamp(target)
    outcome = press_return_in_file_dialog(s, dialog)
    if outcome == "closed" or outcome is None:
        s.wait_file_changed(target, before, 2.0)
        raise JourneyFailed(
            f"no question before replacing {target} (dialog {outcome or 'stuck'}); "
            f"the file now holds {s.read(target)!r}, it held {existing!r}")
    question = outcome
    s.note(f"question {question}")
    expect_bytes(s.read(target), existing, "existing file while the question is open")
    s.focus(question)
    s.key("n")  # いいえ(&N)
    if not wait_for(lambda: not any(w.id == question.id for w in s.windows()), 5.0, 0.1):
        raise JourneyFailed("the question did not close on No")
    dialog = s.wait_dialog(3.0)
    if not dialog or dialog.name != "保存":
        raise JourneyFailed(f"No did not return to the file dialog; windows: {s.windows()}")
    time.sleep(0.3)  # a replacement after No would have begun by now
    expect_bytes(s.read(target), existing, "existing file after answering No")
    # Yes replaces it.
    enter_file_name(s, dialog, target)
    outcome = press_return_in_file_dialog(s, dialog)
    if outcome in ("closed", None):
        raise JourneyFailed(f"the second Return gave {outcome}, not the question again")
    s.focus(outcome)
    s.key("y")  # はい(&Y)
    if not s.wait_file_changed(target, before):
        raise JourneyFailed("Yes did not replace the file")
    expect_bytes(s.read(target), PAGE, "file replaced after Yes")
    s.wait_title(frame, r"b\.html")
    expect_bytes(s.read(path), PAGE, "the page saved from")


def open_unreadable_page(s, path):
    """Starts the program with a page it cannot read, answers the message about it and returns
    the frame once it shows a document (under whatever name)."""
    # As root the mode bits stop nobody; the program then runs without the capabilities that
    # override them, which makes the page unreadable to it as to any ordinary user.
    s.start(path, unprivileged=True)
    box = s.wait_dialog(15.0)
    if not box:
        raise JourneyFailed(f"no message about the unreadable page; windows: {s.windows()}")
    s.note(f"message {box}")
    s.focus(box)
    s.key("Return")
    frame = s.main_window()
    s.wait_title(frame, r" - \[")  # a document window, maximized in the frame
    s.focus(frame)
    return frame


@journey
def unreadable_page_save_goes_through_save_as(s):
    """A page the program cannot read opens empty with a message; typing and Ctrl+S must not
    replace the page but ask for a name (Save As)."""
    original = b"<p>secret</p>\r\n"
    path = s.write_file("u.html", original, 0o000)
    frame = open_unreadable_page(s, path)
    s.type("x")
    before = s.stamp(path)
    s.key("ctrl+s")
    dialog = s.wait_dialog(5.0)
    if not dialog or dialog.name != "保存":
        changed = s.wait_file_changed(path, before, 1.0)
        os.chmod(path, 0o600)
        raise JourneyFailed(
            f"Ctrl+S showed {dialog} instead of the Save As dialog; the page was "
            f"{'replaced' if changed else 'kept'}: it holds {s.read(path)!r}, it held "
            f"{original!r}")
    # The page is unchanged and the text goes where the user says.
    other = s.path("saved.html")
    enter_file_name(s, dialog, other)
    outcome = press_return_in_file_dialog(s, dialog)
    if outcome != "closed":
        raise JourneyFailed(f"saving to a new name gave {outcome}")
    if not s.wait_file_changed(other, None):
        raise JourneyFailed(f"{other} was not written")
    expect_bytes(s.read(other), b"x", "text saved under the new name")
    if s.stamp(path) != before:
        raise JourneyFailed("the unreadable page was touched")
    os.chmod(path, 0o600)
    expect_bytes(s.read(path), original, "the unreadable page")


@journey
def unreadable_page_not_in_recent_files(s):
    """A page that failed to open does not join the recent files (written at exit)."""
    path = s.write_file("u.html", b"<p>secret</p>\r\n", 0o000)
    frame = open_unreadable_page(s, path)
    s.menu("f", "x")  # ﾌｧｲﾙ(&F) › 終了(&X)
    if not s.wait_exit(10.0):
        raise JourneyFailed(f"the program did not end; dialogs: {s.dialogs()}")
    settings = s.read(os.path.join(s.program_dir, "Scrivlet.ini"))
    if b"u.html" in settings:
        raise JourneyFailed(f"the recent files list the page that failed to open: {settings!r}")


@journey
def type_japanese_save_shift_jis(s):
    """Japanese typed through the keyboard is saved in Shift-JIS, no character dropped."""
    text = "日本語のﾍﾟｰｼﾞ"
    s.bind_characters(text)
    path, _ = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.type(text)
    expect_bytes(save_and_wait(s, path), PAGE + text.encode("cp932"), "bytes saved")


@journey
def path_with_slash_o_folder_opens(s):
    """A page in a folder whose name starts with O (…/Output/a.html) opens from the command
    line: "/O" inside a path is not the switch."""
    path = s.write_file("Output/a.html", PAGE)
    s.start(path)
    frame = s.main_window()
    try:
        s.wait_title(frame, r"Output/a\.html", timeout=5.0)
    except JourneyFailed:
        raise JourneyFailed(f"{path} did not open: the frame is titled {s.title(frame)!r}")


@journey
def close_after_undoing_everything(s):
    """Type, undo every step, close the program: no question, the program ends, the page is as
    it was."""
    path, frame = open_page(s, "a.html", PAGE)
    before = s.stamp(path)
    s.key("ctrl+End")
    s.type("abc")
    s.key(*["ctrl+z"] * 6)
    s.menu("f", "x")  # ﾌｧｲﾙ(&F) › 終了(&X)
    if not s.wait_exit(10.0):
        raise JourneyFailed(f"the program did not end; dialogs: {s.dialogs()}")
    if s.stamp(path) != before:
        raise JourneyFailed(f"the page changed: {s.read(path)!r}")


@journey
def close_after_undoing_past_save_asks(s):
    """Type, save, undo: the text differs from the file, so closing must ask (answer Cancel and
    the window stays)."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.type("x")
    saved = save_and_wait(s, path)
    expect_bytes(saved, PAGE + b"x", "bytes saved after typing x")
    s.key("ctrl+z")
    s.menu("f", "x")
    question = s.wait_dialog(5.0)
    if not question:
        gone = s.wait_exit(2.0)
        raise JourneyFailed(
            "closing after undoing past the save asked nothing; the program "
            f"{'ended' if gone else 'stayed'} and the file holds {s.read(path)!r} while the "
            "text was the original page")
    s.key("Escape")  # キャンセル
    if not s.running():
        raise JourneyFailed("the program ended after Cancel")
    expect_bytes(s.read(path), PAGE + b"x", "file after cancelling the question")


@journey
def kill_asks_about_the_unsaved_page(s):
    """A kill (SIGTERM, as at the session's end) asks about a changed page as Exit does, and
    Cancel keeps the program; a closed terminal (SIGHUP) asks again, Yes saves the page and the
    program ends with its recent files written."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.type("x")
    # The signal takes another way in than the keys: the Find dialog showing proves that the
    # program has read the x before it.
    s.key("ctrl+f")
    s.wait_window(r"^検索$", kind="dialog")
    s.key("Escape")
    s.wait_no_window(r"^検索$", kind="dialog")
    for number, answer in ((signal.SIGTERM, "Escape"), (signal.SIGHUP, "y")):
        s.send_signal(number)
        if not s.wait_dialog(5.0):
            gone = s.wait_exit(2.0)
            raise JourneyFailed(f"{number.name} asked nothing; the program "
                                f"{'ended' if gone else 'stayed'}, the file holds "
                                f"{s.read(path)!r}")
        s.key(answer)  # キャンセル, then はい(&Y)
        if number == signal.SIGTERM:
            s.wait_no_window("", 5.0, kind="dialog")
            if not s.running():
                raise JourneyFailed("the program ended after Cancel")
    if not s.wait_exit(10.0):
        raise JourneyFailed(f"the program did not end after Yes; dialogs: {s.dialogs()}")
    expect_bytes(s.read(path), PAGE + b"x", "file saved on the way out")
    if path not in settings_text(s):
        raise JourneyFailed("the recent files were not written")


@journey
def save_beyond_the_file_size_limit(s):
    """Started under a file-size limit (ulimit -f), a page of blanks that fits it, every blank
    made &nbsp; (編集 › 文字列変換 › 半角ｽﾍﾟｰｽ を &nbsp; に変換) so that it no longer fits,
    Ctrl+S: the save fails with a message and the program goes on, the page keeping its bytes.
    The converter's command under the same limit fails with its code for a destination it
    cannot write, and leaves no temporary file."""
    page = PAGE + b"<p>" + b" " * 60_000 + b"</p>\r\n"
    path = s.write_file("big.html", page)
    big = s.write_file("bigger.html", page * 2)
    s.start(path, file_size_limit=100_000)
    frame = s.main_window()
    s.wait_title(frame, "big.html")
    s.focus(frame)
    s.menu("e", "v", "s")  # 編集(&E) › 文字列変換(&V) › 半角ｽﾍﾟｰｽ を &nbsp; に変換(&S)
    s.key("ctrl+s")
    said = s.wait_dialog(10.0)
    if not s.running():
        raise JourneyFailed("the program ended at the save")
    if not said:
        raise JourneyFailed(f"the failed save said nothing; the file holds {len(s.read(path))} bytes")
    expect_bytes(s.read(path), page, "the page after the failed save")

    converted = os.path.join(s.work, "converted.html")
    run = subprocess.run([os.path.join(s.source_program_dir, "unkanj"), "t", "-e", "-LF", big,
                          converted],
                         preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE,
                                                               (100_000, 100_000)),
                         capture_output=True, timeout=30)
    if run.returncode != 4:
        raise JourneyFailed(f"unkanj beyond the limit ended with {run.returncode} "
                            f"({run.stderr!r}), not 4")
    left = [name for name in os.listdir(s.work) if name.startswith(".converted.html")]
    if left or os.path.exists(converted):
        raise JourneyFailed(f"unkanj left {left} and {os.path.exists(converted)} behind")


@journey
def ctrl_f4_closes_through_the_question(s):
    """Ctrl+F4 on a changed page asks before closing, on the real X11 desktop too, whose own
    close key is Ctrl+W (answer Cancel: the window and the file stay)."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.type("x")
    s.key("ctrl+F4")
    if not s.wait_dialog(5.0):
        raise JourneyFailed(f"Ctrl+F4 asked nothing; the frame is titled {s.title(frame)!r}")
    s.key("Escape")  # キャンセル
    if not s.running():
        raise JourneyFailed("the program ended after Cancel")
    expect_bytes(s.read(path), PAGE, "file after cancelling the question")


@journey
def paste_with_an_empty_clipboard(s):
    """Ctrl+V in a fresh session, where no program owns the clipboard, pastes nothing and the
    program carries on (Qt's own paste crashed there); then x is typed and saved."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.key("ctrl+v")
    time.sleep(0.5)
    if not s.running():
        raise JourneyFailed("the program ended at Ctrl+V with an empty clipboard")
    s.type("x")
    expect_bytes(save_and_wait(s, path), PAGE + b"x", "file after Ctrl+V and x")


# Where the text lies in the frame, measured as the toolbar's place below: its left edge and the
# middles of its first three lines.
TEXT_X = 5
TEXT_LINE_Y = (82, 95, 108)


@journey
def drag_a_selection_within_the_text(s):
    """Select HTML in <p>HTML</p> and drag it with the mouse to the end of the first line: the
    saved text has it moved (the window's drop handling took the widget's own drag for a drop
    from elsewhere, and nothing moved); one Undo brings the page back."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+Home", "Down", "Right", "Right", "Right",
          "shift+Right", "shift+Right", "shift+Right", "shift+Right")
    s.note("drag from the selection to the end of the first line")
    s.x("xdotool", "mousemove", "--window", frame.id, "--sync", str(TEXT_X + 30),
        str(TEXT_LINE_Y[1]), "mousedown", "1")
    for x, y in ((TEXT_X + 34, TEXT_LINE_Y[1]), (TEXT_X + 50, TEXT_LINE_Y[1] - 4),
                 (TEXT_X + 120, TEXT_LINE_Y[0]), (TEXT_X + 200, TEXT_LINE_Y[0])):
        time.sleep(0.2)
        s.x("xdotool", "mousemove", "--window", frame.id, "--sync", str(x), str(y))
    time.sleep(0.4)
    s.x("xdotool", "mouseup", "1")
    time.sleep(0.3)
    expect_bytes(save_and_wait(s, path), b"<html>HTML\r\n<p></p>\r\n</html>\r\n",
                 "file after dragging HTML to the end of the first line")
    s.key("ctrl+z")
    expect_bytes(save_and_wait(s, path), PAGE, "file after one Undo of the move")


# ---- the toolbar, the Window menu, the dialogs, the preview, UTF-8 and the instance channel ----

# Where things lie in the frame, in pixels from its top left corner: measured on the harness's
# Xvfb (96 dpi, Qt's Fusion style). The toolbar's buttons are not X windows of their own, so a
# click must aim; a miss shows as "the file was not written" or "the title did not change".
TOOLBAR_ROW_Y = 33  # the middle of the toolbar's buttons, below the menu bar
TOOLBAR_SAVE_X = 65  # the third button (新規作成, 開く, 上書き保存)
TAB_ROW_Y = 62  # the middle of the tab strip, below the toolbar
TAB_FIRST_X = 30  # the middle of the first tab ("a.html" is about 60 pixels wide)


def click(s, window, x, y):
    """A left click at (x, y) inside window."""
    s.note(f"click {x},{y} in {window.id}")
    s.x("xdotool", "mousemove", "--window", window.id, "--sync", str(x), str(y), "click", "1")


def write_settings(s, text):
    """Writes Scrivlet.ini into the program directory before the program starts (ASCII text:
    the same bytes in Shift-JIS, the file's own code)."""
    path = os.path.join(s.program_dir, "Scrivlet.ini")
    with open(path, "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("ascii"))
    return path


def settings_text(s):
    path = os.path.join(s.program_dir, "Scrivlet.ini")
    data = s.read(path) if os.path.exists(path) else b""
    return data.decode("cp932", errors="replace")


@journey
def toolbar_save_button(s):
    """Type into a named page and click the toolbar's 上書き保存 button: the file is written."""
    path, frame = open_page(s, "a.html", PAGE)
    s.key("ctrl+End")
    s.type("x")
    before = s.stamp(path)
    click(s, frame, TOOLBAR_SAVE_X, TOOLBAR_ROW_Y)
    if not s.wait_file_changed(path, before, 5.0):
        raise JourneyFailed(f"the Save button did not write {path}; dialogs: {s.dialogs()}")
    expect_bytes(s.read(path), PAGE + b"x", "bytes saved by the toolbar's Save button")


@journey
def window_tile_then_tab(s):
    """Three pages, ｳｨﾝﾄﾞｳ › 上下に並べて表示, then a click on the first tab: the frame's title
    names that page."""
    paths = [s.write_file(name, PAGE) for name in ("a.html", "b.html", "c.html")]
    s.start(*paths)
    frame = s.main_window()
    s.wait_title(frame, r"c\.html")
    s.focus(frame)
    s.menu("w", "v")  # ｳｨﾝﾄﾞｳ(&W) › 上下に並べて表示(&V)
    s.wait_title(frame, r"c\.html")
    click(s, frame, TAB_FIRST_X, TAB_ROW_Y)
    try:
        s.wait_title(frame, r"a\.html", timeout=5.0)
    except JourneyFailed:
        raise JourneyFailed(f"clicking the first tab left the title {s.title(frame)!r}")


@journey
def replace_all_save_undo_save(s):
    """Ctrl+H, a search and a replacement, 全置換, close, Ctrl+S: every occurrence replaced;
    Ctrl+Z, Ctrl+S: the original bytes again."""
    page = b"<p>ab</p>\r\n<p>ab cab</p>\r\nAB\r\n"
    path, frame = open_page(s, "a.html", page)
    s.key("ctrl+h")
    dialog = s.wait_window(r"^置換$", kind="dialog")
    s.focus(dialog)
    s.key("alt+f", "ctrl+a")  # 検索する文字列(&F)
    s.type("ab")
    s.key("alt+r", "ctrl+a")  # 置換後の文字列(&R)
    s.type("xyz")
    s.key("alt+a")  # 全置換(&A)
    # An access key presses its button and clicks it 100 ms later (Qt shows the press); an
    # Escape before then closes the dialog first and the click never comes.
    time.sleep(0.3)
    s.key("Escape")
    s.wait_no_window(r"^置換$", timeout=5.0)
    s.focus(frame)
    # Matching ignores case unless asked otherwise, so AB is replaced too.
    expect_bytes(save_and_wait(s, path), b"<p>xyz</p>\r\n<p>xyz cxyz</p>\r\nxyz\r\n",
                 "bytes saved after Replace all")
    s.key("ctrl+z")
    expect_bytes(save_and_wait(s, path), page, "bytes saved after undoing Replace all")


@journey
def options_browser_path_saved(s):
    """ﾂｰﾙ › ｵﾌﾟｼｮﾝ, a new Internet Explorer path, OK: Scrivlet.ini holds it."""
    path, frame = open_page(s, "a.html", PAGE)
    s.menu("t", "o")  # ﾂｰﾙ(&T) › ｵﾌﾟｼｮﾝ(&O)...
    dialog = s.wait_window(r"^ｵﾌﾟｼｮﾝ$", kind="dialog")
    s.focus(dialog)
    browser = "/opt/journey/browser"
    s.key("alt+e", "ctrl+a")  # Internet Explorer(&E):
    s.type(browser)
    s.key("Return")  # OK, the default button
    s.wait_no_window(r"^ｵﾌﾟｼｮﾝ$", timeout=5.0)
    line = f"Internet Explorer={browser}"
    if not wait_for(lambda: line in settings_text(s).splitlines(), 5.0):
        raise JourneyFailed(f"Scrivlet.ini lacks {line!r}: {settings_text(s)!r}")


@journey
def preview_through_configured_browser(s):
    """The Internet Explorer setting names a script of the journey's; ﾂｰﾙ › Internet
    Explorer起動 hands it a copy of the page; closing the window removes the copy."""
    record = s.path("browser-args")
    copied = s.path("browser-copy")
    script = s.write_file("browser.sh", (
        "#!/bin/sh\n"
        f"cp -- \"$1\" '{copied}.part' && mv -- '{copied}.part' '{copied}'\n"
        f"printf '%s\\n' \"$1\" > '{record}.part' && mv -- '{record}.part' '{record}'\n"
    ).encode(), 0o755)
    write_settings(s, f"[Browser]\nInternet Explorer={script}\n")
    path, frame = open_page(s, "a.html", PAGE)
    s.menu("t", "e")  # ﾂｰﾙ(&T) › Internet Explorer起動(&E)...
    if not wait_for(lambda: os.path.exists(record), 10.0):
        raise JourneyFailed(f"the browser script was not started; dialogs: {s.dialogs()}")
    preview = s.read(record).decode().rstrip("\n")
    s.note(f"the browser got {preview!r}")
    if os.path.dirname(preview) != os.path.dirname(path) or preview == path:
        raise JourneyFailed(f"the browser got {preview!r}, not a copy beside {path!r}")
    expect_bytes(s.read(copied), PAGE, "the preview copy the browser got")
    if not os.path.exists(preview):
        raise JourneyFailed(f"the preview copy {preview} is gone while the window is open")
    s.focus(frame)
    s.menu("f", "c")  # ﾌｧｲﾙ(&F) › 閉じる(&C)
    if not wait_for(lambda: not os.path.exists(preview), 5.0):
        raise JourneyFailed(f"closing the window left the preview copy {preview}")
    expect_bytes(s.read(path), PAGE, "the page itself")


@journey
def utf8_page_type_save(s):
    """A UTF-8 page with an emoji, é and Japanese; 保存時の漢字ｺｰﾄﾞ › UTF-8, one character
    typed, Ctrl+S: the original bytes plus that character."""
    page = "<p>café 日本語 😀</p>\r\n<p>🎉 ｶﾀｶﾅ</p>\r\n".encode("utf-8")
    path, frame = open_page(s, "u.html", page)
    s.menu("f", "k", "u")  # ﾌｧｲﾙ(&F) › 保存時の漢字ｺｰﾄﾞ(&K) › UTF-8(&U)
    if not wait_for(lambda: "KanjiCode=UTF-8" in settings_text(s), 5.0):
        raise JourneyFailed(f"UTF-8 was not chosen: Scrivlet.ini holds {settings_text(s)!r}")
    s.focus(frame)
    s.key("ctrl+Home", "Right", "Right", "Right")  # after "<p>"
    s.type("Z")
    expected = page.replace(b"<p>caf", b"<p>Zcaf", 1)
    expect_bytes(save_and_wait(s, path), expected, "bytes saved in UTF-8")


# What the options dialog stores for the verb 「Scrivletで編集」 of a file class: the command
# that starts the program with "%1 /O" and the command handed to a running one.
VERB = "Scrivletで編集"


def write_shell_verb(s, file_class):
    """Stores the verb for file_class in the registry file of the journey's HOME, as the options
    dialog stores it."""
    command = os.path.join(s.program_dir, "scrivlet") + ' "%1 /O"'

    def key(name, values=(), keys=()):
        return {"name": name, "values": [{"name": n, "type": 1, "text": t} for n, t in values],
                "keys": list(keys)}

    verb = key(VERB, keys=[
        key("command", [("", command)]),
        key("ddeexec", [("", 'Edit "%1"')], [key("Application", [("", "Scrivlet")]),
                                            key("Topic", [("", "System")])]),
    ])
    tree = {"format": "Scrivlet registry 1",
            "HKEY_CLASSES_ROOT": key("", keys=[
                key(".html", [("", file_class)]),
                key(file_class, keys=[key("shell", keys=[verb])])])}
    folder = os.path.join(s.home, ".config", "Scrivlet")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "registry.json"), "w", encoding="utf-8") as f:
        json.dump(tree, f, ensure_ascii=False)


def run_shell_verb(s, file_class, page, env=None):
    """What the desktop entry of the verb runs for page: scrivlet --shell-exec. Its exit code.
    Its output goes to a file: a program it starts inherits it, and would hold a pipe open."""
    log = s.path("shell-exec.log")
    command = [os.path.join(s.program_dir, "scrivlet"), "--shell-exec", file_class, VERB, page]
    s.note(f"run {' '.join(command)}")
    with open(log, "wb") as out:
        helper = subprocess.Popen(command, cwd=s.work, env=env or s.env(), stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=subprocess.STDOUT)
    try:
        code = helper.wait(30)
    except subprocess.TimeoutExpired:
        helper.kill()
        helper.wait()
        raise JourneyFailed("the helper did not end within 30 s")
    s.note(f"the helper ended with {code}: {s.read(log)!r}")
    return code


@journey
def shell_verb_hands_page_to_running_instance(s):
    """With the program running, the desktop entry's command (scrivlet --shell-exec) for a
    second page: the running frame opens it and no second frame stays."""
    write_shell_verb(s, "text/html")
    path, frame = open_page(s, "a.html", PAGE)
    other = s.write_file("b.html", PAGE)
    helper = run_shell_verb(s, "text/html", other)
    try:
        s.wait_title(frame, r"b\.html", timeout=5.0)
    except JourneyFailed:
        raise JourneyFailed(f"the running frame did not open b.html (helper exit "
                            f"{helper}); title {s.title(frame)!r}, windows "
                            f"{s.windows()}")
    if helper != 0:
        raise JourneyFailed(f"the helper ended with {helper}")
    frames = [w for w in s.windows() if w.kind == "normal" and w.name.startswith("Scrivlet")]
    if len(frames) != 1:
        raise JourneyFailed(f"{len(frames)} frames after the hand-off: {frames}")


@journey
def shell_verb_starts_instance_and_hands_page(s, env=None):
    """No program running: the verb's helper starts the stored command (scrivlet "PAGE /O"),
    which opens nothing by itself, and hands it the page once it serves: one frame, titled
    with the page."""
    write_shell_verb(s, "text/html")
    page = s.write_file("b.html", PAGE)
    helper = run_shell_verb(s, "text/html", page, env)
    frame = s.main_window()
    s.adopt(frame)  # started detached by the helper
    try:
        s.wait_title(frame, r"b\.html", timeout=5.0)
    except JourneyFailed:
        raise JourneyFailed(f"the started program did not open b.html (helper exit "
                            f"{helper}); title {s.title(frame)!r}")
    if helper != 0:
        raise JourneyFailed(f"the helper ended with {helper}")
    frames = [w for w in s.windows() if w.kind == "normal" and w.name.startswith("Scrivlet")]
    if len(frames) != 1:
        raise JourneyFailed(f"{len(frames)} frames after the hand-off: {frames}")


@journey
def shell_verb_without_a_private_runtime_folder(s):
    """The same where no instance can be reached (the runtime folder is open to others): the
    helper starts the program with the page itself, and it opens."""
    runtime = os.path.join(s.root, "shared-runtime")
    os.makedirs(runtime, mode=0o755)
    os.chmod(runtime, 0o755)
    shell_verb_starts_instance_and_hands_page(s, dict(s.env(), XDG_RUNTIME_DIR=runtime))


@journey
def fits_the_screen_at_double_scale(s):
    """At a display scale of 2 the first frame (681 x 490 and its bars, doubled) and Qt's file
    dialog (636 x 412, doubled) would pass the 1024 x 768 screen: each opens within it, its
    buttons, scroll bar and last lines in reach."""
    s.start(env=dict(s.env(), QT_SCALE_FACTOR="2"))
    frame = s.main_window()

    def expect_on_screen(window, what):
        shape = s.x("xdotool", "getwindowgeometry", "--shell", window.id)
        g = dict(line.split("=") for line in shape.split())
        right, bottom = int(g["X"]) + int(g["WIDTH"]), int(g["Y"]) + int(g["HEIGHT"])
        if right > 1024 or bottom > 768:
            raise JourneyFailed(f"{what} reaches {right} x {bottom} on a 1024 x 768 screen")

    expect_on_screen(frame, "the frame")
    s.focus(frame)
    s.menu("f", "o")  # ﾌｧｲﾙ(&F) › 開く(&O)...
    expect_on_screen(s.wait_window(r"^開く$", kind="dialog"), "the file dialog")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program-dir", default=os.environ.get("SCRIVLET_PROGRAM_DIR"))
    parser.add_argument("--log-dir", default=os.path.join(os.getcwd(), "e2e-failures"))
    parser.add_argument("--timeout", type=float, default=45.0)
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--verbose", action="store_true", help="print the steps of passing "
                        "journeys too")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(JOURNEYS))
        return 0
    names = args.names or list(JOURNEYS)
    failed = []
    for name in names:
        if name not in JOURNEYS:
            print(f"no journey {name}", file=sys.stderr)
            return 2
        started = time.monotonic()
        for attempt in range(BUSY_ATTEMPTS):
            try:
                with Session(name, args.program_dir, args.log_dir, args.timeout) as s:
                    JOURNEYS[name](s)
                    if args.verbose:
                        print("\n".join(s.steps()))
                print(f"PASS {name} ({time.monotonic() - started:.1f} s)")
                break
            except ConverterBusy as e:
                # Another process on the machine converted at that very moment; that says
                # nothing about the journey, so it gets another go.
                if attempt + 1 < BUSY_ATTEMPTS:
                    print(f"RETRY {name}: {e}", file=sys.stderr)
                    continue
                failed.append(name)
                print(f"FAIL {name}: {e}")
            except JourneyFailed as e:
                failed.append(name)
                print(f"FAIL {name}: {e}")
                break
            except Exception as e:  # a fault of the journey or the harness is a failure too
                traceback.print_exc()
                failed.append(name)
                print(f"FAIL {name}: {e!r}")
                break
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
