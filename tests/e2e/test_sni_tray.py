"""The tray on a StatusNotifierItem host (gtk-sni-tray-standalone, which draws the item's menu itself):
the host's menu holds the seven tray items and a pick runs its command, the host's clicks restore the
window, the tip is the tooltip's title, and a host that starts late or restarts gets the icon back."""

import json
import re
import subprocess

import harness
from harness import CommandTestCase, wait_until

NORMAL_STATE = 1
ICONIC_STATE = 3
TRAY_ITEMS = ["通行天下", "Q  Z大厅", "智能搜索", "网址导航", "帮助中心", "打开窗口", "退出 QZ"]


class SniTray(CommandTestCase):
    def setUp(self):
        super().setUp()
        self.start_session_bus()
        self.start_window_manager()

    def start(self, host=True):
        bar = self.start_sni_host() if host else None
        self.start_portal()  # the demo start page sizes the window: "QZ 门户@800@560"
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption("QZ 门户")
        wait_until(lambda: self.wm_state() == NORMAL_STATE, 10, "openbox manages the window")
        return bar

    def tooltip(self):
        return self.item_call("/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                              "org.kde.StatusNotifierItem", "ToolTip") or ""

    def icon_spot(self, bar):
        """The middle of the first icon in the host's bar, once the host draws the shell's icon there."""
        geometry = self.geometry(bar)
        spot = (geometry.x + geometry.height // 2, geometry.y + geometry.height // 4)

        def drawn():
            red, green, blue = self.pixel(*spot)
            return blue > red + 80  # the shell's icon is blue
        wait_until(drawn, 20, "the host shows the shell's icon")
        return spot

    def test_host_menu_runs_tray_items_and_activate_restores_window(self):
        spot = self.icon_spot(self.start())
        wait_until(lambda: "'QZ 门户'" in self.tooltip(), 20, "the tip reaches the host as the tooltip's title")
        layout = self.item_call("/MenuBar", "com.canonical.dbusmenu.GetLayout", "0", "--", "-1", "[]")
        self.assertEqual(re.findall(r"'label': <'([^']*)'>", layout), TRAY_ITEMS, "the exported menu's items")
        self.assertNotIn("shortcut", layout)

        known = self.top_level_popups()
        self.xdotool("mousemove", *spot, "click", 3)
        # GTK keeps a small helper popup off screen beside the menu.
        menu = wait_until(lambda: next((w for w in set(self.top_level_popups()) - set(known)
                                        if self.geometry(w).width > 20), None), 10, "the host's menu opens")
        self.assertGreater(self.geometry(menu).height, 7 * 14, "the host's menu holds the seven items")
        self.screenshot("sni-host-menu")
        self.click_menu_row(menu, 2, 7)  # 智能搜索
        wait_until(lambda: self.requests_for("/?from=qz", "search"), 20, "the pick opens the search portal")

        self.close_window()
        wait_until(lambda: not self.viewable() and self.wm_state() != ICONIC_STATE, 10,
                   "with a host showing the icon, closing the window hides it")
        self.xdotool("mousemove", *spot, "click", 1)
        wait_until(self.viewable, 10, "the host's activation brings the window back")
        self.assertNoShellErrors()

    def test_host_started_after_shell_shows_icon(self):
        self.start(host=False)
        self.close_window()
        wait_until(lambda: self.wm_state() == ICONIC_STATE, 10, "without a tray host a close minimizes")

        spot = self.icon_spot(self.start_sni_host())
        self.xdotool("mousemove", *spot, "click", 1)
        wait_until(lambda: self.wm_state() == NORMAL_STATE and self.viewable(), 10,
                   "a left click on the late host's icon restores the window")
        self.close_window()
        wait_until(lambda: not self.viewable() and self.wm_state() != ICONIC_STATE, 10,
                   "now that a host shows the icon, closing the window hides it")
        self.assertNoShellErrors()

    def test_watcher_restart_gets_icon_back(self):
        self.start()
        self.shell_sni_item()
        self._stop(self.sni_host)
        wait_until(lambda: not self.sni_items(), 10, "the watcher is gone")
        self.close_window()
        wait_until(lambda: self.wm_state() == ICONIC_STATE, 10, "with the host gone a close minimizes")

        self.icon_spot(self.start_sni_host())
        wait_until(lambda: "'QZ 门户'" in self.tooltip(), 20, "the tip comes back with the icon")
        known = self.top_level_popups()
        self.item_call("/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", "300", "400")
        menu = self.wait_for_popup(known)
        geometry = self.geometry(menu)
        self.assertEqual((geometry.x, geometry.y), (300, 400), "the popup opens where the host asks")
        self.key("Escape")
        wait_until(lambda: not self.viewable(menu), 10, "Escape closes the menu")
        self.item_call("/MenuBar", "com.canonical.dbusmenu.Event", "6", "clicked", "<0>", "0")  # 打开窗口
        wait_until(lambda: self.wm_state() == NORMAL_STATE and self.viewable(), 10,
                   "the exported 打开窗口 brings the window back")
        self.assertNoShellErrors()

    def test_portal_notification_goes_to_the_desktops_notification_server(self):
        # The host draws no balloons: dunst, on the test's bus and display, shows them instead.
        self._start("dunst", ["dunst"])
        self.wait_for_bus_name("org.freedesktop.Notifications", 20, "dunst serves notifications")
        self.start_sni_host()
        self.start_portal("--start-title", "起始页", "--start-next", "/test/pages/notify",
                          "--start-next-after", "0.3")
        self.start_shell()
        self.find_main_window()
        question = wait_until(lambda: next((w for w in self.shell_windows() if self.viewable(w)
                                            and self.caption(w).startswith("来自 ")), None),
                              30, "the page asks to notify")
        self.key("Tab", "space", window=question)  # 允许
        wait_until(lambda: self.dunstctl("count", "displayed") == "1", 20, "the desktop shows the notification")
        self.screenshot("sni-desktop-notification")
        self.dunstctl("action", "0")
        wait_until(lambda: self.requests_for("/test/page?title=clicked"), 20, "the page learns of the click")

        self.dunstctl("close-all")
        shown = wait_until(lambda: json.loads(self.dunstctl("history"))["data"][0], 10, "dunst keeps it")
        self.assertEqual(shown[0]["summary"]["data"], "门户通知")
        self.assertEqual(shown[0]["appname"]["data"], "qz-shell")
        # The page's text is plain text: its "<b>" is not bold.
        self.assertIn("&lt;b&gt;1&lt;/b&gt;", shown[0]["body"]["data"])
        self.assertNoShellErrors()

    def dunstctl(self, *args):
        result = subprocess.run(["dunstctl", *args], env=self._env(), capture_output=True, text=True, timeout=30)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()


if __name__ == "__main__":
    harness.main()
