"""Start-up without update settings, from a folder deeper than MAX_PATH, the interface language, a start
at 144 DPI, messages about the DPI from other programs, and libraries placed beside the launcher."""
import shutil
import time

from harness import wine
from harness.launcher import Launcher

from .common import started

NO_SETTINGS = {
    "en": "The launcher has no update settings. Please download it again.",
    "zh": "启动器缺少更新配置，请重新下载启动器。",
}


def no_update_settings(session) -> None:
    """Without launcher.cfg the test build has no update source: the message in the interface
    language, exit code 1, no window and nothing written."""
    for language in ("en", "zh"):
        session.user_data.mkdir(parents=True, exist_ok=True)
        (session.user_data / "settings.cfg").write_text(f"Language={language}\n")
        launcher = Launcher(session, f"unconfigured-{language}", config="").start()
        box = launcher.message_box()
        text = launcher.message_text(box)
        assert NO_SETTINGS[language] in text, f"message box reads {text!r}"
        assert session.windows.find("VelkarLauncher") is None, "a window exists beside the message"
        session.screenshot(f"no-update-settings-{language}")
        launcher.answer(box, "Return")
        assert launcher.exit_code() == 1
        assert sorted(p.name for p in launcher.folder.iterdir()) == ["VelkarLauncher.exe"], "it wrote files"
        assert (session.user_data / "settings.cfg").read_text() == f"Language={language}\n"


def long_path(session) -> None:
    """A launcher whose path is longer than MAX_PATH leaves the whole of it in launcher.path, by which
    the game starts it again (the install folder is chosen short, as a player may)."""
    install_dir = session.folder / "Velkar"
    session.user_data.mkdir(parents=True, exist_ok=True)
    (session.user_data / "settings.cfg").write_text(f"InstallDir={wine.windows_path(install_dir)}\nLanguage=en\n")
    launcher = Launcher(session, "a" * 120 + "/" + "b" * 120)
    launcher.install_dir = install_dir
    path = wine.windows_path(launcher.exe)
    assert len(path) > 260, path
    launcher.start().window()
    launcher.wait_state("attention", "Not installed")
    recorded = (launcher.metadata / "launcher.path").read_text(encoding="utf-8")
    assert recorded == path, f"launcher.path holds {len(recorded)} of the {len(path)} characters: {recorded!r}"
    assert launcher.close("NotInstalled") == 0


def chinese_interface(session) -> None:
    """The language button switches every text at once and the choice outlives the process."""
    launcher = started(session)
    launcher.wait_state("attention", "Not installed")
    launcher.click("language", "NotInstalled")
    launcher.english = False
    launcher.wait_title("尚未安装")
    session.screenshot("chinese")
    assert "Language=zh" in (session.user_data / "settings.cfg").read_text().splitlines()
    assert launcher.close("NotInstalled") == 0
    launcher = Launcher(session).start()
    launcher.english = False
    launcher.wait_state("attention", "尚未安装")
    assert launcher.close("NotInstalled") == 0


def dpi_144(session) -> None:
    """At 144 DPI the window measures 1500 x 960 pixels, draws its texts at that scale, and a click at
    a button's pixel lands on that button.

    The clicks are posted to the window at the pixels the layout gives for 144 DPI rather than made
    with the X pointer: under the lasting wineserver of a test run Wine keeps the 1024 x 768 screen of
    its first display and the pointer on it, so most of a 1500 x 960 window cannot be reached by the
    pointer, and a window moved into that view from another program does not receive the click. The
    window procedure still turns the pixels into DIPs and hit-tests them as it does for the mouse."""
    wine.set_dword(session.env, wine.DESKTOP, "LogPixels", 144)
    try:
        launcher = started(session)
        launcher.dpi = 144
        window = launcher.window(check=lambda w: w.width != 1000)
        assert (window.width, window.height) == (1500, 960), f"{window.width} x {window.height}"
        launcher.wait_state("attention", "Not installed")
        session.screenshot("not-installed-144-dpi")
        buttons = session.layout.buttons("NotInstalled", True, 144)
        session.windows.post_click(window, *buttons["language"]["click"])
        settings = session.user_data / "settings.cfg"
        deadline = time.monotonic() + 15
        while not (settings.exists() and "Language=zh" in settings.read_text().splitlines()):
            assert time.monotonic() < deadline, "the click did not reach the language button"
            time.sleep(0.1)
        launcher.english = False
        session.screenshot("chinese-144-dpi")
        buttons = session.layout.buttons("NotInstalled", False, 144)
        session.windows.post_click(launcher.window(), *buttons["close"]["click"])
        assert launcher.exit_code() == 0
    finally:
        wine.delete_value(session.env, wine.DESKTOP, "LogPixels")


WM_DPICHANGED = 0x02E0


def dpi_message(session) -> None:
    """WM_DPICHANGED may come from any program on the desktop: the window takes the size of a DPI the
    message names, around its centre, ignores one no monitor has, and never reads the rectangle whose
    address the message carries (here an address where nothing is; reading it ends the process)."""
    launcher = started(session)
    launcher.wait_state("attention", "Not installed")
    window = launcher.window()
    centre = (window.left + window.width // 2, window.top + window.height // 2)
    session.windows.post(window, WM_DPICHANGED, 120 << 16 | 120, 0x10)
    window = launcher.window(check=lambda w: w.width != 1000)
    assert (window.width, window.height) == (1250, 800), f"{window.width} x {window.height}"
    assert abs(window.left + window.width // 2 - centre[0]) <= 1, "the window left its place"
    for wparam in (5000 << 16 | 5000, 0, 96 << 16 | 144):
        session.windows.post(window, WM_DPICHANGED, wparam, 0x10)
    session.windows.post(window, WM_DPICHANGED, 96 << 16 | 96, 0)
    window = launcher.window(check=lambda w: w.width != 1250)
    assert (window.width, window.height) == (1000, 640), f"{window.width} x {window.height}"
    assert launcher.close("NotInstalled") == 0


# The libraries the launcher uses that are not on Windows' known-library list.
PLANTED = ("winhttp", "bcrypt", "crypt32", "version", "dwmapi", "d2d1", "dwrite", "windowscodecs")


def planted_libraries(session) -> None:
    """Libraries named like those the launcher uses, placed beside it (as anyone who can write a shared
    games folder could), never load: neither when it starts nor when it first uses them (the window, the
    release check, its signature). Each stand-in leaves a file beside itself when its start-up code runs.

    What Wine shows: under Wine a library found beside a program is preferred to Wine's own only for
    some names (here dwmapi), so that is the one a faulty launcher loads, at its start when it imports the
    library at load time, at its first use when the search still includes the program's folder. Only
    Windows shows the rest: that it takes the known libraries always from the system folder, and each of
    the others from the program's folder when found there."""
    launcher = Launcher(session, "planted")
    for name in PLANTED:
        shutil.copyfile(session.paths.fixture("planted_library.dll"), launcher.folder / f"{name}.dll")
    launcher.start()
    launcher.wait_state("attention", "Not installed")
    assert launcher.close("NotInstalled") == 0
    loaded = sorted(p.name for p in launcher.folder.glob("*.loaded"))
    assert not loaded, f"loaded from beside the launcher: {loaded}"


SCENARIOS = {
    "no_update_settings": (no_update_settings, (1280, 800)),
    "long_path": (long_path, (1280, 800)),
    "chinese_interface": (chinese_interface, (1280, 800)),
    "dpi_144": (dpi_144, (1280, 800)),
    "dpi_message": (dpi_message, (1280, 800)),
    "planted_libraries": (planted_libraries, (1280, 800)),
}
