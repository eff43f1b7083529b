"""Runs the real quillhaven binary on the virtual desktop in private folders, for the
benchmarks. Nothing of the person running it is touched: HOME and every XDG folder point
into a temporary folder, and the app talks to no desktop and no session bus."""

import json
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path


class AppSandbox:
    def __init__(self, binary, effect_on=True):
        self.binary = str(binary)
        self.root = Path(tempfile.mkdtemp(prefix="quillhaven-bench-"))
        for name in ("home", "config", "data", "cache", "state", "runtime"):
            (self.root / name).mkdir()
        os.chmod(self.root / "runtime", 0o700)
        self.config = self.root / "config" / "Quillhaven"
        self.config.mkdir()
        self.desktop_file = self.config / "virtual-desktop.json"
        self.generated = self.root / "data" / "Quillhaven" / "Generated"
        if effect_on:
            (self.config / "Quillhaven.conf").write_text("[General]\nquillHaven.enabled=true\n")
        self.process = None

    def environment(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                            "XDG_CURRENT_DESKTOP", "QUILLHAVEN_NOTCH_HEIGHT")}
        env.update(HOME=str(self.root / "home"), XDG_CONFIG_HOME=str(self.root / "config"),
                   XDG_DATA_HOME=str(self.root / "data"), XDG_CACHE_HOME=str(self.root / "cache"),
                   XDG_STATE_HOME=str(self.root / "state"),
                   XDG_RUNTIME_DIR=str(self.root / "runtime"),
                   QT_QPA_PLATFORM="offscreen", QUILLHAVEN_DESKTOP="virtual")
        return env

    def start(self):
        self.process = subprocess.Popen([self.binary], env=self.environment(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    # ---- The virtual desktop's file ----
    def read_desktop(self):
        try:
            return json.loads(self.desktop_file.read_text())
        except (OSError, ValueError):
            return None

    def shown_url(self):
        desktop = self.read_desktop()
        if not desktop:
            return None
        return desktop["displays"][0].get("desktopImage", {}).get("url")

    def shows_generated(self, other_than=None):
        url = self.shown_url()
        return (url is not None and "/Quillhaven/Generated/quillhaven-" in url
                and url != other_than)

    def choose(self, picture):
        """Shows a picture the way a program saves the file: a new file renamed over it."""
        desktop = self.read_desktop()
        desktop["displays"][0]["desktopImage"] = {"url": Path(picture).as_uri()}
        temporary = self.desktop_file.with_suffix(".json.new")
        temporary.write_text(json.dumps(desktop))
        os.replace(temporary, self.desktop_file)

    def wait_until(self, condition, timeout, interval=0.005):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            if self.process.poll() is not None:
                raise RuntimeError("the app ended early")
            time.sleep(interval)
        return False
