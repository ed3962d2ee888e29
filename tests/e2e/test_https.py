"""The portal over https: the shell built for https shows the demo portal's start page and takes its
size once the portal's certificate is trusted in the user's NSS database, where the browser engine
looks; with a certificate nobody trusts, the page is not shown and nothing offers to show it."""

import os
import subprocess

import harness
from harness import INITIAL_HEIGHT, INITIAL_WIDTH, MENU_BAR_HEIGHT, START_PATH, ShellTestCase, config, wait_until

START_TITLE = "QZ 安全门户@640@480"


class OverHttps(ShellTestCase):
    def setUp(self):
        super().setUp()
        if not config.https_shell:
            self.skipTest("no shell built for the portal over https")
        self.certificate = os.path.join(self.logs, "portal-cert.pem")
        self.start_tray()
        self.start_portal("--https", "--cert-out", self.certificate, "--start-title", START_TITLE)

    def refused_handshakes(self):
        return [r for r in self.requests() if r["method"] == "TLS"]

    def test_trusted_certificate_shows_and_sizes_the_start_page(self):
        nssdb = os.path.join(self.home, ".pki", "nssdb")
        os.makedirs(nssdb)
        for command in (["-N", "--empty-password"], ["-A", "-t", "C,,", "-n", "demo", "-i", self.certificate]):
            subprocess.run(["certutil", "-d", f"sql:{nssdb}", *command], check=True, capture_output=True, timeout=30)
        self.start_shell(program=config.https_shell)
        self.find_main_window()
        self.wait_for_size(640, 480 + MENU_BAR_HEIGHT)
        self.assertCentred(self.geometry(), 640, 480 + MENU_BAR_HEIGHT)
        self.assertEqual(self.caption(), "QZ 安全门户")
        self.wait_for_page_to_fill_window()
        self.screenshot("https-start-page")

        starts = self.requests_for(START_PATH, "service")
        self.assertEqual([(r["method"], r["host"]) for r in starts], [("GET", config.service)])
        self.assertEqual(self.refused_handshakes(), [])
        self.assertNoShellErrors()

    def test_untrusted_certificate_never_shows_the_start_page(self):
        self.start_shell(program=config.https_shell)
        main = self.find_main_window()
        wait_until(self.refused_handshakes, 30, "the engine refuses the portal's certificate")
        # No question can let the portal's own certificate through: the shell's error page says why.
        wait_until(lambda: self.caption().startswith("无法访问"), 30,
                   lambda: f"the error page is shown; the shell's windows are {self.describe_windows()}")
        self.screenshot("https-untrusted")
        self.assertEqual(self.own_windows(), [main], "no question about the portal's certificate")

        self.assertEqual([r for r in self.page_requests() if r["method"] != "TLS"], [],
                         "no page was asked for over the untrusted connection")
        self.assertNotEqual(self.caption(), "QZ 安全门户")
        self.assertCentred(self.geometry(), INITIAL_WIDTH, INITIAL_HEIGHT)


if __name__ == "__main__":
    harness.main()
