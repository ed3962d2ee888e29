"""Downloads: each is asked about first, shows in the downloads window while it runs, can be cancelled
and lands complete in the downloads folder under a cleaned name; a page that downloads by itself gets
one question, and after 取消 none until the user clicks in it; a failed download says so, and exiting
after it ends the shell cleanly; a finished file the downloads folder refuses is kept whole, beyond the
shell's exit, its row offering 另存为… and 打开所在文件夹."""

import glob
import os
import subprocess
from urllib.parse import quote, unquote

import harness
from harness import CommandTestCase, wait_until
from test_exit import TRAY_EXIT_ROW, TRAY_MENU_ROWS

SLOW_NAME, SLOW_SIZE = "安装包.exe", 8000000
QUICK_SIZE = 300000
KEPT_NAME = "年度报表.zip"


class Downloads(CommandTestCase):
    def start(self, page, after=0.5, **environment):
        self.start_tray()
        self.start_portal("--start-title", "下载起始页", "--start-next", page, "--start-next-after", str(after))
        self.start_shell(**environment)
        self.find_main_window()
        self.downloads = os.path.join(self.home, "Downloads")
        return self.tray_icon()

    def saved(self):
        return sorted(os.listdir(self.downloads)) if os.path.isdir(self.downloads) else []

    def attachment_requests(self):
        return [r for r in self.requests() if r["path"].startswith("/test/attachment")]

    def ended(self):
        """The attachments whose transfer has ended, whole or not, as the portal logged them."""
        return [r for r in self.requests() if r["method"] == "END"]

    def click_page(self, fraction):
        """Clicks the main window's page at that fraction of its height, below the menu bar."""
        geometry = self.geometry()
        page_height = geometry.height - harness.MENU_BAR_HEIGHT
        self.xdotool("mousemove", "--window", self.main_window, geometry.width // 2,
                     harness.MENU_BAR_HEIGHT + int(page_height * fraction), "click", 1)

    def ask(self, known):
        question = self.wait_for_new_window(known)
        self.assertEqual(self.caption(question), "下载文件")
        return question

    @staticmethod
    def content(path):
        try:
            with open(path, "rb") as file:
                return file.read()
        except OSError:
            return None

    def exit_from_tray(self, icon):
        """退出 QZ from the tray icon's menu and 是; the shell ends cleanly."""
        known = self.top_level_popups()
        self.click(icon, 3)
        menu = self.wait_for_popup(known)
        self.click_menu_row(menu, TRAY_EXIT_ROW, TRAY_MENU_ROWS)  # 退出 QZ
        exit_question = wait_until(lambda: [w for w in self.own_windows() if self.caption(w) == "请确认"], 20,
                                   "the exit question is asked")
        self.key("Return", window=exit_question[0])  # 是
        status, _ = self.wait_for_end(icon)
        self.assertEqual(status, 0, f"the shell ends cleanly: {self.read(self.shell_stderr)[-2000:]}")

    def test_a_download_is_asked_shown_while_it_runs_cancelled_and_saved(self):
        self.start("/test/pages/download-links")
        main = self.main_window
        self.wait_for_caption("下载测试")

        self.click_page(0.25)  # the slow download
        question = self.ask([main])
        self.assertEqual(self.saved(), [], "nothing is saved before the answer")
        self.key("Return", window=question)  # 保存, the default
        window = wait_until(lambda: [w for w in self.own_windows() if w != main and self.caption(w) == "下载"],
                            20, lambda: f"the downloads window opens: {self.describe_windows()}")[0]
        self.screenshot("downloads-running")
        self.assertEqual(self.ended(), [], "the downloads window shows while the file comes in")
        self.assertEqual(self.saved(), [], "nothing is in the downloads folder before the file is whole")

        self.key("space", window=window)  # 取消, the running download's button
        ended = wait_until(self.ended, 20, "取消 stops the transfer")
        self.assertLess(ended[0]["sent"], SLOW_SIZE)
        self.hold(1, "after the download was cancelled")
        self.assertEqual(self.saved(), [], "a cancelled download leaves nothing behind")

        self.click_page(0.75)  # the quick one, named ".bashrc"
        self.key("Return", window=self.ask([main, window]))
        path = os.path.join(self.downloads, "bashrc")
        wait_until(lambda: os.path.isfile(path) and os.path.getsize(path) == QUICK_SIZE, 30,
                   lambda: f"the file is saved whole, without its leading dot: {self.saved()}")
        self.assertEqual(self.saved(), ["bashrc"])
        self.assertEqual(sorted(self.own_windows()), sorted([main, window]), "one downloads window for both")
        self.assertNoShellErrors()

    def test_a_page_that_downloads_by_itself_gets_one_question_and_after_cancel_none(self):
        self.start("/test/pages/download-frames")
        main = self.main_window
        self.wait_for_caption("自动下载")
        question = self.ask([main])
        wait_until(lambda: len(self.attachment_requests()) >= 7, 20, "the page goes on starting downloads")
        self.assertEqual(self.own_windows(), [main, question], "one question for all of the page's downloads")
        self.key("Escape", window=question)  # 取消

        wait_until(lambda: not self.viewable(question), 10, "取消 closes the question")
        tried = len(self.attachment_requests())
        wait_until(lambda: len(self.attachment_requests()) >= tried + 3, 20, "the page tries again")
        self.assertEqual(self.own_windows(), [main], "no question and no download after 取消")
        self.assertEqual(self.saved(), [], "nothing saved unasked")

        self.click_page(0.5)  # the user's click in the page lets it ask again
        self.key("Escape", window=self.ask([main]))
        self.assertEqual(self.saved(), [])
        self.assertNoShellErrors()

    def test_a_failed_download_says_so_and_exiting_after_it_ends_cleanly(self):
        icon = self.start("/test/attachment?size=1000000&rate=50000&fail=150000&name=%E5%9D%8F.bin", after=4)
        self.close_window()
        wait_until(lambda: not self.viewable(), 10, "closing the window hides it")
        balloons = set(self.top_level_popups())
        self.key("Return", window=self.ask([]))
        balloon = wait_until(lambda: set(self.top_level_popups()) - balloons, 30,
                             "a balloon from the tray icon tells of the failure").pop()
        self.assertEqual(self.x.cardinals(balloon, "_NET_WM_PID"), [self.shell.pid])
        self.screenshot("downloads-failed")
        wait_until(lambda: self.saved() == [], 10, f"no broken file stays: {self.saved()}")
        self.exit_from_tray(icon)
        self.assertNoShellErrors()

    def test_a_file_the_downloads_folder_refuses_is_kept_whole_and_offered_to_be_saved(self):
        folder = os.path.join(self.home, "Downloads")
        os.makedirs(folder)
        # Root writes into a read-only folder; an immutable one refuses even root.
        if os.geteuid() == 0:
            if subprocess.run(["chattr", "+i", folder], capture_output=True).returncode != 0:
                self.skipTest("this file system has no immutable folders")
            self.addCleanup(subprocess.run, ["chattr", "-i", folder])
        else:
            os.chmod(folder, 0o555)
        icon = self.start(f"/test/attachment?size={QUICK_SIZE}&name={quote(KEPT_NAME)}",
                          PATH=self.stand_in_opener(), BROWSER="")
        main = self.main_window
        self.key("Return", window=self.ask([main]))

        kept_folder = os.path.join(self.home, ".local", "share", "qz-shell", "未保存的下载")
        kept = os.path.join(kept_folder, KEPT_NAME)
        wait_until(lambda: self.content(kept) == b"q" * QUICK_SIZE, 30,
                   lambda: f"the file is kept whole: {glob.glob(self.home + '/.*/**', recursive=True)}")
        self.assertEqual(self.saved(), [])
        window = [w for w in self.own_windows() if self.caption(w) == "下载"][0]
        self.screenshot("downloads-kept")
        self.key("space", window=window)  # 另存为…, where the keyboard was on 取消
        dialog = self.wait_for_new_window([main, window], caption="另存为")
        self.key("Escape", window=dialog)
        wait_until(lambda: not self.viewable(dialog), 10, "Escape closes the save dialog")
        self.key("Tab", "space", window=window)  # 打开所在文件夹
        wait_until(lambda: self.read(self.handed), 20, "the folder is handed to the desktop's opener")
        self.assertEqual(unquote(self.read(self.handed)).split(), [f"file://{kept_folder}"])

        self.exit_from_tray(icon)
        self.assertEqual(glob.glob(os.path.join(self.home, ".cache", "qz-shell", "downloads-*")), [],
                         "the folder downloads come in to goes with the shell")
        self.assertEqual(self.content(kept), b"q" * QUICK_SIZE, "the kept file stays")
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
