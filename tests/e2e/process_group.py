"""Ending a started program with everything it started: its process group first, politely, then by force.
Shared by the end-to-end harness and the start-up benchmark."""

import os
import signal
import subprocess


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
