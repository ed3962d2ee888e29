"""Without the portal the shell runs on: its window keeps its first size and it shows nothing else."""

import harness
from harness import INITIAL_HEIGHT, INITIAL_WIDTH, ShellTestCase, config, listening, wait_until


class PortalDown(ShellTestCase):
    def test_shell_runs_on_without_portal(self):
        # Another run on this machine (a benchmark, say) may be holding the fixed ports for a while.
        wait_until(lambda: not listening(config.service), 90, f"nothing listens on {config.service}")
        self.start_tray()
        self.start_shell()
        main = self.find_main_window()
        popups = set(self.top_level_popups())
        self.hold(5, "without the portal")

        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)
        self.assertEqual(self.top_level_windows().count(main), 1)
        own = [w for w in self.top_level_windows() if self.x.cardinals(w, "_NET_WM_PID") == [self.shell.pid]]
        self.assertEqual(own, [main], "no message box or other window of the shell's own")
        self.assertEqual(set(self.top_level_popups()), popups, "no popup appeared")
        self.tray_icon()
        self.screenshot("portal-down")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
