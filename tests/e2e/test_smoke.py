"""The shell's main path in one run, for a shell that starts and draws slowly: the arm64 package under
emulation in an arm64 root (scripts/test-arm64). The start page sizes and centres the window, the icon
docks, a portal link from the tray menu opens its page, and an exit answered 是 ends the shell and its
engine. What the other files check in detail is left to them."""

import harness
from harness import MENU_BAR_HEIGHT, TRAY_MENU_ROWS, CommandTestCase, wait_until
from test_exit import TRAY_EXIT_ROW

TRAY_SEARCH_ROW = 2
# Under emulation the engine starts and answers many times slower than on the machine's own processor.
SLOW = 300


class Smoke(CommandTestCase):
    def open_tray_item(self, icon, row):
        self.click(icon, 3)
        menu = self.wait_for_popup([], timeout=60)
        self.click_menu_row(menu, row, TRAY_MENU_ROWS)

    def test_sized_and_docked_a_link_opens_and_exit_ends_everything(self):
        self.start_tray()
        self.start_portal()
        self.start_shell()
        self.find_main_window(timeout=SLOW)
        self.wait_for_size(800, 560 + MENU_BAR_HEIGHT, timeout=SLOW)
        self.assertCentred(self.geometry(), 800, 560 + MENU_BAR_HEIGHT)
        self.assertEqual(self.caption(), "QZ 门户")
        icon = self.tray_icon(timeout=SLOW)

        self.open_tray_item(icon, TRAY_SEARCH_ROW)
        self.wait_for_new_window([self.main_window], timeout=SLOW, caption="智能搜索")
        searches = wait_until(lambda: self.requests_for("/?from=qz", "search"), SLOW,
                              "the search portal is requested")
        self.assertIn("qz_session=demo", searches[0]["cookie"], "the link's window shares the session")

        shown = self.own_windows()
        self.open_tray_item(icon, TRAY_EXIT_ROW)
        question = self.wait_for_new_window(shown, timeout=SLOW)
        self.assertEqual(self.caption(question), "请确认")
        self.key("Return", window=question)  # 是, the default answer
        status, _ = self.wait_for_end(icon, timeout=SLOW)
        self.assertEqual(status, 0, f"the shell's exit status; its stderr: {self.read(self.shell_stderr)[-2000:]}")
        wait_until(lambda: not self.engine_processes(), 60,
                   lambda: f"the browser engine's processes end with the shell: {self.engine_processes()} remain")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
