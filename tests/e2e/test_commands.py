"""The menu bar's commands by their keys: portal links open new browser windows, refresh asks for the
page again, "新窗口" does nothing, the print commands open their dialogs, and the Internet options
delete the cookies once the user agrees."""

import harness
from harness import START_PATH, CommandTestCase, config, wait_until

OPERATE_MENU = 1
OPTIONS_ROW = 3  # 新窗口, 刷新, 停止, 选项, 退出
SESSION_COOKIE = "qz_session=demo"


class Commands(CommandTestCase):
    def setUp(self):
        super().setUp()
        self.start_on_demo_page()
        self.start_geometry, self.start_caption = tuple(self.geometry()), self.caption()

    def key_to_main(self, *keys):
        self.key(*keys, window=self.main_window)

    def assertMainUnchanged(self):
        self.assertTrue(self.viewable(), "the main window is shown")
        self.assertEqual(tuple(self.geometry()), self.start_geometry, "the main window's place and size")
        self.assertEqual(self.caption(), self.start_caption, "the main window's caption")

    def open_link(self, keys, path, site, caption, known):
        """Presses the keys in the main window; waits for the one new window showing the page and for
        the page's request, which it returns. A new window starts a renderer of its own: on a loaded
        machine that takes a while, so each wait is generous."""
        before = len(self.requests_for(path, site))
        self.key_to_main(keys)
        window = self.wait_for_new_window(known, caption=caption)
        request = wait_until(lambda: self.requests_for(path, site)[before:], 60,
                             f"{keys} requests {path} from the {site} site")
        self.assertEqual(len(request), 1, request)
        self.assertEqual(request[0]["method"], "GET")
        return window, request[0]

    def test_portal_links_open_new_windows_sharing_the_session(self):
        main = self.main_window
        windows = [main]

        # The same link twice: two windows.
        for _ in range(2):
            window, request = self.open_link("ctrl+g", "/qz/Go/?from=qz", "service", "通行天下", windows)
            self.assertEqual(request["host"], config.service)
            self.assertIn(SESSION_COOKIE, request["cookie"], "the new window shares the session")
            windows.append(window)
            self.assertMainUnchanged()
        self.assertEqual(len(self.requests_for("/qz/Go/?from=qz")), 2)

        # The help menu's links carry the version.
        window, request = self.open_link("ctrl+o", "/?version=1.0.0&from=qz", "home", "官方主页", windows)
        self.assertEqual(request["host"], config.home)
        windows.append(window)
        window, request = self.open_link("ctrl+h", "/qz/help/?version=1.0.0&from=qz", "home", "使用教程", windows)
        self.assertEqual(request["host"], config.home)
        windows.append(window)

        # Ctrl+C is the member hall, not copy; the page there sees the session.
        window, request = self.open_link("ctrl+c", "/member/?from=qz", "service", "会员大厅", windows)
        self.assertEqual(request["host"], config.service)
        self.assertIn(SESSION_COOKIE, request["cookie"])
        windows.append(window)
        self.screenshot("commands-portal-links")

        self.assertEqual(sorted(self.own_windows()), sorted(windows))
        self.assertMainUnchanged()
        self.assertEqual(len(self.requests_for(START_PATH)), 1, "the main window stayed on its page")
        self.assertNoShellErrors()

    def test_refresh_requests_the_start_page_again_and_new_window_does_nothing(self):
        self.assertEqual(len(self.requests_for(START_PATH)), 1)
        self.key_to_main("F5")
        starts = wait_until(lambda: self.requests_for(START_PATH)[1:], 10, "F5 requests the start page again")
        self.assertEqual(starts[0]["host"], config.service)
        self.assertIn(SESSION_COOKIE, starts[0]["cookie"])
        self.hold(1.5, "after the refresh")
        self.assertMainUnchanged()

        requests = len(self.page_requests())
        self.key_to_main("ctrl+n")
        self.hold(2, "after Ctrl+N")
        self.assertEqual(self.page_requests()[requests:], [], "Ctrl+N requests nothing")
        self.assertEqual(self.own_windows(), [self.main_window], "Ctrl+N opens no window")
        self.assertEqual(self.top_level_popups(), [])
        self.assertMainUnchanged()
        self.assertNoShellErrors()

    def test_print_commands_open_modal_dialogs_that_escape_closes(self):
        main = self.main_window
        for keys, title in (("ctrl+v", "打印预览"), ("ctrl+u", "页面设置"), ("ctrl+p", "打印")):
            self.key_to_main(keys)
            # The preview renders the page first: it takes a few seconds.
            dialog = self.wait_for_new_window([main])
            self.assertEqual(self.caption(dialog), title)
            self.assertTrue(self.modal(dialog), f"the {title} dialog is modal")
            self.assertEqual(self.x.cardinals(dialog, "WM_TRANSIENT_FOR"), [main], f"the {title} dialog's owner")
            self.screenshot(f"commands-dialog-{keys}")
            self.key("Escape", window=dialog)
            wait_until(lambda: self.own_windows() == [main], 15,
                       lambda: f"Escape closes the {title} dialog; the shell shows {self.describe_windows()}")
            self.assertMainUnchanged()
        self.assertNoShellErrors()

    def test_internet_options_delete_cookies_only_when_confirmed(self):
        main = self.main_window
        menu = self.open_menu_title(self.menu_bar_titles()[OPERATE_MENU])
        self.key(*["Down"] * (OPTIONS_ROW + 1), "Return")
        wait_until(lambda: not self.viewable(menu), 10, "picking 选项 closes the menu")
        options = self.wait_for_new_window([main])
        self.assertEqual(self.caption(options), "Internet 选项")
        self.assertFalse(self.modal(options), "the options dialog leaves the window usable")
        self.screenshot("commands-internet-options")

        for answer, keys, kept in (("否", ["Escape"], True), ("是", ["Tab", "space"], False)):
            # 删除 Cookie(&C)…; the question's default answer is 否.
            self.key("alt+c", window=options)
            question = self.wait_for_new_window([main, options])
            self.assertEqual(self.caption(question), "Internet 选项")
            self.assertTrue(self.modal(question), "the question is modal")
            self.screenshot(f"commands-delete-cookies-{'no' if kept else 'yes'}")
            self.key(*keys)
            wait_until(lambda: not self.viewable(question), 10, f"answering {answer} closes the question")

            before = len(self.requests_for(START_PATH))
            self.key_to_main("F5")
            start = wait_until(lambda: self.requests_for(START_PATH)[before:], 10, "F5 requests the start page")
            if kept:
                self.assertIn(SESSION_COOKIE, start[0]["cookie"], f"after {answer} the cookie is kept")
            else:
                self.assertNotIn("qz_session", start[0]["cookie"], f"after {answer} the cookie is gone")
            self.assertTrue(self.viewable(options), "the options dialog stays open")
        self.assertMainUnchanged()
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
