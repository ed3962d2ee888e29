"""How the shell fares when things go wrong: its process tree and the memory it holds, its renderer
processes, and whether it still brings its window back when its tray icon is clicked."""

import os
import time

from harness import wait_until


def _parents():
    """Every process's parent, from /proc."""
    parents = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", encoding="utf-8", errors="replace") as stat:
                text = stat.read()
        except OSError:
            continue
        # The command name may hold spaces and parentheses; the state and the parent follow its last ")".
        parents[int(entry)] = int(text.rpartition(")")[2].split()[1])
    return parents


def process_tree(root):
    """root and every process below it (the engine's zygotes, renderers, GPU and utility processes)."""
    children = {}
    for pid, parent in _parents().items():
        children.setdefault(parent, []).append(pid)
    tree, todo = [], [root]
    while todo:
        pid = todo.pop()
        tree.append(pid)
        todo.extend(children.get(pid, []))
    return tree


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            return [part.decode("utf-8", "replace") for part in cmdline.read().split(b"\0") if part]
    except OSError:
        return []


def renderer_pids(root):
    """The engine's renderer processes under root. The engine forks them from its zygote, and they keep
    the zygote's command line: they are the children of the zygote that runs sandboxed work (the other
    one, with --no-zygote-sandbox, starts utility processes)."""
    tree = process_tree(root)
    parents = _parents()
    zygotes = {pid for pid in tree
               if "--type=zygote" in command_line(pid) and "--no-zygote-sandbox" not in command_line(pid)}
    return {pid for pid in tree
            if "--type=renderer" in command_line(pid) or (pid in parents and parents[pid] in zygotes)}


def pss_kb(root):
    """Proportional set size of root's whole process tree in KiB: shared pages count once in total."""
    total = 0
    for pid in process_tree(root):
        try:
            with open(f"/proc/{pid}/smaps_rollup", encoding="ascii", errors="replace") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        break
        except OSError:
            pass  # ended meanwhile
    return total


def seconds_to_bring_back(test, icon, timeout=1.0):
    """Hides the main window with a close request, then clicks the tray icon: the seconds until the
    window is viewable again; fails after timeout."""
    test.close_window()
    wait_until(lambda: not test.viewable(), 10, "the close request hides the window")
    start = time.monotonic()
    test.click(icon, 1)
    wait_until(test.viewable, timeout, "a left click on the tray icon shows the window", interval=0.02)
    return time.monotonic() - start
