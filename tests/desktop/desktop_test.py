#!/usr/bin/python3
"""Black-box tests of the built window on a real X server.

Each case starts its own Xvfb, starts the program as a separate process with a
fresh home and settings file, works it with xdotool the way a person would
(pointer moves, clicks, typed keys) and reads what the X server shows: window
titles from WM_NAME and _NET_WM_NAME. Message texts and which controls are
showing are read the way a screen reader reads them, over the accessibility
bus of a session bus of the test's own. Opening files goes to a recording
xdg-open placed first on PATH.

usage: desktop_test.py --program PATH --gif-summary PATH CASE
"""

import argparse
import contextlib
import ctypes
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

WAIT_SECONDS = 20.0  # longest wait for anything the window should do
POLL_SECONDS = 0.05

TITLE = "Vuzuduzi-2"
DONE_TITLE = "Vuzuduzi-2 - Ура!"
CREATING_CAPTION = "Vuzuduzi-2 - Создание файла "
ABOUT_CAPTION = "Vuzuduzi-2 - О программе"
IDLE_CAPTION = "                 СТАРТ                 (Создаём анимированный GIF) "

# Control rectangles in twips (left, top, width, height) on the window's
# client area; 15 twips make one pixel at 96 dots per inch.
TWIPS_PER_PIXEL = 15
CLIENT_TWIPS = (8055, 4305)
TEXT1 = (2640, 240, 615, 375)
COMMAND1 = (360, 3240, 2775, 615)
TEXT3 = (3480, 2940, 3615, 315)
COMMAND2 = (5760, 240, 855, 375)
COMMAND3 = (6720, 240, 1215, 375)
COMMAND4_WORKING = (7200, 2880, 735, 375)
COMMAND4_ABOUT = (4560, 3360, 735, 375)
COMMAND7 = (2520, 3360, 1815, 375)


def dies_with_parent():
    """For a child process: SIGKILL when this script ends, however it ends
    (a timeout's kill, or an abort inside the accessibility library)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Failure(Exception):
    """A check that the test cannot go on without."""


class Checks:
    """Collects failed checks, so that one run reports everything it saw."""

    def __init__(self):
        self.failed = []

    def equal(self, what, seen, expected):
        if seen == expected:
            print(f"ok   {what}: {seen!r}")
        else:
            print(f"FAIL {what}:\n       shown    {seen!r}\n       expected {expected!r}")
            self.failed.append(what)

    def true(self, what, condition, detail=""):
        if condition:
            print(f"ok   {what}")
        else:
            print(f"FAIL {what}" + (f": {detail}" if detail else ""))
            self.failed.append(what)


def wait_for(what, probe, seconds=WAIT_SECONDS):
    """Polls probe until it returns something true; raises Failure after seconds."""
    deadline = time.monotonic() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"gave up after {seconds:g} s waiting for {what}")
        time.sleep(POLL_SECONDS)


class XServer:
    """An Xvfb of our own on a display number it picks itself."""

    def __init__(self, tools):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            [tools["Xvfb"], "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=dies_with_parent)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise Failure("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Desktop:
    """What a person does and sees on the X server, through xdotool and xprop."""

    def __init__(self, tools, display):
        self.tools = tools
        self.env = dict(os.environ, DISPLAY=display, LC_ALL="C.UTF-8")

    def run(self, tool, *args, check=True):
        done = subprocess.run([self.tools[tool], *map(str, args)], env=self.env, capture_output=True)
        if check and done.returncode != 0:
            raise Failure(f"{tool} {' '.join(map(str, args))}: {done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode("utf-8", errors="replace")

    def windows(self):
        """The mapped top-level windows that have a title."""
        ids = self.run("xdotool", "search", "--onlyvisible", "--name", "", check=False).split()
        shown = []
        for window in ids:
            if self.title(window):
                shown.append(window)
        return shown

    def title(self, window):
        """WM_NAME as xdotool reads it."""
        return self.run("xdotool", "getwindowname", window, check=False).rstrip("\n")

    def net_title(self, window):
        """_NET_WM_NAME, the UTF-8 title a desktop shows."""
        text = self.run("xprop", "-id", window, "-notype", "_NET_WM_NAME", check=False)
        head = "_NET_WM_NAME = "
        if not text.startswith(head):
            return None
        return _unquote_xprop(text[len(head):].strip())

    def geometry(self, window):
        values = {}
        for line in self.run("xdotool", "getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def pointer(self):
        values = dict(item.split(":") for item in self.run("xdotool", "getmouselocation").split())
        return int(values["x"]), int(values["y"])

    def click(self, x, y, repeat=1):
        # xdotool's own --sync waits forever when the pointer is already there.
        self.run("xdotool", "mousemove", x, y)
        wait_for(f"the pointer at {x}, {y}", lambda: self.pointer() == (x, y))
        self.run("xdotool", "click", "--repeat", repeat, "--delay", 60, 1)

    def focus(self, window):
        self.run("xdotool", "windowfocus", "--sync", window)

    def key(self, *keys):
        self.run("xdotool", "key", "--clearmodifiers", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", 30, text)

    def screenshot(self, path):
        if shutil.which("import"):
            subprocess.run(["import", "-window", "root", path], env=self.env, check=False)


def _unquote_xprop(quoted):
    """xprop's quoted text, with its backslash escapes of quotes and backslashes undone."""
    if len(quoted) < 2 or quoted[0] != '"' or quoted[-1] != '"':
        return quoted
    out = []
    body = quoted[1:-1]
    i = 0
    while i < len(body):
        if body[i] == "\\" and i + 1 < len(body):
            out.append(body[i + 1])
            i += 2
        else:
            out.append(body[i])
            i += 1
    return "".join(out)


