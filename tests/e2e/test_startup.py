"""Start-up: one start-page request, the window at its first size in the middle of the screen, the
caption following the page title, the icon in the notification area."""

from urllib.parse import quote

import harness
from harness import INITIAL_HEIGHT, INITIAL_WIDTH, START_PATH, ShellTestCase, config, wait_until


class StartUp(ShellTestCase):
    def test_start_page_window_caption_and_tray_icon(self):
        second = "第二页 <测试> & 标题"
        self.start_tray()
        self.start_portal("--start-title", "演示门户",
                          "--start-next", "/test/page?title=" + quote(second), "--start-next-after", "3")
        self.start_shell()
        self.find_main_window()
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)

        self.wait_for_caption("演示门户")
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)
        icon = self.tray_icon()
        self.assertGreater(self.geometry(icon).width, 4)
        self.screenshot("startup")

        # While no title carries the marker, the caption follows every page the browser shows.
        self.wait_for_caption(second)
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)

        starts = [r for r in self.requests() if r["path"].startswith("/api/qz/")]
        self.assertEqual(len(starts), 1, f"start page requests: {starts}")
        self.assertEqual(starts[0]["path"], START_PATH)
        self.assertEqual(starts[0]["host"], config.service)
        self.assertEqual(starts[0]["method"], "GET")
        # The engine keeps the session cookie the start page set.
        follow = wait_until(lambda: [r for r in self.requests() if r["path"].startswith("/test/page")], 10,
                            "the start page moves on")
        self.assertIn("qz_session=demo", follow[0]["cookie"])

        self.assertTrue(self.shell_alive())
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
