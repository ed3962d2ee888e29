"""Processes from outside: ending a started program with everything it started, finding what carries a
marker in its environment, walking a program's process tree and reading its memory, all from /proc."""

import os
import signal
import subprocess
import time


def end_group(process, grace=3.0, wait=5.0):
    """SIGTERM to the group of a program started with start_new_session, SIGKILL to whatever is left of it
    after grace seconds, then reaps the program itself."""
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(process.pid, signal.SIGKILL)  # whatever is left of the group
    except (ProcessLookupError, PermissionError):
        pass
    try:
        process.wait(wait)
    except subprocess.TimeoutExpired:
        pass


def read_proc(pid, name, binary=False):
    """/proc/PID/NAME, or None once the process is gone."""
    try:
        with open(f"/proc/{pid}/{name}", "rb") as file:
            data = file.read()
    except OSError:
        return None
    return data if binary else data.decode("utf-8", "replace")


def live_parents():
    """Every live (not zombie) process's parent, from /proc."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        text = read_proc(entry, "stat")
        if not text:
            continue
        # The command name may hold spaces and parentheses; the state and the parent follow its last ")".
        state, parent = text.rpartition(")")[2].split()[:2]
        if state != "Z":
            parents[int(entry)] = int(parent)
    return parents


def process_tree(root):
    """root and every live process below it (the engine's zygotes, renderers, GPU and utility processes)."""
    children = {}
    for pid, parent in live_parents().items():
        children.setdefault(parent, []).append(pid)
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def command_line(pid):
    return [part.decode("utf-8", "replace") for part in (read_proc(pid, "cmdline", binary=True) or b"").split(b"\0")
            if part]


def marked_pids(name, value):
    """The live processes other than this one whose environment holds name=value."""
    needle = f"{name}={value}".encode()
    return [pid for pid in live_parents()
            if pid != os.getpid() and needle in (read_proc(pid, "environ", binary=True) or b"").split(b"\0")]


def kill_marked(name, value, timeout):
    """SIGKILLs whatever carries the marker until nothing does; returns what is left after timeout seconds."""
    deadline = time.monotonic() + timeout
    while (left := marked_pids(name, value)) and time.monotonic() < deadline:
        for pid in left:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        time.sleep(0.05)
    return left


def memory_kb(pid):
    """A process's memory in kB: PSS, its anonymous + shared-memory part ("own"), its file part, USS, RSS."""
    fields = {}
    for line in (read_proc(pid, "smaps_rollup") or "").splitlines():
        name, _, rest = line.partition(":")
        if rest.strip().endswith("kB"):
            fields[name] = int(rest.split()[0])
    return {"pss": fields.get("Pss", 0), "own": fields.get("Pss_Anon", 0) + fields.get("Pss_Shmem", 0),
            "file": fields.get("Pss_File", 0),
            "uss": fields.get("Private_Clean", 0) + fields.get("Private_Dirty", 0), "rss": fields.get("Rss", 0)}