class Accessibility:
    """The window as a screen reader sees it, over the session's accessibility bus:
    the texts of message boxes and which controls are showing."""

    def __init__(self):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        self.atspi = Atspi

    def application(self, pid):
        desktop = self.atspi.get_desktop(0)
        for index in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(index)
            if app is not None and app.get_process_id() == pid:
                app.clear_cache()  # no event loop runs here to keep the cache current
                return app
        return None

    def showing(self, accessible):
        return accessible.get_state_set().contains(self.atspi.StateType.SHOWING)

    def children(self, accessible):
        return [accessible.get_child_at_index(i) for i in range(accessible.get_child_count())]

    def windows(self, pid):
        """(role, title, accessible) of each showing window of the program."""
        app = self.application(pid)
        if app is None:
            return []
        return [(w.get_role_name(), w.get_name(), w) for w in self.children(app) if self.showing(w)]

    def controls(self, window):
        """(role, name) of the showing controls of a window, in the window's order."""
        return [(c.get_role_name(), c.get_name()) for c in self.children(window) if self.showing(c)]

    def focused(self, window):
        """The name of the window's control that has the keyboard focus."""
        for control in self.children(window):
            if control.get_state_set().contains(self.atspi.StateType.FOCUSED):
                return control.get_name()
        return None

    def progress_bars(self, window):
        """{name: value interface} of the window's progress bars."""
        return {c.get_name(): c if "Value" in c.get_interfaces() else None
                for c in self.children(window) if c.get_role_name() == "progress bar"}

    @staticmethod
    def reading(bars):
        """{name: (minimum, current, maximum)} of progress bars."""
        return {name: (v.get_minimum_value(), v.get_current_value(), v.get_maximum_value()) if v else None
                for name, v in bars.items()}

    def message_text(self, box):
        """The text of a message box: its showing labels that say something."""
        return "\n".join(name for role, name in self.controls(box) if role == "label" and name)


