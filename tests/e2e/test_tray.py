"""The tray icon: a left click brings the window back in the normal state, a right click opens the tray
menu at the pointer, and dismissing the menu changes nothing."""

import harness
from harness import ShellTestCase, wait_until

NORMAL_STATE = 1
ICONIC_STATE = 3


class Tray(ShellTestCase):
    def start(self, window_manager=False):
        if window_manager:
            self.start_window_manager()
        self.start_tray()
        self.start_portal("--start-title", "托盘测试")
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption("托盘测试")
        return self.tray_icon()

    def test_left_click_restores_minimized_window(self):
        icon = self.start(window_manager=True)
        wait_until(lambda: self.wm_state() == NORMAL_STATE, 10, "openbox manages the window")
        size = self.geometry()[2:]

        self.minimize()
        wait_until(lambda: self.wm_state() == ICONIC_STATE and not self.viewable(), 10,
                   "the window is minimized")

        self.click(icon, 1)
        wait_until(lambda: self.wm_state() == NORMAL_STATE and self.viewable(), 10,
                   "a left click on the icon brings the window back")
        self.assertNotIn("_NET_WM_STATE_HIDDEN", self.net_wm_state())
        self.assertEqual(self.geometry()[2:], size)
        self.screenshot("tray-restored")
        self.assertNoShellErrors()

    def test_left_click_shows_closed_window(self):
        icon = self.start()
        geometry = self.geometry()

        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "closing the window hides it")
        self.hold(1.5, "after its window was closed")
        self.assertTrue(self.viewable(icon), "the icon stays while the window is hidden")

        self.click(icon, 1)
        wait_until(self.viewable, 10, "a left click on the icon shows the window")
        self.assertEqual(tuple(self.geometry()), tuple(geometry))
        self.assertEqual(self.caption(), "托盘测试")
        self.assertNoShellErrors()

    def test_right_click_opens_menu_at_pointer_and_escape_changes_nothing(self):
        icon = self.start()
        geometry, caption = tuple(self.geometry()), self.caption()
        before = set(self.top_level_popups())
        requests = len(self.page_requests())

        self.click(icon, 3)
        menu = wait_until(lambda: set(self.top_level_popups()) - before, 10, "a popup menu opens")
        self.assertEqual(len(menu), 1, "one popup window")
        menu = menu.pop()
        pointer = self.pointer()
        menu_geometry = self.geometry(menu)
        self.assertTrue(menu_geometry.contains(*pointer, margin=2),
                        f"the menu {menu_geometry} opens at the pointer {pointer}")
        # Seven items: taller than a few rows, far smaller than the screen.
        self.assertGreater(menu_geometry.height, 7 * 14)
        self.assertLess(menu_geometry.height, 600)
        self.screenshot("tray-menu")

        self.key("Escape")
        wait_until(lambda: not self.viewable(menu), 10, "Escape closes the menu")
        self.hold(1.0, "after the menu closed")
        self.assertEqual(tuple(self.geometry()), geometry)
        self.assertTrue(self.viewable())
        self.assertEqual(self.caption(), caption)
        self.assertEqual(len(self.page_requests()), requests, "no page was requested")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
