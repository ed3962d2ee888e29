"""Printing keeps the page's text: a PDF file in the home folder of an account with no documents folder
when there is no printer, and a PDF job through a CUPS queue; a second preview asked for while the
first is being prepared is turned down and the shell lives on."""

import os
import subprocess
from unittest import mock

import harness
from cups_server import CupsServer
from harness import MENU_BAR_HEIGHT, CommandTestCase, wait_until

PAGE_TEXT = "欢迎使用 QZ 门户"
# Longer than a file name may be in bytes (3 to a character) though not in characters.
LONG_CAPTION = "QZ " + "演示门户的打印测试页面" * 10


def pdf_text(path):
    """The PDF's text; none while the file is still being written."""
    result = subprocess.run(["pdftotext", "-enc", "UTF-8", path, "-"], capture_output=True, text=True, timeout=60)
    return result.stdout if result.returncode == 0 else ""


class Printing(CommandTestCase):
    def start(self, cups_server, title="QZ 门户@800@560"):
        # Whatever printers this machine has, the shell sees only the test's CUPS server (or none).
        environment = mock.patch.dict(os.environ, {"CUPS_SERVER": cups_server})
        environment.start()
        self.addCleanup(environment.stop)
        self.start_tray()
        self.start_portal("--start-title", title)
        self.start_shell()
        self.find_main_window()
        # The page's title sizes the window: the shell has read it.
        wait_until(lambda: tuple(self.geometry()[2:]) == (800, 560 + MENU_BAR_HEIGHT), 30,
                   lambda: f"the page's title sizes the window; it is {self.geometry()}")
        self.wait_for_page_to_fill_window()

    def print_with_dialog(self):
        self.key("ctrl+p", window=self.main_window)
        dialog = self.wait_for_new_window([self.main_window], timeout=60)
        self.assertEqual(self.caption(dialog), "打印")
        self.key("Return", window=dialog)
        wait_until(lambda: self.own_windows() == [self.main_window], 60,
                   lambda: f"the print dialog closes and nothing else opens: {self.describe_windows()}")

    def test_without_a_printer_the_page_goes_to_a_pdf_file_in_the_home_folder(self):
        self.start(os.path.join(self.home, "no-cups-server"), LONG_CAPTION + "@800@560")
        self.assertFalse(os.path.exists(os.path.join(self.home, "Documents")))
        self.print_with_dialog()
        pdfs = wait_until(lambda: [n for n in os.listdir(self.home) if n.endswith(".pdf")], 60,
                          "a PDF file appears in the home folder")
        name = pdfs[0]
        self.assertLessEqual(len(name.encode()), 255)
        self.assertTrue(LONG_CAPTION.startswith(name[:-4]), name)
        self.assertGreater(len(name), 60, "the name keeps as much of the caption as fits")
        path = os.path.join(self.home, name)
        self.assertIn(PAGE_TEXT, pdf_text(path), "the printed page keeps its text")
        self.assertLess(os.path.getsize(path), 300_000, "the page is text, not a picture")
        self.assertNoShellErrors()

    def test_a_cups_queue_gets_the_page_with_its_text(self):
        cups = CupsServer().start(self)
        self.start(cups.address)
        self.print_with_dialog()
        wait_until(cups.pdfs, 120, "the queue's PDF printer prints the job")
        # cups-pdf's driver goes through PostScript, which keeps no text of CID fonts: the job as sent
        # is what shows that the page reached the print system as text.
        jobs = cups.job_files()
        self.assertEqual(len(jobs), 1, jobs)
        self.assertIn(PAGE_TEXT, pdf_text(jobs[0]), "the job is the page's PDF with its text")
        self.assertNoShellErrors()

    def test_a_second_preview_while_the_first_is_prepared_is_turned_down(self):
        self.start(os.path.join(self.home, "no-cups-server"))
        main = self.main_window
        # One after the other in the same instant: the second comes while the first is prepared.
        self.key("ctrl+v", "ctrl+v", window=main)
        first = self.wait_for_new_window([main], timeout=60)
        # On a busy machine the first page may be ready before the second key arrives; that key then
        # goes to the open preview. Either way the shell lives on with one preview.
        if self.caption(first) != "打印预览":
            self.assertEqual(self.caption(first), "打印")
            self.key("Return", window=first)
        preview = wait_until(lambda: [w for w in self.own_windows() if self.caption(w) == "打印预览"], 60,
                             lambda: f"the first preview opens; the shell shows {self.describe_windows()}")[0]
        self.screenshot("printing-preview")
        self.key("Escape", window=preview)
        wait_until(lambda: self.own_windows() == [main], 15, "Escape closes the preview")
        self.assertTrue(self.shell_alive())
        self.assertNoShellErrors()


if __name__ == "__main__":
    harness.main()
