#!/usr/bin/env python3
"""The bundled demo portal: the four portal sites of qz-shell on four loopback addresses.

Every site answers its own pages in Simplified Chinese. The start page sets a session cookie and
carries the title that sizes the shell's window. Every request is appended to a log file as one JSON
line, so tests can see exactly what the shell asked for. Python 3 standard library only.
"""

import argparse
import base64
import html
import ipaddress
import json
import os
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
import threading
import time
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, quote, urlsplit

DEFAULT_HOSTS = {
    "service": "127.0.0.1:8301",
    "search": "127.0.0.1:8302",
    "site": "127.0.0.1:8303",
    "home": "127.0.0.1:8304",
}
SITE_ROLES = {
    "service": "start page, go page, member hall, help centre",
    "search": "search portal",
    "site": "site directory",
    "home": "update, tutorial, guest book, introduction, home page",
}
# A site that is not the portal's, on another loopback address: the shell hands its addresses to the
# user's own browser. The site directory links to it.
DEFAULT_OUTSIDE = "127.0.0.2:8305"
DEFAULT_START_TITLE = "QZ 门户@800@560"
SESSION_COOKIE = "qz_session=demo"


def page(title, heading, paragraphs, links=(), head_extra=""):
    """A complete UTF-8 page; title, heading and paragraphs are plain text, links are (href, text) or
    (href, text, target)."""
    body = [f"<h1>{html.escape(heading)}</h1>"]
    body += [f"<p>{html.escape(text)}</p>" for text in paragraphs]
    if links:
        items = "".join(link_item(*link) for link in links)
        body.append(f"<ul>{items}</ul>")
    return (
        "<!DOCTYPE html>\n"
        '<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{html.escape(title)}</title>\n"
        "<style>body{font-family:sans-serif;margin:16px;line-height:1.5}h1{font-size:22px}</style>\n"
        f"{head_extra}</head>\n<body>\n" + "\n".join(body) + "\n</body>\n</html>\n"
    )


def link_item(href, text, target=None):
    opens = f' target="{html.escape(target)}"' if target else ""
    return f'<li><a href="{html.escape(href)}"{opens}>{html.escape(text)}</a></li>'


def refresh_script(url, after):
    """Moves the page on to url after the given seconds."""
    return f"<script>setTimeout(function () {{ location.href = {json.dumps(url)}; }}, {int(after * 1000)});</script>\n"


