#!/usr/bin/env python3
"""Render benchmark: what an animating page costs on screen, qz-shell against Chromium --app and the bare
engine program.

    bench/render.py [--runs N] [--programs shell,chromium,baseline[,shell-gpu]] [--page animation|still]

The page is portal/pages/animation.html: a CSS animation, a requestAnimationFrame loop and a DOM ticker
every 100 ms, in an 800 x 560 browser area (--page still: the same page without motion). The script
starts its own Xvfb (a free display, 1280x1024x24, so OpenGL is Mesa's software llvmpipe), a tray
host (trayer) and the demo portal, then shows the page N times in each program, alternately. The shell
gets there from its start page (the portal moves it on at once); the others load the page directly.
Every run has a fresh HOME.

Measured in each run, after the page has reported its first frames and --settle seconds more:

  CPU      the CPU time of the program's whole process tree (its engine's zygotes, renderers, GPU and
           utility processes) over --seconds seconds, as % of one core: utime + stime from /proc of
           every process of the tree at the end, less what the same process had used at the start
  X server the X server's CPU over the same window, as % of one core: drawing the window costs there too
  frames   the frames the page's loop counted, scaled to the window: the page reports its count and
           its clock once a second to the portal (/test/status?frames=N&ms=T), whose log is read

Programs: shell (qz-shell as it chooses, software rendering under Xvfb), shell-gpu (qz-shell with
QZ_RENDERING=gpu: OpenGL, llvmpipe here), chromium (Debian's, --app=URL; installed with apt-get when
missing) and baseline (bench/qz-bare-engine URL). It prints medians and the ratios to Chromium.

Targets (informational; the exit status is 0 unless a run failed): the shell's median CPU at most
Chromium's, with at least 90 % of Chromium's frames. Timings belong here, not in the test suite.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import uuid
from urllib.parse import parse_qs, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from startup import REPO, first_existing, fmt, hosts_from_cache, stop_group  # noqa: E402
from qztest.processes import process_tree, read_proc  # noqa: E402
from qztest.session import DEFAULT_HOSTS, Session, engine_environment, portal_requests  # noqa: E402
from qztest.wait import wait_until  # noqa: E402

PROGRAMS = ("shell", "shell-gpu", "chromium", "baseline")
PAGE_PATH = "/test/pages/animation"
TICKS = os.sysconf("SC_CLK_TCK")
FRAME_SHARE = 0.9


def log(message):
    print(message, file=sys.stderr, flush=True)


def cpu_ticks(pids):
    """utime + stime of each live process, in clock ticks."""
    ticks = {}
    for pid in pids:
        text = read_proc(pid, "stat")
        if text:
            fields = text.rpartition(")")[2].split()
            ticks[pid] = int(fields[11]) + int(fields[12])
    return ticks


def ensure_chromium():
    """Debian's chromium, installed through apt-get when missing (as root, else with sudo)."""
    if shutil.which("chromium"):
        return shutil.which("chromium")
    log("chromium is missing: installing Debian's chromium with apt-get")
    as_root = [] if os.geteuid() == 0 else ["sudo"]
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(as_root + ["apt-get", "update"], check=True, env=env)
    subprocess.run(as_root + ["apt-get", "install", "-y", "chromium"], check=True, env=env)
    return shutil.which("chromium")


class RunFailed(Exception):
    pass


