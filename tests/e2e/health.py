"""How the shell fares when things go wrong: its process tree and the memory it holds, its renderer
processes, and whether it still brings its window back when its tray icon is clicked."""

import time

from harness import command_line, memory_kb, process_tree, wait_until
from qztest.processes import live_parents


def renderer_pids(root):
    """The engine's renderer processes under root. The engine forks them from its zygote, and they keep
    the zygote's command line: they are the children of the zygote that runs sandboxed work (the other
    one, with --no-zygote-sandbox, starts utility processes)."""
    tree = process_tree(root)
    parents = live_parents()
    zygotes = {pid for pid in tree
               if "--type=zygote" in command_line(pid) and "--no-zygote-sandbox" not in command_line(pid)}
    return {pid for pid in tree
            if "--type=renderer" in command_line(pid) or (pid in parents and parents[pid] in zygotes)}


def pss_kb(root):
    """Proportional set size of root's whole process tree in KiB: shared pages count once in total."""
    return sum(memory_kb(pid)["pss"] for pid in process_tree(root))


def seconds_to_bring_back(test, icon, timeout=1.0):
    """Hides the main window with a close request, then clicks the tray icon: the seconds until the
    window is viewable again; fails after timeout."""
    test.close_window()
    wait_until(lambda: not test.viewable(), 10, "the close request hides the window")
    start = time.monotonic()
    test.click(icon, 1)
    wait_until(test.viewable, timeout, "a left click on the tray icon shows the window", interval=0.02)
    return time.monotonic() - start
