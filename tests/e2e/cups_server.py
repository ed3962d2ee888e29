"""A CUPS server of a test's own: its own cupsd on a free loopback port, with its configuration, spool
and logs in one folder, and one cups-pdf queue as its default printer. The shell reaches it through
CUPS_SERVER, so a test never sees the machine's printers nor sends them anything."""

import os
import socket
import subprocess
import tempfile

from harness import wait_until

CUPSD_CONF = """LogLevel info
Listen 127.0.0.1:{port}
WebInterface No
Browsing No
DefaultAuthType None
PreserveJobFiles Yes
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
"""

CUPS_FILES_CONF = """ServerRoot {root}/conf
RequestRoot {root}/spool
TempDir {root}/tmp
CacheDir {root}/cache
StateDir {root}/state
AccessLog {root}/log/access_log
ErrorLog {root}/log/error_log
PageLog {root}/log/page_log
Printcap {root}/printcap
Sandboxing Relaxed
"""

PDF_PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class CupsServer:
    """Started by start(test); the test's clean-up ends cupsd and removes what it made."""

    def __init__(self, queue="qz-test-pdf"):
        self.queue = f"{queue}-{os.getpid()}"

    def start(self, test):
        self.root = tempfile.mkdtemp(prefix="qz-e2e-cups-")
        os.chmod(self.root, 0o755)  # filters run as the unprivileged lp user
        for folder in ("conf/ppd", "spool", "tmp", "cache", "state", "log", "pdf", "cups-pdf-spool"):
            os.makedirs(os.path.join(self.root, folder))
        os.chmod(os.path.join(self.root, "tmp"), 0o1777)
        self.pdf_folder = os.path.join(self.root, "pdf")
        self.address = f"127.0.0.1:{free_port()}"
        self._write("conf/cupsd.conf", CUPSD_CONF.format(port=self.address.split(":")[1]))
        self._write("conf/cups-files.conf", CUPS_FILES_CONF.format(root=self.root))
        # cups-pdf reads its settings only from /etc/cups, one file per queue named after the device URI.
        self.pdf_conf = f"/etc/cups/cups-pdf-{self.queue}.conf"
        with open(self.pdf_conf, "w") as conf:
            conf.write(f"Out {self.pdf_folder}\nSpool {self.root}/cups-pdf-spool\nLog {self.root}/log\n")
        test.addCleanup(self._remove)
        self.cupsd = test._start("cupsd", ["cupsd", "-f", "-c", f"{self.root}/conf/cupsd.conf",
                                           "-s", f"{self.root}/conf/cups-files.conf"])
        wait_until(lambda: "is running" in self._run("lpstat", "-r").stdout, 30, "the test's cupsd answers")
        self._run("lpadmin", "-p", self.queue, "-E", "-v", f"cups-pdf:/{self.queue}", "-P", PDF_PPD, check=True)
        self._run("lpadmin", "-d", self.queue, check=True)
        return self

    def pdfs(self):
        """What the queue's PDF printer wrote."""
        return [os.path.join(self.pdf_folder, name) for name in os.listdir(self.pdf_folder) if name.endswith(".pdf")]

    def job_files(self):
        """The documents of the jobs the server took, as they were sent (kept after printing)."""
        spool = os.path.join(self.root, "spool")
        return sorted(os.path.join(spool, name) for name in os.listdir(spool) if name.startswith("d"))

    def _run(self, *argv, check=False):
        result = subprocess.run([argv[0], "-h", self.address, *argv[1:]], capture_output=True, text=True,
                                timeout=30)
        if check and result.returncode != 0:
            raise AssertionError(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result

    def _write(self, path, text):
        with open(os.path.join(self.root, path), "w") as file:
            file.write(text)

    def _remove(self):
        os.remove(self.pdf_conf)
        subprocess.run(["rm", "-rf", self.root], check=False)
