"""The shell on the desktops people use: a GTK desktop's theme, a window manager's frame and a Wayland
session with XWayland. Each time the page's 800 x 560 browser area stays exactly that size."""

import os
import re

import harness
from harness import MENU_BAR_HEIGHT, CommandTestCase, wait_until

PAGE_COLOUR = (0, 128, 255)  # portal/pages/viewport.html
PAGE_SIZE = (800, 560)


class Desktops(CommandTestCase):
    def start_sized(self, **environment):
        self.start_portal("--start-title", "起始页", "--start-next", "/test/pages/viewport", "--start-next-after", "0")
        self.start_shell(**environment)
        self.find_main_window()
        self.wait_for_caption("QZ 视口")

    def wait_for_sized_page(self, size=PAGE_SIZE):
        return wait_until(lambda: self.sized_page(size), 30,
                          lambda: f"the page shows at {size}: {self.page_area(PAGE_COLOUR)}")

    def sized_page(self, size=PAGE_SIZE):
        """The page's area once it has the size asked for and fills the window under the menu bar."""
        geometry = self.geometry()
        x, y, width, height = self.page_area(PAGE_COLOUR)
        filled = y is not None and (x, y + height, width) == (geometry.x, geometry.y + geometry.height, geometry.width)
        return (x, y, width, height) if filled and (width, height) == size else None

    def test_gtk_theme_shows_the_five_titles_at_its_own_height(self):
        self.start_tray()
        self.start_sized(XDG_CURRENT_DESKTOP="GNOME")
        _, top, _, _ = self.wait_for_sized_page()
        bar_height = top - self.geometry().y
        self.assertGreater(bar_height, MENU_BAR_HEIGHT, "the GTK theme's font takes more than 20 pixels")
        titles = self.menu_bar_titles(bar_height)
        self.assertEqual(len(titles), 5, f"five titles on the bar: {titles}")
        menu = self.open_menu_title(titles[0], bar_height)
        self.assertGreater(self.geometry(menu).height, 4 * 16, "Q  Z(Q) opens its four items")
        self.assertNoShellErrors()

    def test_frame_of_the_window_manager_is_centred(self):
        self.start_tray()
        self.start_window_manager()
        self.start_sized()
        self.wait_for_sized_page()
        def centred():
            frame = self.frame()
            return frame and abs(frame[0] + frame[2] / 2 - harness.SCREEN_WIDTH / 2) <= 2 and \
                abs(frame[1] + frame[3] / 2 - harness.SCREEN_HEIGHT / 2) <= 2

        wait_until(centred, 15, lambda: f"the frame {self.frame()} is centred on the screen")
        self.assertGreater(self.frame()[3], self.geometry().height, "openbox framed the window")
        # The move to the centre is drawn a moment later: the page is awaited at its new place.
        self.wait_for_sized_page()
        self.assertNoShellErrors()

    def test_tiling_window_manager_floats_the_window_at_the_page_size(self):
        self.start_tray()
        config = os.path.join(self.home, "i3.config")
        with open(config, "w", encoding="utf-8") as file:
            file.write("# i3 config file (v4)\nfont pango:monospace 8\n")  # and no bar: the icon docks in trayer
        self._start("i3", ["i3", "-c", config])
        wait_until(lambda: self.x.cardinals(self.x.root, "_NET_SUPPORTING_WM_CHECK"), 10, "i3 runs")
        self.start_sized()
        self.wait_for_sized_page()
        # Hidden and shown again, the window is mapped anew: i3 decides once more.
        icon = self.tray_icon()
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "closing the window hides it")
        self.click(icon, 1)
        wait_until(self.viewable, 10, "a left click on the icon shows the window")
        self.wait_for_sized_page()
        self.assertNoShellErrors()

    def test_scaled_screen_shows_the_page_at_its_size_in_the_pages_own_pixels(self):
        # A HiDPI desktop at 150 %: the page's 800 x 560 pixels take 1200 x 840 of the screen's, centred.
        self.start_tray()
        self.start_sized(QT_SCALE_FACTOR="1.5")
        self.wait_for_sized_page((1200, 840))
        self.assertCentred(self.geometry(), 1200, self.geometry().height)
        self.assertGreaterEqual(self.geometry().height - 840, MENU_BAR_HEIGHT * 1.5, "the bar is scaled too")
        self.assertNoShellErrors()

    def test_wayland_session_with_xwayland_runs_on_x(self):
        runtime = self._env()["XDG_RUNTIME_DIR"]
        weston = self._start("weston", ["weston", "--backend=headless-backend.so", "--xwayland",
                                        "--socket=wayland-qz", "--width=1280", "--height=1024"])
        log = os.path.join(self.logs, "weston.err")
        number = wait_until(lambda: re.findall(r"xserver listening on display :(\d+)", self.read(log)), 30,
                            lambda: f"weston starts XWayland: {self.read(log)[-1500:]}")[0]
        self.assertIsNone(weston.poll(), "weston runs")
        self.session.x.close()
        self.session.display = f":{number}"
        self.session.x = harness.Xlib(self.session.display)
        self.start_sized(WAYLAND_DISPLAY="wayland-qz", XDG_SESSION_TYPE="wayland")
        self.assertTrue(os.path.exists(os.path.join(runtime, "wayland-qz")), "a Wayland session")
        # XWayland draws no root window to take a picture of: the size is the X window's.
        wait_until(lambda: tuple(self.geometry()[2:]) == (800, 560 + MENU_BAR_HEIGHT), 30,
                   lambda: f"the window on the X display is sized: {self.geometry()}")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
