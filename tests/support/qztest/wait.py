"""Waiting for what a person would see, with a deadline instead of a fixed sleep."""

import time


def wait_until(condition, timeout, message, interval=0.1):
    """Polls condition() until it returns something true; returns that, or fails after timeout seconds.

    message says what was awaited; a callable gives it at the time of failure (for the latest state).
    """
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() >= deadline:
            text = message() if callable(message) else message
            raise AssertionError(f"{text} (still not so after {timeout} s)")
        time.sleep(interval)
