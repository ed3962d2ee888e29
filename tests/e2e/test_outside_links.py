"""Addresses outside the portal open in the user's own browser; the shell keeps showing the portal."""

from urllib.parse import quote

import harness
from demo_portal import DEFAULT_OUTSIDE
from harness import CommandTestCase, wait_until

OUTSIDE = f"http://{DEFAULT_OUTSIDE}/"
# The rows of portal/pages/outside-links.html, top down, each named by the path it leads to.
WAYS_OUT = ["link", "blank", "open", "redirect", "location", "blank-redirect"]
ROW_HEIGHT = 30


class OutsideLinks(CommandTestCase):
    def open_page(self, name, browser=True):
        """The shell on a test page, with a stand-in default browser first on its PATH that records
        the addresses it gets; without browser, with no way at all to open an address."""
        path = self.stand_in_opener()
        self.start_tray()
        self.start_portal("--outside", DEFAULT_OUTSIDE, "--start-title", "起始页", "--start-next",
                          f"/test/pages/{name}?to={quote(OUTSIDE, safe='')}", "--start-next-after", "0.3")
        self.start_shell(PATH=path if browser else "/nonexistent", BROWSER="",
                         DEFAULT_BROWSER="")
        return self.find_main_window()

    def handed_over(self):
        return self.read(self.handed).splitlines()

    def click_row(self, row):
        geometry = self.geometry()
        self.xdotool("mousemove", geometry.x + 60,
                     geometry.y + harness.MENU_BAR_HEIGHT + row * ROW_HEIGHT + ROW_HEIGHT // 2, "click", 1)

    def test_every_way_out_reaches_the_browser_and_the_portal_stays(self):
        main = self.open_page("outside-links")
        self.wait_for_caption("外部链接测试", timeout=20)
        for row, way in enumerate(WAYS_OUT):
            self.click_row(row)
            wait_until(lambda: len(self.handed_over()) > row, 20, f"the {way} address reaches the browser")
            self.assertEqual(self.handed_over(), [OUTSIDE + w for w in WAYS_OUT[:row + 1]])
            self.assertEqual(self.caption(), "外部链接测试", "the shell's page stays")
            wait_until(lambda: self.own_windows() == [main], 20, "no window of the shell's is left for it")

        # The portal's own page still opens in a window of the shell's, with the session; it is the
        # only window besides the main one.
        self.click_row(len(WAYS_OUT))
        self.wait_for_new_window([main], caption="会员大厅")
        self.assertIn("qz_session=demo", self.requests_for("/member/")[-1]["cookie"])
        self.assertEqual([r["path"] for r in self.requests() if r["site"] == "outside"], [],
                         "the shell sent nothing to the outside site")
        self.assertNoShellErrors()

    def test_a_page_that_keeps_leaving_is_handed_over_once(self):
        main = self.open_page("outside-loop")
        self.wait_for_caption("外链循环：20 次", timeout=20)
        wait_until(self.handed_over, 20, "the first try reaches the browser")
        self.assertEqual(self.handed_over(), [OUTSIDE + "loop"])

        # A click in the page is the user's again: one more try goes through.
        self.click(main, 1)
        wait_until(lambda: len(self.handed_over()) == 2, 20, "a try after the click reaches the browser")
        self.assertEqual(self.own_windows(), [main])
        self.assertEqual([r for r in self.requests() if r["site"] == "outside"], [])

    def test_an_outside_frame_takes_nothing_over_and_starts_no_program(self):
        main = self.open_page("sealed-frame")
        self.wait_for_caption("框架测试", timeout=20)
        wait_until(lambda: self.requests_for("/test/pages/outside-frame", site="outside"), 20,
                   "the outside frame loads")
        self.hold(1, "for the frame to be shown")
        # The frame's own page at the top, in a window of its own, and its link to another program.
        for row, way in ((2, "top.location"), (3, "window.open"), (4, "a qzx: link")):
            self.click_row(row)
            self.hold(2, f"after the frame's {way}")
            self.assertEqual(self.caption(), "框架测试", f"the portal's page stays after {way}")
            self.assertEqual(self.own_windows(), [main], f"no window is left after {way}")
        self.assertEqual(self.handed_over(), [], "nothing reached the desktop from the frame")
        self.assertEqual(self.requests_for("/blob-picture.png", site="outside"), [],
                         "the frame's page was never shown")

        # The portal's own link to another program asks first; 打开 hands it over.
        self.click_row(0)
        question = self.wait_for_new_window([main], caption="打开外部程序")
        self.screenshot("external-program-question")
        self.key("Tab", "space", window=question)  # 打开
        wait_until(lambda: self.handed_over() == ["qzx:from-portal"], 20, "the address reaches the desktop")
        # A document the portal's page makes itself is the portal's.
        self.click_row(1)
        self.wait_for_caption("门户自己的文档", timeout=20)
        self.assertNoShellErrors()

    def test_without_a_browser_a_message_offers_the_address(self):
        main = self.open_page("outside-links", browser=False)
        self.wait_for_caption("外部链接测试", timeout=20)
        self.click_row(0)
        message = self.wait_for_new_window([main], caption="无法打开网址")
        self.screenshot("no-browser")
        self.key("Return", window=message)  # 复制网址
        wait_until(lambda: harness.selection_text(self.x) == OUTSIDE + "link", 15, "the address is copied")


if __name__ == "__main__":
    harness.main()
