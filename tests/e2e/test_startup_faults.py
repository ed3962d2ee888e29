"""Start-up under trouble: a termination signal at any moment of it ends the shell cleanly; a home that is
full or read-only still shows the sized page, says so once and ends cleanly; a second start at any moment
of the first's start-up never runs a second shell."""

import ctypes
import glob
import os
import signal
import subprocess
import tempfile
import time

import harness
from harness import START_PATH, CommandTestCase, wait_until

CLONE_NEWNS = 0x00020000
# Start-up on a loaded machine: the browser engine alone may take many seconds.
START_UP = 90
# Longer than a later start ever waited for an answer before it ran on its own.
STALLED = 4


def private_mounts():
    """Moves this test (and all it starts) into a mount namespace of its own: nothing mounted leaks."""
    if os.geteuid() != 0:
        raise harness.unittest.SkipTest("mounting a small home needs root")
    if not getattr(private_mounts, "done", False):
        libc = ctypes.CDLL(None, use_errno=True)
        if libc.unshare(CLONE_NEWNS) != 0:
            raise OSError(ctypes.get_errno(), "unshare(CLONE_NEWNS)")
        subprocess.run(["mount", "--make-rprivate", "/"], check=True)
        private_mounts.done = True


class StartUpFaults(CommandTestCase):
    def start_shell(self, name="shell"):
        if name == "shell":
            self.known_windows = set(self.x.children(self.x.root))
        return super().start_shell(name)

    def reach(self, moment):
        """Waits for a moment of the shell's start-up, as seen from outside."""
        if moment == "lock":
            locks = os.path.join(self._env()["XDG_RUNTIME_DIR"], "qz-shell-*.lock")
            wait_until(lambda: glob.glob(locks), START_UP, "the shell holds its lock", interval=0.005)
        elif moment == "launch":
            # Until the loader has mapped the toolkit's libraries no code of the program runs at all: the
            # earliest moment is when the process catches the signals.
            wait_until(lambda: int(self.status_field("SigCgt"), 16) & (1 << (signal.SIGTERM - 1)), START_UP,
                       "the shell runs its own code", interval=0.002)
        elif moment == "first window":
            # The toolkit's first window (its client leader) carries no process id: it is the one new
            # window on this display, which only the tray host shares.
            wait_until(lambda: set(self.x.children(self.x.root)) - self.known_windows, START_UP,
                       "the shell's first X window exists", interval=0.005)
        elif moment == "engine":
            wait_until(self.engine_processes, START_UP, "the browser engine starts", interval=0.01)

    def status_field(self, name):
        for line in self.read(f"/proc/{self.shell.pid}/status").splitlines():
            if line.startswith(name + ":"):
                return line.split()[1]
        return "0"

    def shells(self):
        name = os.path.basename(harness.config.shell)[:15]
        return [pid for pid in self._marked_processes() if self.read(f"/proc/{pid}/comm").strip() == name]

    def end_leftovers(self):
        """What a failed try left running goes before the next try starts."""
        for name, process in list(self.session.processes):
            if name == "shell" or name.startswith("again"):
                self._stop(process)
        wait_until(lambda: not self.shells() and not self.engine_processes(), 30, "the last try's shells end")

    def end(self, process, signal_number=signal.SIGTERM):
        if process.poll() is None:
            os.kill(process.pid, signal_number)
        status = process.wait(START_UP)
        wait_until(lambda: not self.engine_processes(), 30,
                   lambda: f"no engine process is left: {self.engine_processes()}")
        return status

    def docked(self):
        icons = []
        for panel in [w for w in self.x.descendants(self.x.root) if self.x.wm_class(w) == ("panel", "trayer")]:
            icons += [w for w in self.x.descendants(panel) if self.x.cardinals(w, "_NET_WM_PID")]
        return icons

    def test_termination_signal_at_any_moment_of_start_up_ends_cleanly(self):
        self.start_tray()
        self.start_portal("--start-title", "信号启动")
        tries = [("launch", signal.SIGTERM), ("first window", signal.SIGINT), ("engine", signal.SIGHUP),
                 ("engine", signal.SIGTERM)]
        for moment, number in tries:
            with self.subTest(moment=moment, signal=number.name):
                self.end_leftovers()
                self.start_shell()
                self.reach(moment)
                status = self.end(self.shell, number)
                self.assertEqual(status, 0, f"{number.name} at {moment}: {self.read(self.shell_stderr)[-2000:]}")
                self.assertEqual(self.docked(), [], "no tray icon is left")
                self.assertNoShellErrors()

    def test_second_start_during_the_first_s_start_up_runs_no_second_shell(self):
        self.start_tray()
        self.start_portal("--start-title", "QZ 第二次@500@300")
        for count, moment in enumerate(("lock", "first window", "engine"), 1):
            with self.subTest(moment=moment):
                self.end_leftovers()
                self.start_shell()
                self.reach(moment)
                # A busy machine may hold the first shell up at any point for longer than a later
                # start would wait; stopping it for a while does the same on any machine.
                os.kill(self.shell.pid, signal.SIGSTOP)
                again = self.start_shell(f"again{count}")
                time.sleep(STALLED)
                os.kill(self.shell.pid, signal.SIGCONT)
                # Before the first has its lock either may win; the other brings the winner's window.
                starts = {self.shell: "shell", again: f"again{count}"}
                ended = wait_until(lambda: [p for p in starts if p.poll() is not None], START_UP, "one start ends")
                self.assertEqual([p.returncode for p in ended], [0], self.read(self.logs, starts[ended[0]] + ".err"))
                if moment != "first window":
                    self.assertIs(ended[0], again, "the start that holds the lock runs")
                self.shell = next(p for p in starts if p is not ended[0])
                self.shell_stderr = os.path.join(self.logs, starts[self.shell] + ".err")
                self.find_main_window(START_UP)
                wait_until(lambda: tuple(self.geometry()[2:]) == (500, 320), START_UP, "the first shell sizes")
                self.assertEqual(len(self.shells()), 1, "one shell runs")
                self.assertEqual(len(self.requests_for(START_PATH)), count, "the later start loaded no page")
                self.assertEqual(self.end(self.shell), 0)
                self.assertNoShellErrors()

    def run_on_small_home(self, read_only):
        private_mounts()
        self.runtime_dir = tempfile.mkdtemp(prefix="qz-e2e-runtime-")
        self.addCleanup(lambda: subprocess.run(["rm", "-rf", self.runtime_dir], check=False))
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", self.home], check=True)
        self.addCleanup(lambda: subprocess.run(["umount", "-l", self.home], check=False))
        # Made while it still can be: the harness puts it there for the tray host and the portal.
        os.makedirs(os.path.join(self.home, "runtime"), mode=0o700)
        if read_only:
            subprocess.run(["mount", "-o", "remount,ro", self.home], check=True)
        else:
            # Fails once the disk is full, which is the point.
            subprocess.run(["dd", "if=/dev/zero", f"of={self.home}/filler", "bs=4k"], capture_output=True, check=False)
        self.start_tray()
        self.start_portal("--start-title", "QZ 小家@640@400")
        self.start_shell()
        self.find_main_window(START_UP)
        wait_until(lambda: tuple(self.geometry()[2:]) == (640, 420), START_UP, "the start page sizes the window")
        self.wait_for_page_to_fill_window(30)
        self.screenshot(self.name)
        self.hold(2, "after its page showed")
        self.assertEqual(len(self.shell_errors()), 1, f"one notice of the home: {self.shell_errors()}")
        self.assertIn(self.home, self.shell_errors()[0])
        self.assertEqual(self.end(self.shell), 0, self.read(self.shell_stderr)[-2000:])

    def test_full_home(self):
        self.run_on_small_home(read_only=False)

    def test_read_only_home(self):
        self.run_on_small_home(read_only=True)


if __name__ == "__main__":
    harness.main()
