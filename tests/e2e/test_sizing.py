"""Sizing by page title: a title with "QZ" gives the window its size once, centred; titles without the
marker, later pages and sizes that do not fit leave it as it is."""

from urllib.parse import quote

import harness
from harness import INITIAL_HEIGHT, INITIAL_WIDTH, MENU_BAR_HEIGHT, SCREEN_HEIGHT, SCREEN_WIDTH, ShellTestCase, \
    wait_until


class Sizing(ShellTestCase):
    def start(self, title, *portal_options):
        self.start_tray()
        self.start_portal("--start-title", title, *portal_options)
        self.start_shell()
        self.find_main_window()

    def wait_for_size(self, width, height, timeout=30):
        """Waits until the window has the size, then checks it sits in the middle of the screen."""
        super().wait_for_size(width, height, timeout)
        self.assertCentred(self.geometry(), width, height)

    def test_marker_title_sizes_and_centres_once(self):
        self.start("QZ Portal@1024@768",
                   "--start-next", "/test/page?title=" + quote("QZ Other@640@480"), "--start-next-after", "2")
        self.wait_for_size(1024, 768 + MENU_BAR_HEIGHT)
        geometry = self.geometry()
        self.assertEqual((geometry.x, geometry.y), ((SCREEN_WIDTH - 1024) // 2, (SCREEN_HEIGHT - 788) // 2))
        self.assertEqual((geometry.x, geometry.y), (128, 118))
        self.assertEqual(self.caption(), "QZ Portal")
        self.wait_for_page_to_fill_window()
        self.screenshot("sizing-1024x768")

        # A later page asking for another size changes nothing: the window was sized for good.
        wait_until(lambda: self.requests_for("/test/page?title=QZ%20Other%40640%40480"), 15,
                   "the start page moves on to the next page")
        self.hold(2.5, "after the next page came")
        self.assertEqual(tuple(self.geometry()), tuple(geometry))
        self.assertEqual(self.caption(), "QZ Portal")
        self.assertNoShellErrors()

    def test_title_without_marker_leaves_size_and_shows_title(self):
        self.start("qz portal@1024@768", "--start-next", "/test/page?title=Some%20page", "--start-next-after", "3")
        self.wait_for_caption("qz portal@1024@768")
        self.hold(1.5, "on a page without the marker")
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)
        self.assertEqual(self.caption(), "qz portal@1024@768")
        self.wait_for_caption("Some page")
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)
        self.assertNoShellErrors()

    def test_caption_placeholder_is_shown_literally(self):
        self.start("QZ [*] 门户@700@500")
        self.wait_for_size(700, 520)
        self.assertEqual(self.caption(), "QZ [*] 门户")
        self.wait_for_page_to_fill_window()
        self.assertNoShellErrors()

    def test_largest_size_overhangs_the_screen_equally(self):
        self.start("QZ@2184@2184")
        self.wait_for_size(2184, 2204)
        self.assertEqual(tuple(self.geometry()[:2]), (-452, -590))
        self.assertEqual(self.caption(), "QZ")
        self.assertNoShellErrors()

    def check_overflow(self, title):
        self.start(title)
        self.wait_for_caption("QZ")
        # Six ticks or more: the same error on every tick is still reported once.
        self.hold(3.5, f"on the title {title!r}")
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)
        self.assertEqual(self.caption(), "QZ")
        errors = self.shell_errors()
        self.assertEqual(len(errors), 1, f"one error line expected: {errors}")
        self.assertIn("Timer1_Timer", errors[0])
        self.assertIn("overflow", errors[0])

    def test_width_too_large_for_twips_leaves_window_unsized(self):
        self.check_overflow("QZ@2185@600")

    def test_width_beyond_16_bits_leaves_window_unsized(self):
        self.check_overflow("QZ@40000@600")


if __name__ == "__main__":
    harness.main()
