"""Closing, hiding and exiting: a close only hides the window and the icon brings it back; exiting asks
first; an exit that goes ahead, or a termination signal, takes the icon away first and ends the process
cleanly, engine and all; the icon docks again when the tray host comes back."""

import os
import signal
import subprocess

import harness
from harness import TRAY_MENU_ROWS, CommandTestCase, add_wm_states, wait_until

NORMAL_STATE = 1
TRAY_EXIT_ROW = 6
MAXIMIZED = ["_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"]


class CloseAndExit(CommandTestCase):
    def start(self, title, window_manager=False):
        if window_manager:
            self.start_window_manager()
        self.start_tray()
        self.start_portal("--start-title", title)
        self.start_shell()
        self.find_main_window()
        self.wait_for_caption(title.split("@")[0])
        return self.tray_icon()

    def close_to_tray(self, icon):
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "closing the window hides it")
        self.hold(1, "after its window was closed")
        self.assertFalse(self.viewable(), "the window stays hidden")
        self.assertTrue(self.viewable(icon), "the icon stays while the window is hidden")

    def assertEndedCleanly(self, status, icon_first):
        self.assertEqual(status, 0, f"the shell's exit status; its stderr: {self.read(self.shell_stderr)[-2000:]}")
        self.assertTrue(icon_first, "the icon was gone while the shell still ran")
        wait_until(lambda: not self.engine_processes(), 10,
                   lambda: f"the browser engine's processes end with the shell: {self.engine_processes()} remain")
        self.assertNoShellErrors()

    def test_icon_brings_back_a_closed_maximized_window_in_the_normal_state(self):
        icon = self.start("最大化测试", window_manager=True)
        wait_until(lambda: self.wm_state() == NORMAL_STATE, 10, "openbox manages the window")
        size = tuple(self.geometry()[2:])
        self.assertTrue(add_wm_states(self.x, self.main_window, *MAXIMIZED), "the maximize request is sent")
        wait_until(lambda: self.net_wm_state() == MAXIMIZED, 10,
                   lambda: f"the window is maximized; its states are {self.net_wm_state()}")
        self.screenshot("exit-maximized")

        self.close_to_tray(icon)
        self.click(icon, 1)
        wait_until(lambda: self.viewable() and self.wm_state() == NORMAL_STATE, 10,
                   "a left click on the icon brings the window back")
        self.hold(1, "after the window came back")
        self.assertEqual(self.net_wm_state(), [], "the window comes back neither maximized nor hidden")
        self.assertEqual(tuple(self.geometry()[2:]), size, "the window has its size from before")
        self.assertEqual(self.caption(), "最大化测试")
        self.screenshot("exit-restored-normal")
        self.assertNoShellErrors()

    def test_exit_answered_no_keeps_the_window_and_a_close_still_only_hides(self):
        icon = self.start("QZ 退出@640@400")
        main = self.main_window
        self.wait_for_size(640, 420)
        geometry = tuple(self.geometry())

        self.key("ctrl+x", window=main)
        question = self.wait_for_new_window([main])
        self.assertEqual(self.caption(question), "请确认")
        self.assertTrue(self.modal(question), "the question is modal")
        self.screenshot("exit-question")
        self.key("Escape", window=question)  # 否
        wait_until(lambda: not self.viewable(question), 10, "answering 否 closes the question")
        self.hold(1, "after answering 否")
        self.assertEqual(self.own_windows(), [main], "the window stays, alone")
        self.assertEqual(tuple(self.geometry()), geometry)
        self.assertEqual(self.caption(), "QZ 退出")

        # The answer does not carry over: the next close hides without a question.
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "closing the window hides it")
        self.hold(1.5, "after its window was closed")
        self.assertEqual(self.own_windows(), [], "no question and no window shows")
        self.assertTrue(self.viewable(icon), "the icon stays")
        self.assertNoShellErrors()

    def test_tray_exit_answered_yes_removes_the_icon_then_ends(self):
        icon = self.start("托盘退出")
        self.close_to_tray(icon)

        self.click(icon, 3)
        menu = self.wait_for_popup([])
        self.assertEqual(self.geometry(menu).height % TRAY_MENU_ROWS, 0, "seven rows of one height")
        self.click_menu_row(menu, TRAY_EXIT_ROW, TRAY_MENU_ROWS)  # 退出 QZ
        question = self.wait_for_new_window([])
        self.assertEqual(self.caption(question), "请确认")
        self.assertTrue(self.viewable(icon), "the icon stays while the question is open")
        self.screenshot("exit-tray-question")
        self.key("Return", window=question)  # 是, the default answer

        self.assertEndedCleanly(*self.wait_for_end(icon))

    def test_termination_signal_while_hidden_removes_the_icon_then_ends(self):
        icon = self.start("信号退出")
        self.close_to_tray(icon)
        os.kill(self.shell.pid, signal.SIGTERM)
        status, icon_first = self.wait_for_end(icon)
        self.assertEndedCleanly(status, icon_first)

    def tip_picture(self, icon):
        """What the icon's tool tip shows, as raw pixels; the pointer wanders over the icon until it opens."""
        geometry = self.geometry(icon)
        known = self.top_level_popups()
        # A tip opens once the pointer has rested for most of a second; a move starts the wait again.
        for step in range(8):
            self.xdotool("mousemove", geometry.x + geometry.width // 2 - 1 + step % 3,
                         geometry.y + geometry.height // 2)
            try:
                tip = self.wait_for_popup(known, timeout=2)
                break
            except AssertionError:
                continue
        else:
            raise AssertionError("the icon's tool tip does not open")
        self.assertEqual(self.x.pid(tip), self.shell.pid, "the shell's own tool tip")
        area = self.geometry(tip)
        picture = subprocess.run(["import", "-display", self.display, "-window", "root", "-crop",
                                  f"{area.width}x{area.height}+{area.x}+{area.y}", "-depth", "8", "rgb:-"],
                                 env=self._env(), capture_output=True, timeout=30, check=True).stdout
        self.xdotool("mousemove", 10, self.geometry().y + self.geometry().height + 50)
        wait_until(lambda: not self.viewable(tip), 10, "the tool tip closes when the pointer leaves")
        return (area.width, area.height), picture

    def test_icon_docks_again_with_its_tip_when_the_tray_host_restarts(self):
        # A sizing title: the tip becomes the caption.
        icon = self.start("QZ 托盘主机@500@300")
        self.wait_for_size(500, 320)
        tip = self.tip_picture(icon)

        self._stop(self.trayer)
        wait_until(lambda: not self.viewable(icon), 10, "the icon goes with the tray host")
        self.hold(1, "without a tray host")
        self.start_tray()
        icon = self.tray_icon()
        self.screenshot("exit-tray-host-back")
        self.assertEqual(self.tip_picture(icon), tip, "the icon's tip is as before")

        # The docked icon works: it brings back a closed window.
        self.close_to_tray(icon)
        self.click(icon, 1)
        wait_until(self.viewable, 10, "a left click on the docked icon shows the window")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