class Bench:
    def __init__(self, args):
        self.args = args
        self.work = tempfile.mkdtemp(prefix="qz-render-")
        self.marker = uuid.uuid4().hex
        self.session = Session(self.work, "QZ_BENCH_MARKER", f"{self.marker}-services")

    def start(self):
        self.session.start_x()
        self.session.start_tray()
        # No marker in the start title: only the page itself sizes the shell's window.
        self.session.start_portal(self.args.portal, self.args.hosts, "--start-title", "门户",
                                  "--start-next", self.args.page_url, "--start-next-after", "0",
                                  port_wait=self.args.port_wait)
        self.portal_log = self.session.portal_log

    def argv(self, program, home):
        if program in ("shell", "shell-gpu"):
            return [self.args.shell]
        if program == "baseline":
            return [self.args.baseline, self.args.page_url]
        argv = [self.args.chromium, f"--app={self.args.page_url}", f"--user-data-dir={home}/chromium",
                "--window-size=800,560", "--window-position=240,232", "--no-first-run",
                "--no-default-browser-check", "--password-store=basic"]
        return argv + (["--no-sandbox"] if os.geteuid() == 0 else [])

    def frame_reports(self, offset):
        """(wall time, frames, page ms) of each report the page sent since offset."""
        reports = []
        for record in portal_requests(self.portal_log, offset):
            parts = urlsplit(record.get("path", ""))
            query = parse_qs(parts.query)
            if parts.path == "/test/status" and "frames" in query:
                reports.append((record["time"], int(query["frames"][0]), int(query["ms"][0])))
        return reports

    def run(self, program, label):
        args = self.args
        home = tempfile.mkdtemp(prefix=f"home-{program}-", dir=self.work)
        marker = f"{self.marker}-{label}"
        extra = {"QZ_BENCH_MARKER": marker, **engine_environment()}
        if program == "shell-gpu":
            extra["QZ_RENDERING"] = "gpu"
        env = self.session.environment(home, **extra)
        offset = os.path.getsize(self.portal_log) if os.path.exists(self.portal_log) else 0
        stderr_path = os.path.join(self.work, f"{label}.err")
        process = None
        try:
            with open(stderr_path, "wb") as err:
                process = subprocess.Popen(self.argv(program, home), env=env, stdin=subprocess.DEVNULL,
                                           stdout=err, stderr=err, start_new_session=True)

            def alive():
                if process.poll() is not None:
                    raise RunFailed(f"{program} ended with status {process.returncode} (stderr: {stderr_path})")
                return True

            if not args.still:
                wait_until(lambda: alive() and self.frame_reports(offset), args.timeout, "the page reports frames")
            else:
                time.sleep(args.timeout / 4)
            time.sleep(args.settle)
            alive()
            start = time.time()
            before = cpu_ticks(process_tree(process.pid))
            x_before = cpu_ticks([self.session.xvfb.pid])
            time.sleep(args.seconds)
            after = cpu_ticks(process_tree(process.pid))
            x_after = cpu_ticks([self.session.xvfb.pid])
            end = time.time()
            alive()
            elapsed = end - start
            used = sum(ticks - before.get(pid, 0) for pid, ticks in after.items())
            result = {"program": program, "run": label, "seconds": round(elapsed, 2),
                      "cpu": round(100 * used / TICKS / elapsed, 1),
                      "x_cpu": round(100 * (x_after[self.session.xvfb.pid] - x_before[self.session.xvfb.pid])
                                     / TICKS / elapsed, 1),
                      "processes": len(after)}
            if not args.still:
                # The last report before the window and the first after it give the page's frame rate.
                wait_until(lambda: [r for r in self.frame_reports(offset) if r[0] >= end], 5,
                           "the page reports after the window")
                reports = self.frame_reports(offset)
                first = max((r for r in reports if r[0] <= start), default=reports[0])
                last = min(r for r in reports if r[0] >= end)
                rate = (last[1] - first[1]) / max(1, last[2] - first[2]) * 1000
                result["frames"] = round(rate * args.seconds)
            return result
        finally:
            if process is not None:
                stop_group(process, marker)
            shutil.rmtree(home, ignore_errors=True)

    def measure(self):
        results = {program: [] for program in self.args.programs}
        failures = []
        for index in range(self.args.runs):
            for program in self.args.programs:
                label = f"{program}-{index + 1}"
                try:
                    result = self.run(program, label)
                except (RunFailed, AssertionError) as error:
                    failures.append(f"{label}: {error}")
                    log(f"{label}: FAILED: {error}")
                    continue
                results[program].append(result)
                log(f"{label}: CPU {result['cpu']:.1f} % (X server {result['x_cpu']:.1f} %), "
                    f"frames {fmt(result.get('frames'))} in {self.args.seconds:g} s, "
                    f"{result['processes']} processes")
        return results, failures


def summarise(results):
    summary = {}
    for program, runs in results.items():
        summary[program] = {}
        for key in ("cpu", "x_cpu", "frames"):
            values = [r[key] for r in runs if r.get(key) is not None]
            summary[program][key] = {"median": statistics.median(values) if values else None,
                                     "min": min(values) if values else None,
                                     "max": max(values) if values else None, "n": len(values)}
    return summary


def print_table(summary, seconds, out):
    programs = list(summary)
    reference = "chromium" if "chromium" in summary else None
    print(f"{'median [min-max]':28}" + "".join(f"{p + ' (n=' + str(summary[p]['cpu']['n']) + ')':>24}"
                                                for p in programs), file=out)
    for title, key in ((f"CPU, % of one core", "cpu"), ("X server CPU, % of one core", "x_cpu"),
                       (f"frames in {seconds:g} s", "frames")):
        line = f"{title:28}"
        for program in programs:
            cell = summary[program][key]
            text = "-" if cell["median"] is None else \
                f"{cell['median']:.{0 if key == 'frames' else 1}f} [{cell['min']:g}-{cell['max']:g}]"
            line += f"{text:>24}"
        print(line, file=out)
    if reference:
        line = f"{'ratio to chromium (CPU)':28}"
        for program in programs:
            line += f"{fmt(ratio(summary[program]['cpu']['median'], summary[reference]['cpu']['median']), 2):>24}"
        print(line, file=out)
        line = f"{'ratio to chromium (frames)':28}"
        for program in programs:
            line += f"{fmt(ratio(summary[program]['frames']['median'], summary[reference]['frames']['median']), 2):>24}"
        print(line, file=out)
        shell, chromium = summary.get("shell"), summary[reference]
        if shell and shell["cpu"]["median"] is not None and chromium["cpu"]["median"] is not None:
            cpu_ok = shell["cpu"]["median"] <= chromium["cpu"]["median"]
            print(f"{'PASS' if cpu_ok else 'MISS'}  shell CPU <= chromium CPU (medians): "
                  f"{shell['cpu']['median']:.1f} vs {chromium['cpu']['median']:.1f} %", file=out)
            if shell["frames"]["median"] is not None and chromium["frames"]["median"]:
                frames_ok = shell["frames"]["median"] >= FRAME_SHARE * chromium["frames"]["median"]
                print(f"{'PASS' if frames_ok else 'MISS'}  shell frames >= 90 % of chromium's (medians): "
                      f"{shell['frames']['median']:.0f} vs {chromium['frames']['median']:.0f}", file=out)


