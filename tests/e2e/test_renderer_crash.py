"""The main view's renderer process dies: the page is loaded again the first time; when it dies again
within a minute the window shows a short notice instead, and the shell goes on answering its tray."""

import os
import signal

import harness
from harness import START_PATH, ShellTestCase, wait_until
from health import renderer_pids, seconds_to_bring_back

STOPPED_TITLE = "页面已停止响应"


class RendererCrash(ShellTestCase):
    def kill_renderers(self, known=()):
        """Kills the shell's renderers other than those known (already killed); returns the killed ones."""
        victims = wait_until(lambda: renderer_pids(self.shell.pid) - set(known), 15,
                             lambda: f"the shell has a renderer besides {sorted(known)}")
        for pid in victims:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        return victims

    def test_reload_once_then_notice(self):
        title = "渲染进程测试"
        self.start_tray()
        self.start_portal("--start-title", title)
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption(title)
        icon = self.tray_icon()
        self.assertEqual(len(self.requests_for(START_PATH)), 1)

        killed = self.kill_renderers()
        wait_until(lambda: len(self.requests_for(START_PATH)) == 2, 15,
                   lambda: f"the start page is asked for again; requests {self.requests()}")
        self.assertTrue(self.shell_alive())
        self.wait_for_caption(title, timeout=15)

        # Within the minute: the notice, not another reload.
        killed |= self.kill_renderers(killed)
        self.wait_for_caption(STOPPED_TITLE, timeout=15)
        self.assertNotIn("QZ", self.caption())
        self.hold(1.5, "while it shows the notice")
        self.assertEqual(len(self.requests_for(START_PATH)), 2, "no third load of the start page")
        self.assertCentred(self.geometry(), harness.INITIAL_WIDTH, harness.INITIAL_HEIGHT)
        self.screenshot("renderer-crash-notice")

        # Still answering: the tray brings the hidden window back.
        elapsed = seconds_to_bring_back(self, icon)
        print(f"tray click to window shown: {elapsed:.2f} s")
        self.assertEqual(self.caption(), STOPPED_TITLE)

        # The notice's button goes back to the address the page showed.
        geometry = self.geometry()
        self.xdotool("mousemove", geometry.x + geometry.width - 20, geometry.y + geometry.height - 20, "click", 1)
        self.key("Tab", "Return", window=self.main_window)
        wait_until(lambda: len(self.requests_for(START_PATH)) == 3, 10,
                   "the notice's button asks for the start page again")
        self.wait_for_caption(title, timeout=15)
        self.assertTrue(self.shell_alive())
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
