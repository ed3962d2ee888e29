"""Behind a proxy: the shell built for host names only a proxy resolves reaches its portal through the
proxy the environment or GNOME's settings name, or an automatic configuration script names; a host on
GNOME's ignore list goes direct; with no proxy anywhere the shell's error page shows."""

import os
import subprocess

import harness
from harness import ShellTestCase, config, wait_until
from logging_proxy import LoggingProxy, free_port

PROXY_VARIABLES = ("http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY",
                   "NO_PROXY", "XDG_CURRENT_DESKTOP", "QTWEBENGINE_CHROMIUM_FLAGS")
START_CAPTION = "QZ 门户"
# The start page's host in the proxied build: the demo portal's port under a name only the proxy knows.


class BehindAProxy(ShellTestCase):
    def setUp(self):
        super().setUp()
        if not config.proxied_shell:
            self.skipTest("no shell built for the proxy's host names")
        # The start page's host in that build: the demo portal's port under a name only the proxy knows.
        self.service = "portal.test:" + config.service.rpartition(":")[2]
        self.proxy = LoggingProxy()
        self.addCleanup(self.proxy.stop)
        self.start_portal()

    def start_proxied_shell(self, **environment):
        env = self._env(**harness.engine_environment())
        for name in PROXY_VARIABLES:
            env.pop(name, None)
        env.update(environment)
        self.shell_stderr = os.path.join(self.logs, "shell.err")
        self.shell = self._start("shell", [config.proxied_shell], env=env)
        return self.find_main_window()

    def gnome_settings(self, *settings):
        """Sets org.gnome.system.proxy keys through dconf on the test's own session bus."""
        if not getattr(self, "session_bus", None):
            self.start_session_bus()
        for schema, key, value in settings:
            subprocess.run(["gsettings", "set", schema, key, value], env=self._env(), check=True, timeout=30)

    def manual_gnome_proxy(self, ignored):
        host, port = self.proxy.address.split(":")
        self.gnome_settings(("org.gnome.system.proxy", "mode", "manual"),
                            ("org.gnome.system.proxy.http", "host", host),
                            ("org.gnome.system.proxy.http", "port", port),
                            ("org.gnome.system.proxy", "ignore-hosts", ignored))

    def gnome_script(self, url):
        self.gnome_settings(("org.gnome.system.proxy", "mode", "auto"), ("org.gnome.system.proxy", "autoconfig-url", url))
        self.start_proxied_shell(XDG_CURRENT_DESKTOP="GNOME")

    def assertLoadsThroughTheProxy(self):
        self.wait_for_caption(START_CAPTION, timeout=40)
        self.assertIn({"host": self.service, "path": "/api/qz/"}, self.proxy.requests,
                      "the start page went through the proxy, for its host as built")
        self.assertEqual(self.shell_errors(), [])

    def assertErrorPageWithoutTheProxy(self):
        self.wait_for_caption(f"无法访问 {self.service}", timeout=40)
        self.assertEqual(self.proxy.requests, [], "nothing went through the proxy")

    def test_environment(self):
        self.start_proxied_shell(http_proxy=f"http://{self.proxy.address}")
        self.assertLoadsThroughTheProxy()

    def test_gnome_settings(self):
        self.manual_gnome_proxy("['localhost', '127.0.0.0/8']")
        self.start_proxied_shell(XDG_CURRENT_DESKTOP="GNOME")
        self.assertLoadsThroughTheProxy()

    def test_a_host_on_gnomes_ignore_list_goes_direct(self):
        # The desktop's settings count before the environment's proxy, which would have reached the host.
        self.manual_gnome_proxy("['localhost', 'portal.test']")
        self.start_proxied_shell(XDG_CURRENT_DESKTOP="UKUI", http_proxy=f"http://{self.proxy.address}")
        self.assertErrorPageWithoutTheProxy()

    def test_automatic_configuration_script(self):
        self.gnome_script(f"http://{self.proxy.address}/proxy.pac")
        self.assertLoadsThroughTheProxy()

    def test_no_proxy_anywhere(self):
        self.start_proxied_shell()
        self.assertErrorPageWithoutTheProxy()

    def test_a_script_that_cannot_be_fetched_is_reported_and_pages_go_direct(self):
        self.gnome_script(f"http://127.0.0.1:{free_port()}/proxy.pac")
        self.assertErrorPageWithoutTheProxy()
        wait_until(lambda: "cannot be fetched" in self.read(self.shell_stderr), 20, "the script's failure is told")
        self.assertEqual(self.read(self.shell_stderr).count("cannot be fetched"), 1)


if __name__ == "__main__":
    harness.main()
