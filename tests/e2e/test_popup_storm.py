"""A page that opens window after window as it loads, with no click: the shell holds them back, and
goes on answering its tray."""

import harness
from harness import ShellTestCase, wait_until
from health import seconds_to_bring_back

ATTEMPTS = 20
# What the page reports once its loop has run (window.open gives null for a window held back).
DONE_TITLE = f"弹窗测试：打开了 0 / {ATTEMPTS} 个"


class PopupStorm(ShellTestCase):
    def test_windows_opened_on_load_are_held_back(self):
        self.start_tray()
        self.start_portal("--start-title", "弹窗起始页", "--start-next", f"/test/popups?n={ATTEMPTS}",
                          "--start-next-after", "0.5")
        self.start_shell()
        main = self.find_main_window()
        icon = self.tray_icon()
        wait_until(lambda: self.requests_for(f"/test/popups?n={ATTEMPTS}"), 15, "the start page moves on")
        # The caption follows the page's title once its loop has run.
        self.wait_for_caption(DONE_TITLE, timeout=15)
        self.hold(3, "after the page tried to open its windows")

        self.assertEqual(self.own_windows(), [main], "no window besides the main window")
        opened = [r for r in self.requests() if r["path"].startswith("/test/page")]
        self.assertEqual(opened, [], "no page was loaded for a held-back window")
        self.assertCentred(self.geometry(), harness.INITIAL_WIDTH, harness.INITIAL_HEIGHT)

        elapsed = seconds_to_bring_back(self, icon)
        print(f"tray click to window shown: {elapsed:.2f} s")
        self.assertEqual(self.own_windows(), [main])
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