class Program:
    """The built window, started with its own home, settings and opener."""

    def __init__(self, args, desktop, settings_for, wrapper=()):
        self.desktop = desktop
        self.root = tempfile.mkdtemp(prefix="vz-desktop-")
        self.home = os.path.join(self.root, "home")
        self.config = os.path.join(self.root, "config")
        self.folder = os.path.join(self.root, "pictures")
        self.bin = os.path.join(self.root, "bin")
        self.opened_record = os.path.join(self.root, "opened.txt")
        for path in (self.home, self.config, self.folder, self.bin, os.path.join(self.config, "vazedoza")):
            os.makedirs(path, exist_ok=True)
        self.settings_path = os.path.join(self.config, "vazedoza", "vazedoza.conf")
        self.write_settings(settings_for(self.folder))
        opener = os.path.join(self.bin, "xdg-open")
        with open(opener, "w") as script:
            script.write(f"#!/bin/sh\nprintf '%s\\n' \"$@\" >> '{self.opened_record}'\n")
        os.chmod(opener, 0o755)

        env = {
            "PATH": self.bin + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config,
            "XDG_RUNTIME_DIR": os.environ["XDG_RUNTIME_DIR"],
            "DISPLAY": desktop.env["DISPLAY"],
            "LC_ALL": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
            # Screen readers' view of the window, on this test's own session bus.
            "DBUS_SESSION_BUS_ADDRESS": os.environ.get("DBUS_SESSION_BUS_ADDRESS", ""),
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        }
        self.log = open(os.path.join(self.root, "program.log"), "w+")
        self.process = subprocess.Popen([*wrapper, args.program], env=env, cwd=self.home,
                                        stdout=self.log, stderr=subprocess.STDOUT, preexec_fn=dies_with_parent)
        self.main = None
        self.a11y = Accessibility()

    @property
    def pid(self):
        """The program's own process, also when a wrapper started it."""
        if not hasattr(self, "_pid"):
            self._pid = self.process.pid
            children = f"/proc/{self.process.pid}/task/{self.process.pid}/children"
            if self.process.args[0] != self.process.args[-1] and os.path.exists(children):
                with open(children) as listed:
                    self._pid = int(listed.read().split()[0])
        return self._pid

    def wait_until_shown(self):
        self.main = wait_for("the main window", self._find_main)
        wait_for("the window on the accessibility bus", lambda: self.a11y.application(self.pid))
        self.left, self.top, self.width, self.height = self.desktop.geometry(self.main)
        self.scale = self.width / (CLIENT_TWIPS[0] / TWIPS_PER_PIXEL)

    def write_settings(self, settings):
        with open(self.settings_path, "w") as store:
            for section, keys in settings.items():
                store.write(f"[{section}]\n")
                for key, value in keys.items():
                    store.write(f"{key}={value}\n")

    def settings(self):
        """The settings file as {section: {key: text}}."""
        result, section = {}, None
        if not os.path.exists(self.settings_path):
            return result
        with open(self.settings_path) as store:
            for line in store.read().splitlines():
                if line.startswith("[") and line.endswith("]"):
                    section = result.setdefault(line[1:-1], {})
                elif "=" in line and section is not None:
                    key, _, value = line.partition("=")
                    section[key] = value
        return result

    def _find_main(self):
        if self.process.poll() is not None:
            raise Failure(f"the program ended at start with status {self.process.returncode}: {self.output()}")
        shown = self.desktop.windows()
        return shown[0] if shown else None

    def output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def click(self, rect):
        """A click in the middle of a control given by its twip rectangle."""
        left, top, width, height = (v / TWIPS_PER_PIXEL for v in rect)
        self.desktop.click(round(self.left + (left + width / 2) * self.scale),
                           round(self.top + (top + height / 2) * self.scale))

    @contextlib.contextmanager
    def held(self):
        """Holds the program still (SIGSTOP) and lets it go on afterwards.
        A full-size run takes only a few seconds; what is done while the program
        is held reaches it during its run, however fast or busy the machine."""
        self.process.send_signal(signal.SIGSTOP)
        try:
            yield
        finally:
            self.process.send_signal(signal.SIGCONT)

    def main_title(self):
        return self.desktop.title(self.main)

    def boxes(self):
        """Titled windows other than the main window: the message boxes."""
        return [w for w in self.desktop.windows() if w != self.main]

    def wait_for_box(self, what):
        return wait_for(what, lambda: (self.boxes() or [None])[0])

    def box_text(self, title):
        """The text of the message box a screen reader finds under this title."""
        def text():
            for role, name, window in self.a11y.windows(self.pid):
                if role in ("alert", "dialog") and name == title:
                    return self.a11y.message_text(window)
            return None
        return wait_for(f"a message box titled {title!r} on the accessibility bus", text)

    def list_item(self, name):
        """The screen position of the middle of a showing list line."""
        for role, title, window in self.a11y.windows(self.pid):
            for control in self.a11y.children(window):
                for item in self.a11y.children(control):
                    if item.get_role_name() == "list item" and item.get_name() == name and self.a11y.showing(item):
                        box = item.get_extents(self.a11y.atspi.CoordType.SCREEN)
                        return box.x + box.width // 2, box.y + box.height // 2
        raise Failure(f"no list line {name!r} is showing")

    def main_accessible(self):
        for role, name, window in self.a11y.windows(self.pid):
            if role not in ("alert", "dialog"):
                return window
        raise Failure("the main window is not on the accessibility bus")

    def main_controls(self):
        """(role, name) of the main window's showing controls."""
        return self.a11y.controls(self.main_accessible())

    def close_box(self, box):
        self.desktop.focus(box)
        self.desktop.key("Return")
        wait_for("the message box to close", lambda: box not in self.boxes())

    def opened(self):
        if not os.path.exists(self.opened_record):
            return []
        with open(self.opened_record) as record:
            return record.read().splitlines()

    def files(self):
        return sorted(os.listdir(self.folder))

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)


def run_settings(folder, frames=1, size=10, open_at_end=0, stored_by_close=True):
    """A settings file for a small run into folder, the window at 100, 100 pixels.
    Without stored_by_close the keys that only closing the window writes are left out."""
    tem = {"put": folder, "col": frames, "px": size, "lef": 1500, "top": 1500}
    met = {"ope": open_at_end}
    if stored_by_close:
        tem.update(mob=0, fon=0)
    return {"tem": tem, "met": met}


def as_path(opened):
    """The path an opener was given, whether as a path or as a file URL."""
    if opened.startswith("file://"):
        return urllib.parse.unquote(opened[len("file://"):])
    return opened


def check_message(program, checks, what, title, text, close=True):
    """Waits for a message box; checks its title as the X server shows it and its text."""
    box = program.wait_for_box(f"the {what}")
    checks.equal(f"{what} title (WM_NAME)", program.desktop.title(box), title)
    checks.equal(f"{what} title (_NET_WM_NAME)", program.desktop.net_title(box), title)
    checks.equal(f"{what} text", program.box_text(title), text)
    if close:
        program.close_box(box)
    return box