class Portal:
    """The four sites' pages and the shared request log."""

    def __init__(self, hosts, scheme, start_title, start_delay, start_next, start_next_after, log_path):
        self.hosts = hosts
        self.scheme = scheme
        self.start_title = start_title
        self.start_delay = start_delay
        self.start_next = start_next
        self.start_next_after = start_next_after
        self.log_lock = threading.Lock()
        directory = os.path.dirname(os.path.abspath(log_path))
        os.makedirs(directory, exist_ok=True)
        self.log_file = open(log_path, "a", encoding="utf-8")

    def url(self, site, path):
        return f"{self.scheme}://{self.hosts[site]}{path}"

    def log(self, record):
        line = json.dumps(record, ensure_ascii=False)
        with self.log_lock:
            self.log_file.write(line + "\n")
            self.log_file.flush()

    # Each route takes the parsed query string and the Cookie header and returns
    # (status, extra headers, body text or bytes).

    def start_page(self, query, cookie):
        if self.start_delay > 0:
            time.sleep(self.start_delay)
        links = [
            (self.url("service", "/qz/Go/?from=qz"), "通行天下"),
            (self.url("service", "/member/?from=qz"), "会员大厅"),
            (self.url("service", "/help/?from=qz"), "帮助中心"),
            (self.url("search", "/?from=qz"), "智能搜索"),
            (self.url("site", "/?from=qz"), "网址导航"),
            (self.url("home", "/?version=1.0.0&from=qz"), "官方主页"),
        ]
        version = query.get("version", [""])[0]
        head = refresh_script(self.start_next, self.start_next_after) if self.start_next else ""
        body = page(
            self.start_title,
            "欢迎使用 QZ 门户",
            [
                "这是随 qz-shell 附带的演示门户首页，用于本地运行和测试。",
                f"客户端版本：{version or '未知'}。本页已为您设置会话 Cookie。",
                "请从下面的链接进入各个栏目。",
            ],
            links,
            head,
        )
        return HTTPStatus.OK, [("Set-Cookie", f"{SESSION_COOKIE}; Path=/")], body

    def member_page(self, query, cookie):
        state = "您已登录（会话 Cookie 已收到）。" if SESSION_COOKIE in cookie else "您尚未登录：没有收到会话 Cookie。"
        return HTTPStatus.OK, [], page("会员大厅", "会员大厅", [state, "这里可以查看积分、消息和个人资料。"])

    def site_directory(self, query, cookie):
        """Links to a site outside the portal: the shell opens them in the user's own browser."""
        links = [
            (self.url("outside", "/news/"), "新闻（外部网站）"),
            (self.url("outside", "/shop/"), "购物（外部网站，新窗口）", "_blank"),
            (self.url("site", "/test/redirect?to=" + quote(self.url("outside", "/video/"), safe="")),
             "视频（经门户跳转到外部网站）"),
            (self.url("search", "/?from=qz"), "智能搜索（门户，留在 QZ 中）"),
        ]
        return HTTPStatus.OK, [], page("网址导航", "网址导航", [
            "常用网站分类：新闻、购物、视频、游戏。",
            "门户以外的网站在您自己的浏览器中打开，QZ 中仍显示门户。"], links)

    def outside_page(self, query, cookie):
        return HTTPStatus.OK, [], page("外部网站", "外部网站", ["这是门户以外的网站：QZ 把它交给了您自己的浏览器。"])

    def static(self, title, heading, *paragraphs):
        return lambda query, cookie: (HTTPStatus.OK, [], page(title, heading, paragraphs))

    def routes(self, site):
        """The pages of one site, by exact path (letter case matters). Only the start page's title
        carries the sizing marker "QZ": following a link never resizes the shell by accident."""
        if site == "service":
            return {
                "/api/qz/": self.start_page,
                "/qz/Go/": self.static("通行天下", "通行天下", "从这里出发，浏览 QZ 精选的内容。", "每日推荐、热门话题和最新动态都在这里。"),
                "/member/": self.member_page,
                "/help/": self.static("帮助中心", "帮助中心", "常见问题：如何登录、如何修改资料、如何联系客服。", "如需更多帮助，请在留言板留言。"),
            }
        if site == "search":
            return {"/": self.static("智能搜索", "智能搜索", "请输入关键词进行搜索。", "演示门户不提供真正的搜索结果。")}
        if site == "site":
            return {"/": self.site_directory}
        if site == "home":
            return {
                "/qz/Update/": self.static("软件更新", "软件更新", "您使用的是最新版本，无需更新。", "更新说明：修复了若干问题，提升了稳定性。"),
                "/qz/help/": self.static("使用教程", "使用教程", "第一步：打开 QZ。第二步：从菜单选择栏目。", "关闭窗口后，QZ 仍在通知区域运行。"),
                "/qz/guestbook/": self.static("留言反馈", "留言反馈", "欢迎留下您的意见和建议。", "我们会尽快回复每一条留言。"),
                "/qz/intro/": self.static("产品介绍", "产品介绍", "QZ 是一个小巧的门户客户端。", "它按页面的要求调整窗口大小，并常驻通知区域。"),
                "/": self.static("官方主页", "官方主页", "欢迎访问 QZ 官方主页。", "这里发布新闻、下载和联系方式。"),
            }
        return {}

    def test_page(self, query, cookie):
        """A page whose title is exactly the given text; optionally late, optionally moving on."""
        title = query.get("title", [""])[0]
        delay = float(query.get("delay", ["0"])[0] or 0)
        if delay > 0:
            time.sleep(delay)
        head = ""
        if "next" in query:
            head = refresh_script(query["next"][0], float(query.get("after", ["0"])[0] or 0))
        return HTTPStatus.OK, [], page(title, "测试页面", ["这是测试页面，标题由地址中的参数决定。", f"标题：{title}"], (), head)

    def test_redirect(self, query, cookie):
        """A server redirect (302) to the address in to."""
        return HTTPStatus.FOUND, [("Location", query.get("to", ["/"])[0])], page("跳转", "跳转", ["正在跳转。"])

    def test_status(self, query, cookie):
        try:
            code = HTTPStatus(int(query.get("code", ["500"])[0]))
        except ValueError:
            code = HTTPStatus.INTERNAL_SERVER_ERROR
        text = f"{code.value} {code.phrase}"
        return code, [], page(text, "测试状态", [f"服务器按要求返回了状态 {text}。"])

    def test_popups(self, query, cookie):
        """A page that tries to open n windows of its own as soon as it loads, with no click; its title
        then says how many the browser let it open."""
        count = int(query.get("n", ["20"])[0] or 0)
        script = (
            "<script>\nwindow.addEventListener('load', function () {\n"
            "  var opened = 0;\n"
            f"  for (var i = 0; i < {count}; i++) {{\n"
            "    if (window.open('/test/page?title=' + encodeURIComponent('弹出窗口 ' + i), 'popup' + i)) opened++;\n"
            "  }\n"
            f"  document.title = '弹窗测试：打开了 ' + opened + ' / {count} 个';\n"
            "});\n</script>\n"
        )
        return HTTPStatus.OK, [], page("弹窗测试", "弹窗测试", [f"本页加载时尝试打开 {count} 个窗口。"], (), script)

    def test_bad_bytes(self, query, cookie):
        """A page said to be UTF-8 whose title and text hold bytes that are not: a lone 0xFF, a cut
        sequence, an overlong form and an encoded surrogate."""
        bad = b"\xff \xe6\x97 \xc0\xaf \xed\xa0\x80"
        return HTTPStatus.OK, [], (
            b'<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
            b"<title>\xe5\x9d\x8f\xe5\xad\x97\xe8\x8a\x82 " + bad + b"</title>\n</head>\n<body>\n"
            b"<h1>\xe5\x9d\x8f\xe5\xad\x97\xe8\x8a\x82</h1>\n<p>" + bad * 64 + b"</p>\n</body>\n</html>\n"
        )

    def test_big_title(self, query, cookie):
        """A page whose title is about size bytes of UTF-8 (1 MiB unless asked)."""
        size = int(query.get("size", [str(1 << 20)])[0] or 0)
        title = "超长标题" + "长" * max(0, (size - 12) // 3)
        return HTTPStatus.OK, [], page(title, "超长标题", [f"本页标题约 {size} 字节。"])

    def test_title_storm(self, query, cookie):
        """A page that changes its title every interval milliseconds (10 unless asked), for ever."""
        interval = int(query.get("interval", ["10"])[0] or 10)
        script = (
            "<script>\nvar changes = 0;\n"
            f"setInterval(function () {{ document.title = '标题风暴 ' + (++changes); }}, {interval});\n"
            "</script>\n"
        )
        return HTTPStatus.OK, [], page("标题风暴", "标题风暴", [f"本页每 {interval} 毫秒改一次标题。"], (), script)


PAGES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pages")


def test_pages_route(path):
    """/test/pages/NAME answers portal/pages/NAME.html as it stands, so a test page is one file."""
    name = path[len("/test/pages/"):]
    if not name or "/" in name or name.startswith("."):
        return None
    file = os.path.join(PAGES_DIR, name + ".html")
    if not os.path.isfile(file):
        return None
    return lambda query, cookie: (HTTPStatus.OK, [], open(file, "rb").read())


# /test/login asks for HTTP Basic authentication, user "demo" and password "qz-demo", and then
# answers a page titled "已登录".
LOGIN_PATH = "/test/login"
LOGIN = "Basic " + base64.b64encode(b"demo:qz-demo").decode()


def test_login(authorization):
    if authorization == LOGIN:
        return HTTPStatus.OK, [], page("已登录", "已登录", ["用户名和密码正确。"])
    return (HTTPStatus.UNAUTHORIZED, [("WWW-Authenticate", 'Basic realm="QZ demo portal"')],
            page("需要登录", "需要登录", ["请输入用户名和密码。"]))


def not_found(path):
    return HTTPStatus.NOT_FOUND, [], page("404 页面不存在", "页面不存在", [f"找不到您要访问的页面：{path}", "请检查地址是否正确。"])


def make_handler(portal, site):
    routes = portal.routes(site)
    if site == "outside":
        routes = {}
    routes.update({
        "/test/redirect": portal.test_redirect,
        "/test/page": portal.test_page,
        "/test/status": portal.test_status,
        "/test/popups": portal.test_popups,
        "/test/bad-bytes": portal.test_bad_bytes,
        "/test/big-title": portal.test_big_title,
        "/test/title-storm": portal.test_title_storm,
    })

    class Handler(BaseHTTPRequestHandler):
        server_version = "QZDemoPortal/1.0"
        protocol_version = "HTTP/1.1"

        def log_message(self, format, *args):
            pass  # the JSON log is the record

        def respond(self, send_body):
            cookie = self.headers.get("Cookie", "")
            portal.log({
                "method": self.command,
                "host": self.headers.get("Host", ""),
                "path": self.path,
                "cookie": cookie,
                "site": site,
                "time": round(time.time(), 3),
            })
            parts = urlsplit(self.path)
            query = parse_qs(parts.query, keep_blank_values=True)
            path = parts.path
            if path == ATTACHMENT_PATH:
                return stream_attachment(self, query, send_body, portal.log)
            route = routes.get(path) or (test_pages_route(path) if path.startswith("/test/pages/") else None)
            if site == "outside" and not route:
                route = portal.outside_page
            if path == LOGIN_PATH:
                route = lambda query, cookie: test_login(self.headers.get("Authorization", ""))  # noqa: E731
            status, headers, body = route(query, cookie) if route else not_found(path)
            data = body if isinstance(body, bytes) else body.encode("utf-8")
            self.send_response(status)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Cache-Control", "no-store")
            for name, value in headers:
                self.send_header(name, value)
            self.end_headers()
            if send_body:
                self.wfile.write(data)

        def do_GET(self):
            self.respond(True)

        def do_HEAD(self):
            self.respond(False)

        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0") or 0)
            if length:
                self.rfile.read(length)
            self.respond(True)

    return Handler


# -- A slow streamed attachment, for the shell's downloads ---------------------------------------------
# /test/attachment?size=BYTES&rate=BYTES_PER_S&name=NAME answers a file of size bytes sent at about
# rate bytes a second (as fast as it goes without one), named by Content-Disposition. &fail=BYTES ends
# the connection after that many bytes (a download that fails); &unsized=1 leaves the size unsaid. When
# the answer ends, whole or not, the log gets {"method": "END", "path", "sent", "time"}.

ATTACHMENT_PATH = "/test/attachment"
ATTACHMENT_TICK = 0.1


def stream_attachment(handler, query, send_body, log):
    def number(key, default):
        try:
            return max(0, int(query[key][0])) if key in query else default
        except ValueError:
            return default

    size, rate, fail = number("size", 1024), number("rate", 0), number("fail", -1)
    name = query.get("name", ["附件.bin"])[0]
    if fail >= 0 and handler.headers.get("Range"):
        # A broken download stays broken: the browser's attempt to resume it is refused.
        handler.send_response(HTTPStatus.INTERNAL_SERVER_ERROR)
        handler.send_header("Content-Length", "0")
        handler.end_headers()
        log({"method": "END", "path": handler.path, "sent": 0, "time": round(time.time(), 3)})
        return
    handler.send_response(HTTPStatus.OK)
    handler.send_header("Content-Type", "application/octet-stream")
    handler.send_header("Content-Disposition", f"attachment; filename*=UTF-8''{quote(name, safe='')}")
    handler.send_header("Cache-Control", "no-store")
    handler.send_header("ETag", f'"qz-{size}"')
    handler.send_header("Accept-Ranges", "bytes")
    if query.get("unsized", [""])[0]:
        handler.send_header("Connection", "close")
        handler.close_connection = True
    else:
        handler.send_header("Content-Length", str(size))
    handler.end_headers()
    if not send_body:
        return
    chunk = max(1, int(rate * ATTACHMENT_TICK)) if rate else 64 * 1024
    sent = 0
    try:
        while sent < size:
            if 0 <= fail <= sent:
                handler.close_connection = True
                handler.connection.shutdown(2)
                break
            part = min(chunk, size - sent, fail - sent if fail >= 0 else size)
            handler.wfile.write(b"q" * part)
            handler.wfile.flush()
            sent += part
            if rate:
                time.sleep(ATTACHMENT_TICK)
    except (BrokenPipeError, ConnectionResetError):
        handler.close_connection = True  # the download was cancelled
    log({"method": "END", "path": handler.path, "sent": sent, "time": round(time.time(), 3)})


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    # With --https: the TLS context every connection is answered through, and the request log.
    tls = None
    log_tls_failure = None

    def finish_request(self, request, client_address):
        if self.tls is None:
            return super().finish_request(request, client_address)
        # The handshake runs on the connection's own thread, so that a client that stalls in it or
        # refuses the certificate holds up no other.
        try:
            connection = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            self.log_tls_failure(str(getattr(error, "reason", None) or error))
            return
        try:
            super().finish_request(connection, client_address)
        finally:
            connection.close()


# -- https: a certificate of the portal's own ------------------------------------------------------------
# Made when the portal starts, for every host it serves (and the loopback names besides), signed by
# itself: a browser trusts it only once told to, as the tests do in the user's NSS database.

def subject_alt_names(hosts):
    names = []
    for host in [*hosts, "localhost", "127.0.0.1", "::1"]:
        try:
            ipaddress.ip_address(host)
            name = f"IP:{host}"
        except ValueError:
            name = f"DNS:{host}"
        if name not in names:
            names.append(name)
    return ",".join(names)


def make_certificate(hosts, folder):
    """A self-signed certificate and its key in folder, made with openssl; returns their paths."""
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
                    "-subj", "/O=qz-shell/CN=QZ demo portal", "-keyout", key, "-out", cert,
                    "-addext", f"subjectAltName={subject_alt_names(hosts)}",
                    "-addext", "extendedKeyUsage=serverAuth"],
                   check=True, capture_output=True)
    return cert, key


