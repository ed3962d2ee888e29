"""The rendering path: under Xvfb, whose OpenGL is software, the shell draws without OpenGL; QZ_RENDERING
turns the choice either way; the page (portal/pages/animation.html, moving) is drawn on each path, not a
black or empty window."""

import harness
from harness import MENU_BAR_HEIGHT, CommandTestCase, read_proc, wait_until

# The animation page's colours: the banner the CSS animation moves, the bar the frame loop grows.
RED = (192, 48, 48)
BLUE = (48, 96, 192)
WHITE = (255, 255, 255)


def near(colour, wanted, tolerance=8):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


class Rendering(CommandTestCase):
    def engine_environment(self):
        """The environment the shell started its engine with, read from one of the engine's helpers."""
        engines = wait_until(self.engine_processes, 60, "the browser engine runs")
        return [entry.decode("utf-8", "replace")
                for entry in (read_proc(engines[0], "environ", binary=True) or b"").split(b"\0")]

    def page_line(self, y):
        geometry = self.geometry()
        return [colour for _, colour in self.screen_pixels(geometry.x, geometry.y + MENU_BAR_HEIGHT + y, 800, 1)]

    def drawn(self):
        """Whether the page shows: the banner on its line, the bar on its own, white below them."""
        return (any(near(c, RED) for c in self.page_line(80)) and any(near(c, BLUE) for c in self.page_line(215))
                and all(c == WHITE for c in self.page_line(420)))

    def test_software_under_xvfb_the_override_honoured_and_the_page_drawn_on_each_path(self):
        self.start_tray()
        # A start title without the marker: the animation page alone sizes the window.
        self.start_portal("--start-title", "演示门户", "--start-next", "/test/pages/animation",
                          "--start-next-after", "0")
        for asked, expected in (("auto", "software"), ("gpu", "gpu"), ("software", "software")):
            with self.subTest(QZ_RENDERING=asked):
                self.start_shell(QZ_RENDERING=asked)
                try:
                    self.find_main_window()
                    self.wait_for_caption("QZ 动画")
                    self.wait_for_size(800, 560 + MENU_BAR_HEIGHT)

                    reports = [line for line in self.read(self.shell_stderr).splitlines()
                               if line.startswith("qz-shell rendering:")]
                    self.assertEqual(len(reports), 1, self.read(self.shell_stderr))
                    self.assertTrue(reports[0].startswith(f"qz-shell rendering: {expected} ("), reports[0])
                    # The choice reached the engine and Qt Quick, not only the report.
                    environment = self.engine_environment()
                    flags = next((e.split("=", 1)[1].split() for e in environment
                                  if e.startswith("QTWEBENGINE_CHROMIUM_FLAGS=")), [])
                    self.assertEqual("--disable-gpu" in flags, expected == "software", environment)
                    self.assertEqual("QT_QUICK_BACKEND=software" in environment, expected == "software")

                    wait_until(self.drawn, 30, lambda: f"the page is drawn ({asked}); see "
                                                       f"{self.screenshot('rendering-' + asked)}")
                    self.screenshot(f"rendering-{asked}")
                    self.assertNoShellErrors()
                finally:
                    # A shell left running would answer the next start in its place.
                    self._stop(self.shell)
                    wait_until(lambda: not self.engine_processes(), 30, "the shell's engine ends")


if __name__ == "__main__":
    harness.main()
