"""What a page does in its own windows and dialogs never ends the shell nor locks the user out."""

import harness
from harness import CommandTestCase, wait_until


class PageSafety(CommandTestCase):
    def open_page(self, name):
        self.start_tray()
        # A start title without a size: the caption follows the page that comes next.
        self.start_portal("--start-title", "起始页", "--start-next", f"/test/pages/{name}",
                          "--start-next-after", "0.3")
        self.start_shell()
        main = self.find_main_window()
        self.tray_icon()
        wait_until(lambda: self.requests_for(f"/test/pages/{name}"), 15, f"the start page moves on to {name}")
        return main

    def test_writing_into_an_opened_window(self):
        main = self.open_page("window-writer")
        self.wait_for_caption("写窗口测试", timeout=20)
        self.click(main, 1)
        opened = self.wait_for_new_window([main])
        wait_until(lambda: self.caption(opened) == "写入的窗口" or not self.shell_alive(), 20,
                   "the opened window shows what the page wrote")
        self.assertTrue(self.shell_alive(), "the shell lives on")
        self.assertEqual(self.caption(opened), "写入的窗口")
        self.hold(2, "after the page wrote into its window")
        self.assertTrue(self.shell_alive(), "the shell lives on")
        self.assertTrue(self.viewable(main))


if __name__ == "__main__":
    harness.main()
