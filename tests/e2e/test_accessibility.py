"""What a screen reader hears, on an accessibility bus of the test's own: with a screen reader announced
as Orca announces itself, the page's headings and links reach it by role and name (the shell's own error
page for a portal that is down, in Chinese but for the address; then, after 重试, the portal's start
page); without one the shell stays off the accessibility bus, the engine's accessibility with it (Qt 6.4;
Qt 6.8 joins the bus whenever it is up)."""

import json
import os
import re
import subprocess

import harness
from harness import ShellTestCase, config, listening, wait_until

# pyatspi is Debian's, for Debian's own interpreter.
TREE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "atspi_tree.py")


class Accessibility(ShellTestCase):
    def setUp(self):
        super().setUp()
        self.start_session_bus()
        self._start("a11y-bus", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        self.wait_for_bus_name("org.a11y.Bus", 15, "the accessibility bus is up")
        self.start_tray()

    def announce_screen_reader(self):
        self.assertIsNotNone(self.gdbus("call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                                        "/org/a11y/bus", "--method", "org.freedesktop.DBus.Properties.Set",
                                        "org.a11y.Status", "ScreenReaderEnabled", "<true>"))

    def tree(self):
        """The shell's accessible objects as (depth, role, name, text)."""
        result = subprocess.run(["/usr/bin/python3", TREE, str(self.shell.pid)], env=self._env(),
                                capture_output=True, text=True, timeout=60)
        return [tuple(json.loads(line)) for line in result.stdout.splitlines()]

    def page_objects(self):
        """The objects inside the shown page's document."""
        objects = self.tree()
        for index, (depth, role, _name, _text) in enumerate(objects):
            if role == "document web":
                inside = []
                for found in objects[index + 1:]:
                    if found[0] <= depth:
                        break
                    inside.append(found)
                return inside
        return []

    def wait_for_page(self, heading, link):
        def found():
            objects = self.page_objects()
            roles = {(role, name) for _depth, role, name, _text in objects}
            return objects if {("heading", heading), ("link", link)} <= roles else None
        return wait_until(found, 30, lambda: f"the page's heading {heading!r} and link {link!r} reach the "
                                             f"accessibility bus; the page holds {self.page_objects()}")

    def test_screen_reader_reads_the_error_page_and_the_portal(self):
        wait_until(lambda: not listening(config.service), 90, f"nothing listens on {config.service}")
        self.announce_screen_reader()
        self.start_shell()
        self.find_main_window()
        title = f"无法访问 {config.service}"
        self.wait_for_caption(title)
        objects = self.wait_for_page(title, "重试")
        self.screenshot("accessibility-error-page")
        shown = " ".join(f"{name} {text}" for _depth, _role, name, text in objects)
        self.assertIn("拒绝了连接", shown, "what went wrong, in plain words")
        words = re.findall(r"[A-Za-z]+", shown.replace(config.service, ""))
        self.assertEqual(words, [], f"no Latin-script word but the address; the page says {shown!r}")

        self.start_portal()
        # The keyboard's way to 重试, as a screen reader's user goes.
        geometry = self.geometry()
        self.xdotool("mousemove", geometry.x + geometry.width - 20, geometry.y + geometry.height - 20, "click", 1)
        self.key("Tab", "Return", window=self.main_window)
        self.wait_for_caption("QZ 门户")
        self.wait_for_page("欢迎使用 QZ 门户", "通行天下")
        self.assertNoShellErrors()

    def test_without_screen_reader_nothing_changes(self):
        qt_version = tuple(int(part) for part in re.findall(r"\.so\.(\d+)\.(\d+)", os.path.realpath(
            "/usr/lib/x86_64-linux-gnu/libQt6Core.so.6"))[0])
        if qt_version >= (6, 8):
            # Qt 6.8 joins the accessibility bus whenever it is up, and its engine exposes the page with
            # it: whether the page is read no longer waits for a screen reader.
            self.skipTest("Qt 6.8 exposes the page whenever the accessibility bus is up")
        self.start_portal()
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption("QZ 门户")
        # Qt joins the accessibility bus while it starts, before the window shows, if it joins at all.
        self.assertEqual(self.tree(), [], "the shell stays off the accessibility bus")
        self.assertNoShellErrors()

if __name__ == "__main__":
    harness.main()