def ratio(a, b):
    return a / b if a is not None and b else None


def parse_args(argv):
    parser = argparse.ArgumentParser(description="CPU and frames of an animating page: qz-shell against "
                                                 "Chromium --app and the bare engine program.",
                                     epilog="Definitions of every measurement are at the top of this script.")
    parser.add_argument("--runs", type=int, default=3, help="runs of each program (default 3)")
    parser.add_argument("--programs", default="shell,chromium,baseline",
                        help=f"which to run, comma-separated, of {', '.join(PROGRAMS)} "
                             "(default shell,chromium,baseline)")
    parser.add_argument("--page", choices=("animation", "still"), default="animation",
                        help="the moving page, or the same page standing still (default animation)")
    parser.add_argument("--seconds", type=float, default=15.0, help="the measured window (default 15)")
    parser.add_argument("--settle", type=float, default=3.0,
                        help="seconds after the page's first frames before the window (default 3)")
    parser.add_argument("--shell", default=first_existing(["build/qz-shell", "build-a/qz-shell",
                                                           "build-bench/qz-shell"]))
    parser.add_argument("--baseline", default=first_existing(["build/bench/qz-bare-engine",
                                                              "build-a/bench/qz-bare-engine",
                                                              "build-bench/bench/qz-bare-engine"]))
    parser.add_argument("--chromium", help="Chromium (default: Debian's chromium, installed when missing)")
    parser.add_argument("--portal", default=os.path.join(REPO, "portal", "demo_portal.py"))
    for site in DEFAULT_HOSTS:
        parser.add_argument(f"--{site}", metavar="HOST:PORT",
                            help="portal host (default: the shell's CMake cache, else " + DEFAULT_HOSTS[site] + ")")
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds a program may take to draw (default 60)")
    parser.add_argument("--port-wait", type=float, default=120.0,
                        help="seconds to wait for the portal's ports to be free (default 120)")
    parser.add_argument("--json", metavar="FILE", help="also write every run and the summary as JSON")
    args = parser.parse_args(argv)
    args.programs = [p.strip() for p in args.programs.split(",") if p.strip()]
    if not args.programs or any(p not in PROGRAMS for p in args.programs):
        parser.error(f"--programs takes {', '.join(PROGRAMS)}")
    for program, path in (("shell", args.shell), ("baseline", args.baseline)):
        if any(p.startswith(program) for p in args.programs) and not os.access(path, os.X_OK):
            parser.error(f"no {program} binary at {path} (build it, or pass --{program})")
    args.still = args.page == "still"
    cached = hosts_from_cache(args.shell)
    args.hosts = {site: getattr(args, site) or cached[site] for site in DEFAULT_HOSTS}
    args.page_url = f"http://{args.hosts['service']}{PAGE_PATH}" + ("?still=1" if args.still else "")
    return args


def main(argv=None):
    args = parse_args(argv)
    if "chromium" in args.programs and not args.chromium:
        args.chromium = ensure_chromium()
    if os.geteuid() == 0:
        log("note: running as root, so the engines run without their sandbox")
    log(f"page: {args.page_url}; programs: {', '.join(args.programs)}")
    load_before = os.getloadavg()
    bench = Bench(args)
    try:
        bench.start()
        results, failures = bench.measure()
    except AssertionError as error:
        results, failures = {}, [f"set-up: {error}"]
    finally:
        bench.session.stop_all(grace=5)
    summary = summarise(results) if results else {}
    if any(results.values()):
        print(f"\n{args.runs} runs of each, {args.page} page, {args.seconds:g} s measured, {os.cpu_count()} CPUs, "
              f"load average {load_before[0]:.2f} before / {os.getloadavg()[0]:.2f} after")
        print_table(summary, args.seconds, sys.stdout)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as file:
            json.dump({"summary": summary, "runs": results, "failures": failures}, file, indent=2)
            file.write("\n")
    for failure in failures:
        log(f"failed: {failure}")
    if failures:
        log(f"logs kept in {bench.work}")
    else:
        shutil.rmtree(bench.work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
