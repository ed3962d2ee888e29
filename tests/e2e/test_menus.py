"""The menus as a person uses them: the menu bar's five titles and their dropdowns, the tray menu's
portal links, and copying the page through the edit menu."""

import harness
from harness import MENU_BAR_HEIGHT, TRAY_MENU_ROWS, CommandTestCase, config, selection_text, wait_until

# The menu bar's titles in order, with the number of items each dropdown holds.
MENU_BAR = [("Q  Z(Q)", 4), ("操作(O)", 5), ("编辑(E)", 3), ("打印(P)", 3), ("帮助(H)", 5)]
EDIT_MENU = 2
TRAY_SEARCH_ROW = 2
START_PAGE_TEXTS = ["欢迎使用 QZ 门户", "这是随 qz-shell 附带的演示门户首页，用于本地运行和测试。",
                    "本页已为您设置会话 Cookie。", "请从下面的链接进入各个栏目。", "通行天下", "官方主页"]


class Menus(CommandTestCase):
    def setUp(self):
        super().setUp()
        self.start_on_demo_page()
        self.icon = self.tray_icon()

    def test_menu_bar_shows_five_titles_each_with_its_dropdown(self):
        geometry, caption = tuple(self.geometry()), self.caption()
        requests = len(self.page_requests())
        titles = self.menu_bar_titles()
        # The tray menu's title "0" is not on the bar: it would be a sixth.
        self.assertEqual(len(titles), len(MENU_BAR), f"titles on the menu bar at columns {titles}")

        heights = []
        for (name, items), title in zip(MENU_BAR, titles):
            menu = self.open_menu_title(title)
            menu_geometry = self.geometry(menu)
            self.assertLessEqual(abs(menu_geometry.x - title[0]), 10,
                                 f"the {name} menu {menu_geometry} opens under its title at {title}")
            self.assertLessEqual(abs(menu_geometry.y - (geometry[1] + MENU_BAR_HEIGHT)), 2,
                                 f"the {name} menu {menu_geometry} opens right under the bar")
            heights.append(menu_geometry.height)
            self.screenshot(f"menu-{items}-items-{title[0]}")
            self.key("Escape")
            wait_until(lambda: not self.viewable(menu), 10, f"Escape closes the {name} menu")

        # Rows of one height: each dropdown is as tall as its number of items says.
        row = heights[1] - heights[0]  # five items less four
        self.assertGreater(row, 10, f"dropdown heights {heights}")
        for (name, items), height in zip(MENU_BAR, heights):
            self.assertEqual(height, heights[0] + (items - 4) * row, f"the {name} menu's height, of {heights}")

        self.hold(0.5, "after the menus closed")
        self.assertEqual(self.top_level_popups(), [])
        self.assertEqual(tuple(self.geometry()), geometry)
        self.assertEqual(self.caption(), caption)
        self.assertEqual(len(self.page_requests()), requests, "opening a menu requests nothing")
        self.assertNoShellErrors()

    def test_tray_menu_search_opens_search_portal_in_a_new_window_each_time(self):
        main = self.main_window
        geometry, caption = tuple(self.geometry()), self.caption()
        windows = self.own_windows()
        self.assertEqual(windows, [main])

        # By keyboard: the third item.
        self.click(self.icon, 3)
        menu = self.wait_for_popup([])
        self.key(*["Down"] * (TRAY_SEARCH_ROW + 1), "Return")
        wait_until(lambda: not self.viewable(menu), 10, "picking an item closes the tray menu")
        first = self.wait_for_new_window(windows, caption="智能搜索")
        searches = wait_until(lambda: self.requests_for("/?from=qz", "search"), 60, "the search portal is requested")
        self.assertEqual(len(searches), 1, searches)
        self.assertEqual(searches[0]["host"], config.search)
        self.assertEqual(searches[0]["method"], "GET")
        self.assertIn("qz_session=demo", searches[0]["cookie"], "the new window shares the session")

        # By mouse: the same item again gives a second window.
        self.click(self.icon, 3)
        menu = self.wait_for_popup([])
        self.assertEqual(self.geometry(menu).height % TRAY_MENU_ROWS, 0, "seven rows of one height")
        self.click_menu_row(menu, TRAY_SEARCH_ROW, TRAY_MENU_ROWS)
        second = self.wait_for_new_window(windows + [first], caption="智能搜索")
        wait_until(lambda: len(self.requests_for("/?from=qz", "search")) == 2, 60,
                   "the search portal is requested again")
        self.screenshot("tray-menu-search")

        self.assertEqual(sorted(self.own_windows()), sorted([main, first, second]))
        self.assertEqual(tuple(self.geometry()), geometry)
        self.assertEqual(self.caption(), caption)
        # The engine asks every site for its icon as well.
        others = [r for r in self.requests()
                  if r["site"] != "service" and r["path"] not in ("/?from=qz", "/favicon.ico")]
        self.assertEqual(others, [], "no other page was requested")
        self.assertNoShellErrors()

    def test_select_all_then_copy_puts_the_page_text_on_the_clipboard(self):
        self.assertIsNone(selection_text(self.x), "the clipboard starts empty")
        self.key("ctrl+a", window=self.main_window)
        # 复制, the first item of the edit menu.
        menu = self.open_menu_title(self.menu_bar_titles()[EDIT_MENU])
        self.key("Down", "Return")
        wait_until(lambda: not self.viewable(menu), 10, "picking 复制 closes the menu")
        text = wait_until(lambda: selection_text(self.x), 10, "the clipboard holds text")
        for expected in START_PAGE_TEXTS:
            self.assertIn(expected, text)
        self.assertEqual(self.own_windows(), [self.main_window], "no window opened")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
