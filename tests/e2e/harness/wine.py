"""The Wine side: the prefix's settings the scenarios rely on, Windows paths, and programs run under
the persistent wineserver with their output in files (Wine's services inherit and keep pipes open)."""
import os
import subprocess
import tempfile
from pathlib import Path

DESKTOP = r"HKCU\Control Panel\Desktop"


def windows_path(path: Path) -> str:
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def linux_path(path: str) -> Path:
    """The Linux path of a Windows path on drive Z:."""
    assert path[:2].upper() == "Z:", path
    return Path(path[2:].replace("\\", "/"))


def environment(display: str, extra: dict = None) -> dict:
    env = dict(os.environ)
    env.update({"DISPLAY": display, "WINEDEBUG": "-all", "LC_ALL": "C.UTF-8"})
    # Wine's own runtime libraries have no version resource and would stand in for the copies the
    # release ships beside the game: the shipped ones load first, as on Windows.
    overrides = [part for part in env.get("WINEDLLOVERRIDES", "").split(";") if part]
    env["WINEDLLOVERRIDES"] = ";".join(overrides + ["msvcp140_2,vcruntime140_1=n,b"])
    env.update(extra or {})
    return env


def run(args: list, env: dict, timeout: float = 30) -> tuple:
    """Runs a program to its end; returns (exit code, standard output, standard error) as text."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(["wine", *map(str, args)], stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              env=env, timeout=timeout).returncode
        texts = []
        for stream in (out, err):
            stream.seek(0)
            texts.append(stream.read().decode("utf-8", "replace").replace("\r\n", "\n"))
        return code, *texts


def start(args: list, env: dict, log: Path) -> subprocess.Popen:
    """Starts a program; its exit code is the Popen's return code."""
    with open(log, "ab") as out:
        return subprocess.Popen(["wine", *map(str, args)], stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                env=env, start_new_session=True)


def start_server(env: dict) -> None:
    """A lasting wineserver for the prefix and Wine's services, started by a first program under the
    environment's display, so that the prefix's desktop and screen belong to that display. A server
    that already runs is used as it is."""
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    subprocess.run(["wineserver", "-p"], **quiet)
    subprocess.run(["wine", "cmd", "/c", "exit"], timeout=120, **quiet)


def set_dword(env: dict, key: str, name: str, value: int) -> None:
    run(["reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"], env)


def delete_value(env: dict, key: str, name: str) -> None:
    run(["reg", "delete", key, "/v", name, "/f"], env)


def prepare_prefix(env: dict) -> None:
    """Fonts the launcher asks for and Wine's unmanaged windows (fast to close, focus without a window
    manager); made by scripts/setup, restored here if a run left them otherwise."""
    user_reg = Path(env["WINEPREFIX"]) / "user.reg"
    text = user_reg.read_text(errors="replace") if user_reg.exists() else ""
    wanted = [(r"HKCU\Software\Wine\Fonts\Replacements", "Microsoft YaHei UI", "WenQuanYi Micro Hei"),
              (r"HKCU\Software\Wine\Fonts\Replacements", "Segoe UI", "Liberation Sans"),
              (r"HKCU\Software\Wine\X11 Driver", "Managed", "N")]
    for key, name, value in wanted:
        if f'"{name}"="{value}"' not in text:
            run(["reg", "add", key, "/v", name, "/d", value, "/f"], env)
