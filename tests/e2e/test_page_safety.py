"""What a page does in its own windows and dialogs never ends the shell nor locks the user out."""

import os
import ssl
import subprocess
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import harness
from harness import CommandTestCase, wait_until


class PageSafety(CommandTestCase):
    def open_page(self, name):
        path = f"/test/pages/{name}"
        self.start_tray()
        # A start title without a size: the caption follows the page that comes next.
        self.start_portal("--start-title", "起始页", "--start-next", path, "--start-next-after", "0.3")
        self.start_shell()
        main = self.find_main_window()
        self.tray_icon()
        wait_until(lambda: self.requests_for(path), 15, f"the start page moves on to {name}")
        return main

    def start_site(self, site, body, tls=False):
        """A site on the address of one of the portal's sites (the shell shows no other), answering body
        to every request, with tls over HTTPS with a certificate it signed itself; returns its address
        and the paths it was asked for. The demo portal moves that site elsewhere."""
        host, _, port = getattr(harness.config, site).rpartition(":")
        server = ThreadingHTTPServer((host, int(port)), None)
        asked = []

        class Site(BaseHTTPRequestHandler):
            def do_GET(self):
                asked.append(self.path)
                data = f"<!doctype html><meta charset=utf-8>{body}".encode()
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(data)))
                self.end_headers()
                self.wfile.write(data)

            def log_message(self, *args):
                pass

        server.RequestHandlerClass = Site
        if tls:
            cert, key = os.path.join(self.home, "cert.pem"), os.path.join(self.home, "key.pem")
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                            "/CN=127.0.0.1", "-keyout", key, "-out", cert], check=True, capture_output=True)
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            server.socket = context.wrap_socket(server.socket, server_side=True)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        return f"{'https' if tls else 'http'}://{host}:{port}/", asked

    def test_untrusted_certificate_is_asked_about_only_for_the_page_the_user_goes_to(self):
        secure, asked = self.start_site("home", "<title>证书测试</title>", tls=True)
        images = "".join(f'<img src="{secure}{n}.png">' for n in range(4))
        plain, _ = self.start_site("search", f'<title>图片页</title><a href="{secure}" '
                                   f'style="display:block;height:90vh">{images}</a>')
        self.start_tray()
        self.start_portal("--start-title", "起始页", "--start-next", plain, "--start-next-after", "0.3",
                          moved=("home", "search"))
        self.start_shell()
        main = self.find_main_window()
        # Four pictures of the untrusted site: refused without a question.
        self.wait_for_caption("图片页", timeout=20)
        self.hold(2, "after the pictures were refused")
        self.assertEqual(self.own_windows(), [main], "no question for what the page embeds")
        self.assertEqual(asked, [], "nothing is sent to the site")

        # Going to the site itself asks; 继续访问 shows it.
        self.click(main, 1)
        warning = self.wait_for_new_window([main])
        self.assertEqual(self.caption(warning), "安全警告")
        self.screenshot("certificate-warning")
        self.key("Tab", "space", window=warning)  # 继续访问
        self.wait_for_caption("证书测试", timeout=20)
        self.assertEqual(asked[:1], ["/"])
        self.assertNoShellErrors()

    def test_site_asking_for_a_login_asks_once_and_logs_in(self):
        # Four protected pictures: one question, and after 取消 no more.
        main = self.open_page("login-pictures")
        question = self.wait_for_new_window([main])
        self.assertEqual(self.caption(question), f"来自 {harness.config.service} 的登录请求")
        self.screenshot("login-question")
        self.key("Escape", window=question)
        self.hold(2, "after 取消")
        self.assertEqual(self.own_windows(), [main], "a cancelled login is not asked for again")

        # The login page itself asks again; the right user name and password open it.
        self.click(main, 1)
        question = self.wait_for_new_window([main])
        self.xdotool("windowfocus", "--sync", question, "type", "demo")
        self.key("Tab")
        self.xdotool("type", "qz-demo")
        self.key("Return")
        self.wait_for_caption("已登录", timeout=20)
        self.assertEqual(self.own_windows(), [main], "the question is gone")
        self.assertNoShellErrors()

    def test_writing_into_an_opened_window(self):
        self.check_writing_into_an_opened_window("window-writer")

    def test_writing_into_an_opened_window_at_once(self):
        self.check_writing_into_an_opened_window("window-writer-sync")

    def check_writing_into_an_opened_window(self, page):
        main = self.open_page(page)
        self.wait_for_caption("写窗口测试", timeout=20)
        self.click(main, 1)
        opened = self.wait_for_new_window([main])
        wait_until(lambda: self.caption(opened) == "写入的窗口" or not self.shell_alive(), 20,
                   "the opened window shows what the page wrote")
        self.assertTrue(self.shell_alive(), "the shell lives on")
        self.assertEqual(self.caption(opened), "写入的窗口")
        self.hold(2, "after the page wrote into its window")
        self.assertTrue(self.shell_alive(), "the shell lives on")
        self.assertTrue(self.viewable(main))

    def test_sized_popup_lands_on_the_screen(self):
        main = self.open_page("sized-popup")
        self.wait_for_caption("小窗口测试", timeout=20)
        self.click(main, 1)
        popup = self.wait_for_new_window([main])
        wait_until(lambda: self.caption(popup) == "小窗口", 20, "the pop-up shows its page")
        geometry = self.geometry(popup)
        self.assertGreaterEqual(geometry.x, 0, geometry)
        self.assertGreaterEqual(geometry.y, 0, f"the title and address bars show: {geometry}")
        self.assertLessEqual(geometry.x + geometry.width, harness.SCREEN_WIDTH, geometry)
        self.assertLessEqual(geometry.y + geometry.height, harness.SCREEN_HEIGHT, geometry)
        self.assertEqual(geometry.width, 400, "the page's width holds")

    def test_clipboard_keys_edit_a_text_field_and_stay_menu_keys_elsewhere(self):
        main = self.open_page("text-field")
        self.wait_for_caption("字段：甲乙丙", timeout=20)
        geometry = self.geometry(main)
        self.xdotool("mousemove", geometry.x + 60, geometry.y + harness.MENU_BAR_HEIGHT + 20, "click", 1)
        self.key("ctrl+a", "ctrl+c")
        wait_until(lambda: harness.selection_text(self.x) == "甲乙丙", 15, "Ctrl+C copies the field's text")
        self.key("End", "ctrl+v")
        self.wait_for_caption("字段：甲乙丙甲乙丙", timeout=15)
        self.assertEqual(self.own_windows(), [main], "no menu command ran")

        # Outside the field Ctrl+V is the menu's print preview again.
        self.xdotool("mousemove", geometry.x + 60, geometry.y + geometry.height - 30, "click", 1)
        self.key("ctrl+v")
        preview = self.wait_for_new_window([main], timeout=90)
        self.assertEqual(self.caption(preview), "打印预览")
        self.assertEqual(self.caption(main), "字段：甲乙丙甲乙丙", "nothing was pasted")

    def test_portal_notification_shows_as_a_balloon(self):
        main = self.open_page("notify")
        question = self.wait_for_new_window([main])
        known = set(self.top_level_popups())
        self.key("Tab", "space", window=question)  # 允许
        balloon = wait_until(lambda: set(self.top_level_popups()) - known, 30, "a balloon shows").pop()
        self.screenshot("portal-notification")
        self.click(balloon, 1)
        wait_until(lambda: self.requests_for("/test/page?title=clicked"), 20, "the page learns of the click")

    def page_dialog(self, known):
        dialog = self.wait_for_new_window(known)
        self.assertEqual(self.caption(dialog), f"来自 {harness.config.service} 的网页消息")
        return dialog

    def test_stopping_an_alert_loop(self):
        main = self.open_page("alert-loop")
        icon = self.tray_icon()
        self.wait_for_caption("对话框测试", timeout=20)
        self.click(main, 1)
        first = self.page_dialog([main])
        self.open_tray_menu(icon)  # while the page waits for its answer
        self.key("Return", window=first)
        wait_until(lambda: not self.viewable(first), 10, "确定 closes the first dialog")
        second = self.page_dialog([main])
        # The second dialog offers to stop the page's dialogs: the focus is on 确定, the default button,
        # and the check box is just before it.
        self.key("shift+Tab", "space", "Return", window=second)
        self.wait_for_caption("对话框已停止：false null", timeout=20)
        self.assertEqual(self.own_windows(), [main], "no dialog is left")

        self.open_tray_menu(icon)
        self.assertNoShellErrors()

    def test_permissions_answered_both_ways(self):
        main = self.open_page("permissions")

        def answered(what):
            return [r["path"] for r in self.requests() if r["path"].startswith(f"/test/page?title={what}%3A")]

        question = self.wait_for_new_window([main])
        self.assertEqual(self.caption(question), f"来自 {harness.config.service} 的请求")
        self.key("Return", window=question)  # 拒绝 is the default
        wait_until(lambda: answered("notifications"), 20, "the page learns the notifications answer")
        self.assertEqual(answered("notifications"), ["/test/page?title=notifications%3Adenied"])

        question = self.wait_for_new_window([main])
        self.key("Tab", "space", window=question)
        wait_until(lambda: answered("geolocation"), 20, "the page learns the location answer")
        self.assertEqual(answered("geolocation"), ["/test/page?title=geolocation%3Agranted"])

    def test_permission_answers_end_with_the_shell(self):
        main = self.open_page("permissions")
        self.key("Tab", "space", window=self.wait_for_new_window([main]))  # 允许 notifications
        self.key("Return", window=self.wait_for_new_window([main]))  # 拒绝 the location
        wait_until(lambda: any(r["path"].startswith("/test/page?title=geolocation") for r in self.requests()), 20,
                   "the page learns both answers")
        self._stop(self.shell)
        # The same profile on disk in the next run: the site is asked again, nothing was kept.
        self.start_shell()
        question = self.wait_for_new_window([self.find_main_window()])
        self.assertEqual(self.caption(question), f"来自 {harness.config.service} 的请求")

    def open_tray_menu(self, icon):
        before = set(self.top_level_popups())
        self.click(icon, 3)
        menu = wait_until(lambda: set(self.top_level_popups()) - before, 30, "the tray menu opens").pop()
        self.key("Escape")
        wait_until(lambda: not self.viewable(menu), 10, "Escape closes the tray menu")


if __name__ == "__main__":
    harness.main()
