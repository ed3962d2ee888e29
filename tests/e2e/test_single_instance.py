"""One shell per user and profile: starting it again, however the start writes its display, brings the running shell's window back as a left
click on its tray icon does, and ends; a shell that was killed never keeps the next one from starting."""

import os
import signal
import time

import harness
from harness import START_PATH, ShellTestCase, config, wait_until

NORMAL_STATE = 1
ICONIC_STATE = 3
# The later start needs no browser engine, window or icon: a fraction of this, even on a busy machine.
QUICK_EXIT = 3.0


class SingleInstance(ShellTestCase):
    def start_again(self, **extra):
        """Starts the shell once more; its exit status and how long it ran."""
        if os.geteuid() == 0:
            extra["QTWEBENGINE_DISABLE_SANDBOX"] = "1"
        self.starts = getattr(self, "starts", 0) + 1
        name = f"again{self.starts}"
        began = time.monotonic()
        process = self._start(name, [config.shell], env=self._env(**extra))
        try:
            status = process.wait(15)
        except Exception:
            self.fail(f"a later start is still running after 15 s: {self.read(self.logs, name + '.err')[-2000:]}")
        elapsed = time.monotonic() - began
        print(f"later start {self.starts}: status {status} after {elapsed:.2f} s")
        return status, elapsed

    def docked_icons(self):
        """Every icon in trayer's panel, whoever it belongs to."""
        icons = []
        for panel in [w for w in self.x.descendants(self.x.root) if self.x.wm_class(w) == ("panel", "trayer")]:
            for window in self.x.descendants(panel):
                geometry = self.x.geometry(window)
                if geometry and geometry.viewable and geometry.width > 4 and self.x.cardinals(window, "_NET_WM_PID"):
                    icons.append(window)
        return icons

    def start_pages(self):
        return len(self.requests_for(START_PATH))

    def assertOneShell(self, main):
        self.assertEqual(self.find_main_window(timeout=5), main, "the same main window, and only it")
        self.assertEqual(len(self.docked_icons()), 1, "one icon in the notification area")
        self.assertEqual(self.start_pages(), 1, "the later start loaded no page of its own")

    def test_later_start_brings_window_back_and_killed_shell_never_blocks(self):
        self.start_window_manager()
        self.start_tray()
        self.start_portal("--start-title", "单实例测试")
        self.start_shell()
        main = self.find_main_window()
        self.wait_for_caption("单实例测试")
        self.tray_icon()
        wait_until(lambda: self.wm_state() == NORMAL_STATE, 10, "openbox manages the window")
        geometry = tuple(self.geometry())

        # Hidden by a close request: a later start shows it, with the same display written another way.
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "the close request hides the window")
        status, elapsed = self.start_again(DISPLAY=self.display + ".0")
        self.assertEqual(status, 0)
        self.assertLess(elapsed, QUICK_EXIT)
        wait_until(lambda: self.viewable() and self.wm_state() == NORMAL_STATE, 5,
                   "the later start brings the window back")
        self.assertEqual(tuple(self.geometry()), geometry)
        self.assertOneShell(main)

        # Minimized: a later start brings it back in the normal state.
        self.minimize()
        wait_until(lambda: self.wm_state() == ICONIC_STATE and not self.viewable(), 10, "the window is minimized")
        status, elapsed = self.start_again()
        self.assertEqual(status, 0)
        self.assertLess(elapsed, QUICK_EXIT)
        wait_until(lambda: self.viewable() and self.wm_state() == NORMAL_STATE, 5,
                   "the later start restores the window")
        self.assertNotIn("_NET_WM_STATE_HIDDEN", self.net_wm_state())
        self.assertOneShell(main)
        self.assertNoShellErrors()
        for start in (1, 2):
            self.assertEqual(self.read(self.logs, f"again{start}.err").strip(), "", "the later start said nothing")

        # Killed: its lock and socket stay behind, and the next start runs all the same.
        first = self.shell
        os.kill(first.pid, signal.SIGKILL)
        first.wait(10)  # as the session that started it would
        wait_until(lambda: not self.docked_icons(), 10, "the killed shell's icon goes")
        began = time.monotonic()
        self.start_shell()
        self.find_main_window()
        self.tray_icon()
        print(f"start after kill -9: window and icon after {time.monotonic() - began:.2f} s")
        wait_until(lambda: self.start_pages() == 2, 10, "the new shell asks for the start page")
        self.assertNoShellErrors()

        # And it is the one instance now.
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "the close request hides the new window")
        status, elapsed = self.start_again()
        self.assertEqual(status, 0)
        self.assertLess(elapsed, QUICK_EXIT)
        wait_until(self.viewable, 5, "a later start brings the new shell's window back")
        self.assertEqual(len(self.docked_icons()), 1)
        self.assertEqual(self.start_pages(), 2)
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