def split_address(text):
    """"host:port" (or "[v6]:port") into (host, port)."""
    host, sep, port = text.rpartition(":")
    if not sep or not port.isdigit() or not host:
        raise argparse.ArgumentTypeError(f"'{text}' is not host:port (for example 127.0.0.1:8301)")
    return host.strip("[]"), int(port)


def parse_args(argv):
    parser = argparse.ArgumentParser(
        description="The demo portal for qz-shell: four small sites on loopback, every request logged as JSON.",
        epilog="Test pages on every site: /test/page?title=TEXT&delay=SECONDS[&next=URL&after=SECONDS], "
        "/test/status?code=500, /test/popups?n=20, /test/bad-bytes, /test/big-title?size=BYTES and "
        "/test/title-storm?interval=MS, /test/redirect?to=URL, /test/login (user demo, password qz-demo), /test/attachment?size=BYTES&rate=BYTES_PER_S&name=NAME. Port 0 picks a free port; the addresses in use are printed as one JSON "
        "line on standard output once all sites listen.",
    )
    for site, default in DEFAULT_HOSTS.items():
        parser.add_argument(f"--{site}", default=default, metavar="HOST:PORT",
                            help=f"{SITE_ROLES[site]} (default {default})")
    parser.add_argument("--outside", default=DEFAULT_OUTSIDE, metavar="HOST:PORT",
                        help=f"a site outside the portal, which the site directory links to (default {DEFAULT_OUTSIDE})")
    parser.add_argument("--start-title", default=DEFAULT_START_TITLE,
                        help=f"title of the start page /api/qz/ (default {DEFAULT_START_TITLE!r})")
    parser.add_argument("--start-delay", type=float, default=0.0, metavar="SECONDS",
                        help="wait this long before answering the start page")
    parser.add_argument("--start-next", metavar="URL",
                        help="have the start page move on to URL (after --start-next-after seconds)")
    parser.add_argument("--start-next-after", type=float, default=1.0, metavar="SECONDS",
                        help="seconds before the start page moves on to --start-next (default 1)")
    parser.add_argument("--log", default=os.path.join("build", "portal.log"), metavar="PATH",
                        help="request log, one JSON line per request, appended (default build/portal.log)")
    parser.add_argument("--https", action="store_true",
                        help="serve every site over https, with a certificate made at start-up and signed by itself")
    parser.add_argument("--cert-out", default=os.path.join("build", "portal-cert.pem"), metavar="PATH",
                        help="with --https: where the certificate is written, for the browser to trust "
                        "(default build/portal-cert.pem)")
    args = parser.parse_args(argv)
    for site in [*DEFAULT_HOSTS, "outside"]:
        try:
            split_address(getattr(args, site))
        except argparse.ArgumentTypeError as error:
            parser.error(f"--{site}: {error}")
    return args


