"""Without a notification area the shell still starts and sizes its window; closing the window then
minimizes it, since a hidden window could not be brought back."""

import harness
from harness import ShellTestCase, wait_until

ICONIC_STATE = 3


class NoTrayHost(ShellTestCase):
    def test_starts_and_sizes_without_tray_host(self):
        self.start_portal()  # the demo start page: "QZ 门户@800@560"
        self.start_shell()
        self.find_main_window()
        self.wait_for_size(800, 580)
        self.assertCentred(self.geometry(), 800, 580)
        self.assertEqual(self.caption(), "QZ 门户")
        self.wait_for_page_to_fill_window()
        self.screenshot("no-tray-host")
        self.hold(1, "without a tray host")
        self.assertNoShellErrors()

    def test_close_minimizes_without_tray_host(self):
        self.start_window_manager()
        self.start_portal("--start-title", "无托盘")
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption("无托盘")

        self.close_window()
        wait_until(lambda: self.wm_state() == ICONIC_STATE, 10, "closing the window minimizes it")
        self.hold(1, "after its window was closed")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
