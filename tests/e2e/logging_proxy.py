"""A forwarding HTTP proxy on loopback for the proxy tests: it alone resolves the host names ending in
.test (to 127.0.0.1, same port), logs every request it forwards, and serves an automatic configuration
script at /proxy.pac that names itself."""

import http.client
import socket
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlsplit


class LoggingProxy:
    def __init__(self):
        self.requests = []  # {"host", "path"} of each request forwarded
        proxy = self

        class Handler(BaseHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def do_GET(self):
                address = urlsplit(self.path)
                if self.path == "/proxy.pac":
                    return self.reply(200, f'function FindProxyForURL(u, h) {{ return "PROXY {proxy.address}"; }}'.encode())
                if not (address.hostname or "").endswith(".test"):
                    return self.reply(502, b"this proxy knows only .test hosts")
                proxy.requests.append({"host": address.netloc, "path": address.path})
                target = http.client.HTTPConnection("127.0.0.1", address.port or 80, timeout=30)
                try:
                    target.request("GET", self.path[self.path.index(address.netloc) + len(address.netloc):],
                                   headers={k: v for k, v in self.headers.items() if not k.lower().startswith("proxy-")})
                    answer = target.getresponse()
                    self.reply(answer.status, answer.read(), answer.getheader("Content-Type", "text/html"),
                               answer.getheader("Set-Cookie"))
                except OSError:
                    self.reply(502, b"the .test host does not answer")
                finally:
                    target.close()

            def reply(self, status, content, kind="text/plain", cookie=None):
                self.send_response(status)
                self.send_header("Content-Type", kind)
                if cookie:
                    self.send_header("Set-Cookie", cookie)
                self.send_header("Content-Length", str(len(content)))
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(content)

        self.server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.address = f"127.0.0.1:{self.server.server_address[1]}"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]