def tls_context(hosts, cert_out):
    """The server side of TLS with a certificate made now for hosts. The certificate is copied to
    cert_out for the browser to trust; the key lives on in the context alone."""
    folder = tempfile.mkdtemp(prefix="qz-demo-portal-")
    try:
        cert, key = make_certificate(hosts, folder)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        os.makedirs(os.path.dirname(os.path.abspath(cert_out)), exist_ok=True)
        shutil.copyfile(cert, cert_out)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return context


def main(argv=None):
    args = parse_args(argv)
    hosts = {site: getattr(args, site) for site in [*DEFAULT_HOSTS, "outside"]}
    servers = {}
    try:
        for site in hosts:
            servers[site] = Server(split_address(hosts[site]), None)
    except OSError as error:
        print(f"demo_portal: cannot listen on {hosts[site]} ({site}): {error.strerror}", file=sys.stderr)
        return 2
    for site, server in servers.items():
        host, port = server.server_address[:2]
        hosts[site] = f"{host}:{port}"
    scheme = "https" if args.https else "http"
    portal = Portal(hosts, scheme, args.start_title, args.start_delay, args.start_next, args.start_next_after,
                    args.log)
    for site, server in servers.items():
        server.RequestHandlerClass = make_handler(portal, site)
    if args.https:
        try:
            tls = tls_context([split_address(address)[0] for address in hosts.values()], args.cert_out)
        except (OSError, subprocess.CalledProcessError) as error:
            detail = error.stderr.decode(errors="replace").strip() if getattr(error, "stderr", None) else error
            print(f"demo_portal: cannot make the https certificate: {detail}", file=sys.stderr)
            return 2
        for site, server in servers.items():
            server.tls = tls
            server.log_tls_failure = lambda reason, site=site: portal.log({
                "method": "TLS", "host": "", "path": "", "cookie": "", "site": site, "error": reason,
                "time": round(time.time(), 3)})

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
               for s in servers.values()]
    for thread in threads:
        thread.start()
    print(json.dumps(hosts), flush=True)
    print(f"demo_portal: start page {portal.url('service', '/api/qz/?from=qz&version=1.0.0')}, "
          f"log {os.path.abspath(args.log)}"
          + (f", certificate {os.path.abspath(args.cert_out)}" if args.https else ""), file=sys.stderr, flush=True)
    while not stop.wait(0.5):
        pass
    # The serving threads are daemons: returning ends them and closes the sockets.
    return 0


if __name__ == "__main__":
    sys.exit(main())