def check_stored_by_close(program, checks, frames):
    stored = program.settings().get("tem", {})
    checks.equal("settings written at the end (tem/col, tem/mob, tem/fon, tem/put)",
                 (stored.get("col"), stored.get("mob"), stored.get("fon"), stored.get("put")),
                 (str(frames), "0", "0", program.folder))


def wait_for_end(program, seconds):
    """Waits for the program to end; the message boxes seen meanwhile, and the seconds it took."""
    began = time.monotonic()
    seen = set()
    while program.process.poll() is None and time.monotonic() - began < seconds:
        seen.update(program.desktop.title(box) for box in program.boxes())
        time.sleep(POLL_SECONDS)
    return sorted(seen), time.monotonic() - began


# ---------------------------------------------------------------- cases


def case_completed_run(program, checks, args):
    """The window where the settings put it; Start, the completion message, and a file a viewer can decode."""
    checks.equal("window position and size in pixels (stored at 1500, 1500 twips)",
                 (program.left, program.top, program.width, program.height),
                 (100, 100) + tuple(v // TWIPS_PER_PIXEL for v in CLIENT_TWIPS))
    program.click(COMMAND1)
    check_message(program, checks, "completion message", DONE_TITLE,
                  f'Файл  готов!  Его  имя:   "Kvel_1.GIF"\nМестонахождение:   {program.folder}')
    checks.equal("main window title after the run", program.main_title(), TITLE)
    checks.equal("files in the save folder", program.files(), ["Kvel_1.GIF"])
    summary = subprocess.run([args.gif_summary, os.path.join(program.folder, "Kvel_1.GIF")],
                             capture_output=True, text=True)
    checks.equal("decoded picture (frames, size)", summary.stdout.strip() or summary.stderr.strip(), "1 10x10")
    checks.equal("files opened", program.opened(), [])


def case_count_zero(program, checks, args):
    """A frame count of 0 typed into the count box is refused with its message."""
    program.desktop.focus(program.main)
    program.click(TEXT1)
    program.desktop.key("ctrl+a")
    program.desktop.type("0")
    program.click(COMMAND1)
    check_message(program, checks, "count message", "Ошибочка",
                  "Количество картинок должно быть не меньше, чем одна.")
    checks.equal("main window title after the message", program.main_title(), TITLE)
    checks.equal("files in the save folder", program.files(), [])


def case_double_click(program, checks, args):
    """A double-click on the new file in the file list opens it."""
    program.click(COMMAND1)
    program.close_box(program.wait_for_box("the completion message"))
    path = os.path.join(program.folder, "Kvel_1.GIF")
    if not os.path.exists(path):
        raise Failure(f"no file was written: {program.files()}")
    program.desktop.click(*program.list_item("Kvel_1.GIF"), repeat=2)
    try:
        opened = wait_for("the opener to be started", program.opened)
    except Failure as failure:
        checks.true("the opener was started", False, str(failure))
        return
    print(f"     the opener was given {opened!r}")
    checks.equal("paths given to the opener", [as_path(o) for o in opened], [path])


# The controls of each face as a screen reader lists them: (role, name).
# The author's addresses are cut off after their captions.
FACE_ROLES = ("label", "text", "check box", "push button", "list", "combo box", "progress bar")
def case_open_at_end(program, checks, args):
    """With В конце открыть для просмотра ticked the new file goes to the opener, and no message shows."""
    program.click(COMMAND1)
    path = os.path.join(program.folder, "Kvel_1.GIF")
    opened = wait_for("the opener to be started", program.opened)
    print(f"     the opener was given {opened!r}")
    checks.equal("paths given to the opener", [as_path(o) for o in opened], [path])
    wait_for("the idle caption", lambda: program.main_title() == TITLE)
    checks.equal("message boxes", [program.desktop.title(box) for box in program.boxes()], [])
    checks.equal("files in the save folder", program.files(), ["Kvel_1.GIF"])


WORKING_FACE = [
    ("label", "Количество картинок"), ("text", "Количество картинок"), ("label", "Размер"),
    ("text", "Размер (ширина и высота в пикселях)"),
    ("label", "(ширина и высота в пикселях)"), ("check box", "Мобильный размер 128 x 128"),
    ("check box", "Фон должен быть прозрачным"), ("check box", "Сжимать данные изображений"),
    ("check box", "Повторить предыдущий рисунок"), ("push button", IDLE_CAPTION),
    ("label", ""), ("label", ""), ("progress bar", "Создание картинки"), ("progress bar", "Создание файла"),
    ("label", "Место сохранения :"), ("combo box", "Место сохранения"), ("list", "Папка"),
    ("list", "Файлы в папке"), ("push button", "Помощь"), ("push button", "О программе"),
    ("label", "Путь и имя будущего файла :"), ("text", "Путь и имя будущего файла"), ("push button", "Выход"),
    ("check box", "В конце открыть для просмотра"),
]
ABOUT_FACE = [
    ("label", ""), ("label", ""),  # the percentage and the frame number stay, empty
    ("push button", "Отмена"), ("push button", "Перейти к программе"),
    ("label", "Web :   "), ("label", "E-mail :      "),
]


def face(program):
    """The main window's showing controls, sorted, in the form of the lists above."""
    result = []
    for role, name in program.main_controls():
        if role not in FACE_ROLES:
            continue
        for caption in ("Web :   ", "E-mail :      "):
            if name.startswith(caption):
                name = caption
        # The run's progress texts, with their numbers as N.
        name = re.sub(r"^\d+( %  готово)$", r"N\1", name)
        name = re.sub(r"^(Создаётся картинка  №  )\d+$", r"\1N", name)
        result.append((role, name))
    return sorted(result)


def case_about_face(program, checks, args):
    """The About face: its caption, the controls it hides and shows, the return and the cancel buttons."""
    checks.equal("working face at start", face(program), sorted(WORKING_FACE))

    program.click(COMMAND3)
    wait_for("the About caption", lambda: program.main_title() != TITLE)
    checks.equal("About caption (WM_NAME)", program.main_title(), ABOUT_CAPTION)
    checks.equal("About caption (_NET_WM_NAME)", program.desktop.net_title(program.main), ABOUT_CAPTION)
    checks.equal("About face", face(program), sorted(ABOUT_FACE))

    # Start is hidden on the About face: a click where it was starts nothing.
    program.click(COMMAND1)
    program.click(COMMAND7)
    wait_for("the working caption", lambda: program.main_title() == TITLE)
    checks.equal("files after a click where Start is hidden", program.files(), [])
    checks.equal("working caption after the return button", program.desktop.net_title(program.main), TITLE)
    checks.equal("working face after the return button", face(program), sorted(WORKING_FACE))

    # Start works again on the working face.
    program.click(COMMAND1)
    program.close_box(program.wait_for_box("the completion message"))
    checks.equal("files after Start on the working face", program.files(), ["Kvel_1.GIF"])

    # On the About face the exit button reads Отмена and sits lower left; it ends the program.
    program.click(COMMAND3)
    wait_for("the About caption", lambda: program.main_title() != TITLE)
    program.click(COMMAND4_ABOUT)
    boxes, _ = wait_for_end(program, WAIT_SECONDS)
    checks.equal("exit status after Отмена", program.process.poll(), 0)
    checks.equal("message boxes on the way out", boxes, [])
    check_stored_by_close(program, checks, 1)


def case_about_slow_font(program, checks, args):
    """Every open of the sound font takes 2 s, as on a cold network disk: the About face
    shows at once, Перейти к программе during the load brings the working face back, and
    SIGTERM during a load ends the program at once, with the settings stored."""
    asked = time.monotonic()
    program.click(COMMAND3)
    wait_for("the About face", lambda: face(program) == sorted(ABOUT_FACE))
    shown = time.monotonic() - asked
    checks.true(f"the About face showed {shown:.2f} s after the press, before the font loaded", shown < 2.0)
    program.click(COMMAND7)
    wait_for("the working face", lambda: face(program) == sorted(WORKING_FACE))
    program.click(COMMAND3)
    wait_for("the About caption", lambda: program.main_title() == ABOUT_CAPTION)
    signalled = time.monotonic()
    os.kill(program.pid, signal.SIGTERM)
    wait_for("the program to end", lambda: ended(program.pid))
    took = time.monotonic() - signalled
    checks.true(f"the program ended {took:.2f} s after SIGTERM, before the font loaded", took < 2.0)
    boxes, _ = wait_for_end(program, WAIT_SECONDS)
    checks.equal("exit status", program.process.poll(), 0)
    checks.equal("message boxes shown after the signal", boxes, [])
    check_stored_by_close(program, checks, 1)


def case_about_during_run(program, checks, args):
    """The About face opened during a run keeps the run's progress in view until the run ends."""
    program.click(COMMAND1)
    wait_for("the running caption", lambda: program.main_title().startswith(CREATING_CAPTION))
    with program.held():
        program.click(COMMAND3)
    wait_for("the About caption", lambda: not program.main_title().startswith(CREATING_CAPTION))
    during = face(program)
    if program.boxes():
        print("     not checked: the run ended before the About face could be read")
    else:
        running = [("label", "N %  готово"), ("label", "Создаётся картинка  №  N"),
                   ("progress bar", "Создание файла")]
        checks.equal("About face during the run", during,
                     sorted([c for c in ABOUT_FACE if c != ("label", "")] + running))
    program.close_box(program.wait_for_box("the completion message"))
    checks.equal("About face after the run", face(program), sorted(ABOUT_FACE))
    program.click(COMMAND7)
    wait_for("the working caption", lambda: program.main_title() == TITLE)
    checks.equal("working face after the return button", face(program), sorted(WORKING_FACE))
    checks.equal("files in the save folder", program.files(), ["Kvel_1.GIF"])


def case_slow_sync(program, checks, args):
    """Every sync of the program takes 3 s, as on a slow USB stick: while the run's
    file is being synced the window still answers a screen reader and opens the
    About face, and the file is complete once the run ends."""
    program.click(COMMAND1)
    time.sleep(1.0)  # 10 frames of 200 are made in a fraction of that; the sync takes 3 s
    asked = time.monotonic()
    controls = program.main_controls()
    answered = time.monotonic() - asked
    checks.true("a screen reader is answered within 1 s during the sync", answered < 1.0 and bool(controls),
                f"{answered:.2f} s")
    asked = time.monotonic()
    program.click(COMMAND3)
    wait_for("the About caption", lambda: program.main_title() == ABOUT_CAPTION, 1.0)
    checks.true("the About face opens within 1 s during the sync", time.monotonic() - asked < 1.0)
    program.close_box(program.wait_for_box("the completion message"))
    program.click(COMMAND7)
    wait_for("the working caption", lambda: program.main_title() == TITLE)
    checks.equal("files in the save folder", program.files(), ["Kvel_1.GIF"])
    summary = subprocess.run([args.gif_summary, os.path.join(program.folder, "Kvel_1.GIF")],
                             capture_output=True, text=True)
    checks.equal("decoded picture (frames, size)", summary.stdout.strip() or summary.stderr.strip(), "10 200x200")


def case_screen_reader(program, checks, args):
    """A run worked by keyboard alone, as a screen reader follows it: the focus
    after Tab, the progress bars' values during the run, Escape on the message."""
    bars = program.a11y.progress_bars(program.main_accessible())
    idle = {"Создание картинки": (0, 0, 32), "Создание файла": (0, 0, 32)}
    checks.equal("progress bars at start (minimum, value, maximum)", program.a11y.reading(bars), idle)
    picture, total = bars.get("Создание картинки"), bars.get("Создание файла")
    if not picture or not total:
        raise Failure("the progress bars have no value for a screen reader")
    program.desktop.focus(program.main)
    program.click(TEXT1)
    program.desktop.key("Tab", "Tab", "Tab", "Tab", "Tab")  # the repeat box is disabled before the first run
    checks.equal("focus after five Tabs from the count box", program.a11y.focused(program.main_accessible()),
                 IDLE_CAPTION)
    # A screen reader hears a progress bar through its value-change events.
    announced = []
    from gi.repository import GLib
    listener = program.a11y.atspi.EventListener.new(lambda event: announced.append(event.source))
    listener.register("object:property-change:accessible-value")
    program.desktop.key("Return")
    seen = []
    while not program.boxes():
        seen.append((picture.get_current_value(), total.get_current_value()))
        GLib.MainContext.default().iteration(False)
        if program.process.poll() is not None:
            raise Failure("the program ended during the run")
    while GLib.MainContext.default().iteration(False):
        pass
    listener.deregister("object:property-change:accessible-value")
    announced = [source.get_name() for source in set(announced)]
    print(f"     {len(seen)} readings of (picture, file) during the run, the last {seen[-1:]}")
    checks.true("both bars announced their changes", {"Создание картинки", "Создание файла"} <= set(announced),
                f"{len(announced)} events from {sorted(set(announced))}")
    checks.true("the file bar rose during the run, never falling", max(f for _, f in seen) > 0 and
                all(a[1] <= b[1] or b[1] == 0 for a, b in zip(seen, seen[1:])), repr(seen))
    checks.true("every value within 0..32", all(0 <= v <= 32 for pair in seen for v in pair), repr(seen))
    box = program.wait_for_box("the completion message")
    program.desktop.focus(box)
    program.desktop.key("Escape")
    wait_for("Escape to close the message box", lambda: box not in program.boxes())
    checks.equal("progress bars after the run", program.a11y.reading(bars), idle)
    checks.equal("files in the save folder", program.files(), ["Kvel_1.GIF"])


def case_sigterm_during_run(program, checks, args):
    """SIGTERM during a run: the program ends at once, leaves no file, keeps the settings."""
    program.click(COMMAND1)
    # Writing has begun once the program holds a file open in the save folder.
    wait_for("the output file to be open", lambda: open_in(program.process.pid, program.folder))
    with program.held():
        program.process.send_signal(signal.SIGTERM)
    boxes, took = wait_for_end(program, WAIT_SECONDS)
    ended = program.process.poll() is not None
    checks.true("the program ended after SIGTERM", ended, f"still running after {took:.1f} s")
    if ended:
        print(f"     ended {took:.2f} s after the signal, status {program.process.returncode}")
        # About 2 s, with room for a busy machine.
        checks.true("the program ended within a few seconds", took < 5, f"took {took:.1f} s")
    checks.equal("message boxes shown after the signal", boxes, [])
    checks.equal("files left in the save folder (hidden ones included)", program.files(), [])
    check_stored_by_close(program, checks, 100)


def case_sigterm_behind_box(program, checks, args):
    """A run ends while the help box is open, its message waiting; SIGTERM then ends the
    program at once, keeping the complete file and the settings, with no other message."""
    program.click(COMMAND1)
    wait_for("the running caption", lambda: program.main_title().startswith(CREATING_CAPTION))
    with program.held():
        program.click(COMMAND2)
    program.wait_for_box("the help box")
    path = os.path.join(program.folder, "Kvel_1.GIF")
    wait_for("the run's file", lambda: os.path.exists(path))
    program.process.send_signal(signal.SIGTERM)
    boxes, took = wait_for_end(program, WAIT_SECONDS)
    checks.true(f"the program ended {took:.2f} s after SIGTERM", program.process.poll() is not None)
    checks.true("no message box but the help after the signal", set(boxes) <= {"Как работать с программой"}, boxes)
    summary = subprocess.run([args.gif_summary, path], capture_output=True, text=True)
    checks.equal("the file kept (frames, size)", summary.stdout.strip() or summary.stderr.strip(), "100 1000x1000")
    check_stored_by_close(program, checks, 100)


def case_sigterm_idle(program, checks, args):
    """SIGTERM with no run: the settings are stored and the program ends."""
    program.process.send_signal(signal.SIGTERM)
    boxes, took = wait_for_end(program, WAIT_SECONDS)
    checks.true("the program ended after SIGTERM", program.process.poll() is not None,
                f"still running after {took:.1f} s")
    checks.equal("message boxes shown after the signal", boxes, [])
    check_stored_by_close(program, checks, 1)


def case_stop_during_run(program, checks, args):
    """The caption while a file is written; Stop: its message, no file, back to idle."""
    program.click(COMMAND1)
    wait_for("the running caption", lambda: program.main_title().startswith(CREATING_CAPTION))
    with program.held():
        running = CREATING_CAPTION + os.path.join(program.folder, "Kvel_1.GIF")
        checks.equal("running caption (WM_NAME)", program.main_title(), running)
        checks.equal("running caption (_NET_WM_NAME)", program.desktop.net_title(program.main), running)
        program.click(COMMAND1)
    check_message(program, checks, "stop message", "Операция прервана",
                  "Процесс был прерван.\nСохранение не произошло.")
    checks.equal("main window title after the stop", program.main_title(), TITLE)
    checks.true("Start has its idle caption again", ("push button", IDLE_CAPTION) in program.main_controls(),
                repr(program.main_controls()))
    checks.equal("files left in the save folder (hidden ones included)", program.files(), [])


def case_exit_during_run(program, checks, args):
    """Выход during a run: settings stored first, the exit message, no file, the program ends."""
    program.click(COMMAND1)
    wait_for("the output file to be open", lambda: open_in(program.process.pid, program.folder))
    with program.held():
        program.click(COMMAND4_WORKING)
    box = check_message(program, checks, "exit message", "Выход из программы",
                        "Процесс не был завершён.\nСохранение не произошло.", close=False)
    check_stored_by_close(program, checks, 100)
    program.desktop.focus(box)
    program.desktop.key("Return")
    wait_for_end(program, WAIT_SECONDS)
    checks.equal("exit status", program.process.poll(), 0)
    checks.equal("files left in the save folder (hidden ones included)", program.files(), [])


def case_typed_path(program, checks, args):
    """Paths typed into the path box: an existing file is refused, a new one is named exactly."""
    taken = os.path.join(program.folder, "taken.GIF")
    with open(taken, "wb") as existing:
        existing.write(b"mine")
    program.desktop.focus(program.main)
    program.click(TEXT3)
    program.desktop.key("ctrl+a")
    program.desktop.type(taken)
    program.click(COMMAND1)
    box = program.wait_for_box("the existing-file message")
    checks.equal("existing-file message text", program.box_text("Ошибка"),
                 f"В этой папке уже есть такой файл :\n{taken}.")
    program.close_box(box)
    with open(taken, "rb") as existing:
        checks.equal("the existing file", existing.read(), b"mine")
    checks.equal("files opened", program.opened(), [])

    # A name that looks like markup is still just a name.
    other = os.path.join(program.folder, "sub")
    os.mkdir(other)
    typed = os.path.join(other, "<i>y.GIF")
    program.click(TEXT3)
    program.desktop.key("ctrl+a")
    program.desktop.type(typed)
    program.click(COMMAND1)
    box = program.wait_for_box("the completion message")
    checks.equal("completion message text", program.box_text(DONE_TITLE),
                 f'Файл  готов!  Его  имя:   "<i>y.GIF"\nМестонахождение:   {other}')
    program.close_box(box)
    checks.equal("files in the typed folder", sorted(os.listdir(other)), ["<i>y.GIF"])


def ended(pid):
    """Whether the process has ended, reaped or not."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rpartition(")")[2].split()[0] in ("Z", "X")
    except FileNotFoundError:
        return True


def open_in(pid, folder):
    """Whether the process holds a file in folder open (named or not)."""
    fds = f"/proc/{pid}/fd"
    try:
        for fd in os.listdir(fds):
            try:
                if os.readlink(os.path.join(fds, fd)).startswith(folder + "/"):
                    return True
            except OSError:
                pass
    except OSError:
        pass
    return False


CASES = {
    "completed_run": (case_completed_run, {}),
    "count_zero": (case_count_zero, {}),
    "double_click": (case_double_click, {}),
    "about_face": (case_about_face, {"stored_by_close": False}),
    "sigterm_during_run": (case_sigterm_during_run, {"frames": 100, "size": 1000, "stored_by_close": False}),
    "sigterm_idle": (case_sigterm_idle, {"stored_by_close": False}),
    "sigterm_behind_box": (case_sigterm_behind_box, {"frames": 100, "size": 1000, "stored_by_close": False}),
    "stop_during_run": (case_stop_during_run, {"frames": 100, "size": 1000}),
    "exit_during_run": (case_exit_during_run, {"frames": 100, "size": 1000, "stored_by_close": False}),
    "typed_path": (case_typed_path, {}),
    "about_during_run": (case_about_during_run, {"frames": 100, "size": 1000}),
    "about_slow_font": (case_about_slow_font, {"stored_by_close": False}),
    "open_at_end": (case_open_at_end, {"open_at_end": 1}),
    "slow_sync": (case_slow_sync, {"frames": 10, "size": 200}),
    "screen_reader": (case_screen_reader, {"frames": 100, "size": 1000}),
}

# Cases that run the program under a wrapper.
SLOW_SYNC = ("strace", "-f", "-qq", "-o", os.devnull, "-e", "trace=fsync",
             "-e", "inject=fsync:delay_enter=3000000")
SLOW_FONT = ("strace", "-f", "-qq", "-o", os.devnull, "-P", "/usr/share/sounds/sf2/default-GM.sf2",
             "-e", "trace=openat", "-e", "inject=openat:delay_enter=2000000")
WRAPPERS = {"slow_sync": SLOW_SYNC, "about_slow_font": SLOW_FONT}


def in_own_session():
    """Runs this script again in a session bus of its own, whose accessibility
    bus keeps its socket in a runtime folder of its own: tests running side by
    side must not meet on one bus, nor on a display the developer is using."""
    if not shutil.which("dbus-run-session"):
        print("missing dbus-run-session: tools/install-deps.sh installs it")
        return 1
    runtime = tempfile.mkdtemp(prefix="vz-desktop-run-")
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS")}
    env.update(VZ_DESKTOP_SESSION="own", XDG_RUNTIME_DIR=runtime)
    try:
        return subprocess.run(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__), *sys.argv[1:]],
                              env=env).returncode
    finally:
        shutil.rmtree(runtime, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--gif-summary", required=True)
    parser.add_argument("--shots", help="folder for screenshots of the screen at the end")
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()

    tools = {name: shutil.which(name) or name for name in ("Xvfb", "xdotool", "xprop", "strace")}
    missing = [name for name, path in tools.items() if not shutil.which(path)]
    try:
        Accessibility()
    except (ImportError, ValueError):
        missing.append("python3-gi with gir1.2-atspi-2.0")
    if missing:
        print(f"missing {', '.join(missing)}: tools/install-deps.sh installs them")
        return 1
    if os.environ.get("VZ_DESKTOP_SESSION") != "own":
        return in_own_session()

    case, options = CASES[args.case]
    checks = Checks()
    server = XServer(tools)
    program = None
    try:
        desktop = Desktop(tools, server.display)
        program = Program(args, desktop, lambda folder: run_settings(folder, **options),
                          WRAPPERS.get(args.case, ()))
        program.wait_until_shown()
        case(program, checks, args)
    except Failure as failure:
        print(f"FAIL {failure}")
        checks.failed.append(str(failure))
        if program is not None:
            print("     windows shown: " + repr([program.desktop.title(w) for w in program.desktop.windows()]))
    finally:
        if args.shots and program is not None:
            os.makedirs(args.shots, exist_ok=True)
            program.desktop.screenshot(os.path.join(args.shots, args.case + ".png"))
        if program is not None:
            output = program.output().strip()
            if output and checks.failed:
                print("program output:\n" + output)
            program.end()
        server.stop()
    if checks.failed:
        print(f"{len(checks.failed)} check(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
