"""Chinese typed through fcitx5's pinyin on a desktop that sets no QT_IM_MODULE: the shell picks the
running input method itself, so "你好" reaches the page's field, and nothing reaches the link window's
read-only address bar."""

import os

import harness
from harness import CommandTestCase, config, selection_text, wait_until

# fcitx5's profile: pinyin beside the plain keyboard, as a Chinese desktop has it.
PROFILE = """[Groups/0]
Name=默认
Default Layout=us
DefaultIM=pinyin

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=默认
"""


class InputMethod(CommandTestCase):
    def start_fcitx(self):
        folder = os.path.join(self.home, ".config", "fcitx5")
        os.makedirs(folder)
        with open(os.path.join(folder, "profile"), "w", encoding="utf-8") as file:
            file.write(PROFILE)
        # Nothing of the network: the cloud's candidates would make the first one vary.
        self._start("fcitx5", ["fcitx5", "--disable=cloudpinyin"])
        self.wait_for_bus_name("org.fcitx.Fcitx5", 30, "fcitx5 is on the session bus")

    def type_pinyin(self, window, x, y):
        """Clicks at (x, y) in window, turns pinyin on there and types 你好 with it."""
        # Without a window manager the windows overlap as they were shown.
        self.xdotool("windowraise", window)
        geometry = self.geometry(window)
        self.xdotool("mousemove", geometry.x + x, geometry.y + y, "click", 1)
        self.xdotool("windowfocus", "--sync", window)
        # Turned on, not toggled: a second turn would turn it off again where it is on.
        self._start("fcitx5-remote", ["fcitx5-remote", "-o"]).wait(10)
        self.xdotool("type", "--delay", "50", "nihao")
        self.xdotool("key", "space")

    def test_pinyin_reaches_the_page_and_not_the_address_bar(self):
        self.assertNotIn("QT_IM_MODULE", self._env())
        self.start_session_bus()
        self.start_fcitx()
        self.start_tray()
        self.start_portal("--start-title", "输入法测试", "--start-next", "/test/pages/text-field",
                          "--start-next-after", "0")
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption("字段：甲乙丙")

        windows = self.own_windows()
        self.key("ctrl+g", window=self.main_window)
        link_window = self.wait_for_new_window(windows, caption="通行天下")
        self.type_pinyin(link_window, self.geometry(link_window).width // 2, 15)

        self.type_pinyin(self.main_window, 100, harness.MENU_BAR_HEIGHT + 20)
        # fcitx5 handles its clients in turn: the address bar had its chance before the field's text came.
        self.wait_for_caption("字段：甲乙丙你好")
        self.screenshot("input-method")

        self.xdotool("windowraise", link_window)
        geometry = self.geometry(link_window)
        self.xdotool("mousemove", geometry.x + geometry.width // 2, geometry.y + 15, "click", 1)
        self.key("ctrl+a", "ctrl+c", window=link_window)
        address = f"http://{config.service}/qz/Go/?from=qz"
        wait_until(lambda: selection_text(self.x) == address, 10,
                   lambda: f"the address bar still holds the address only; it holds {selection_text(self.x)!r}")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
