#!/usr/bin/env python3
"""Start-up benchmark: qz-shell against a bare engine program doing the same start-up job.

    bench/startup.py [--runs N] [--shell build/qz-shell] [--baseline build/bench/qz-bare-engine] [--json FILE]

The script starts its own Xvfb (a free display, 1280x1024x24), a tray host (trayer) for the shell's
icon and the demo portal, then launches the two programs N times each, alternately, after one untimed
warm-up launch of each (it fills the page cache with the engine's libraries, so the first timed run
is not an outlier). Every launch is a fresh process with a fresh, empty HOME and XDG folders: each run
starts from a cold browser profile, as a user's first start does, and no run inherits the cookies,
cache or GPU state of the one before. --warm keeps one HOME per program across its runs instead.

Measured from launch (the monotonic clock read just before the process is started):

  window    the program's main window is viewable: a top-level window with the program's _NET_WM_PID,
            mapped, not override-redirect, at least 100 px wide (the tray icon's window is smaller)
  request   the demo portal logs the request for the start page (the portal's wall clock, 1 ms steps)
  title     the window's caption (_NET_WM_NAME) first starts with the page's caption, the start
            title's text before "@": the program has shown the page's own title
  sized     the caption is the page's caption (so it holds no "@"; the programs' initial captions
            hold none either, so "no @" alone would be met at once) and the window is the size the
            title asks for: the browser area plus the shell's 20 px menu bar (800x580) for the shell,
            the browser area (800x560) for the baseline, which has no menu bar
  PSS       2 s after "sized", the proportional set size summed over the program's process and all
            its descendants (the engine's zygotes and the renderer a zygote forks). File pages (the
            libraries) are split among every process mapping them, so engine processes of other
            programs running at the same time lower it (so do they USS). The anonymous and shared-
            memory part of PSS (Pss_Anon + Pss_Shmem) is the program's own memory and does not
            depend on them: it is shown beside PSS, and the JSON holds every figure per process.

The script watches the X server through Xlib, in process: it sleeps on the X connection with a 5 ms
timeout (--poll-ms), so a window, caption or size change wakes it at once and anything else is seen
within 5 ms, without starting a process per look. After each run the program's process group and
anything else carrying the run's marker in its environment are killed, and the next run waits until
they are gone.

Targets (informational; the exit status is 0 unless a run failed):
  - the shell's median "sized" <= its median "window" + 500 ms (one timer period) + 30 ms;
  - the shell's median PSS <= the baseline's median PSS x 1.05.

The shell and the baseline are started with QTWEBENGINE_DISABLE_SANDBOX=1 only when the script runs
as root, where the engine refuses to start otherwise.
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

# What the end-to-end tests use as well: the X session, the programs around the shell, process groups.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from qztest.processes import command_line, end_group, kill_marked, live_parents, marked_pids, memory_kb, \
    process_tree  # noqa: E402
from qztest.session import DEFAULT_HOSTS, START_PATH, Session, engine_environment, portal_requests  # noqa: E402
from qztest.xlib import IS_VIEWABLE, PROPERTY_CHANGE_MASK, STRUCTURE_NOTIFY_MASK, \
    SUBSTRUCTURE_NOTIFY_MASK  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_START_TITLE = "QZ 门户@800@560"
MENU_BAR_HEIGHT = 20
TIMER_PERIOD_MS = 500
SIZING_SLACK_MS = 30
MEMORY_ALLOWANCE = 1.05
MEMORY_DELAY_S = 2.0
METRICS = ("window", "request", "title", "sized")


class RunFailed(Exception):
    pass


def log(message):
    print(message, file=sys.stderr, flush=True)


# ----------------------------------------------------------------------------------------------------
# Processes.

def foreign_engine_processes(ours):
    """Engine processes of other programs: they share library pages with ours and so lower our PSS."""
    return [pid for pid in live_parents() if pid not in ours and "QtWebEngineProcess" in (command_line(pid) or [""])[0]]


def process_kind(pid, main_pid, parents):
    """"main", the engine's --type of a helper process, or "zygote-forked" for what a zygote started."""
    if pid == main_pid:
        return "main"

    def kind(of):
        cmdline = command_line(of)
        for arg in cmdline:
            if arg.startswith("--type="):
                return arg[7:]
        return os.path.basename(cmdline[0]) if cmdline else "?"

    # What a zygote forks (renderers, mostly) keeps the zygote's command line.
    if kind(pid) == "zygote" and pid in parents and kind(parents[pid]) == "zygote":
        return "zygote-forked"
    return kind(pid)


def stop_group(process, marker, grace=3.0):
    """Ends the program's process group, then anything else carrying the marker; waits until all are gone."""
    end_group(process, grace, wait=10)
    left = kill_marked("QZ_BENCH_MARKER", marker, 15)
    if left:
        raise RunFailed(f"processes outlived the run: {left}")


# ----------------------------------------------------------------------------------------------------

class Bench:
    def __init__(self, args):
        self.args = args
        self.work = tempfile.mkdtemp(prefix="qz-bench-")
        self.marker = uuid.uuid4().hex
        # Xvfb, trayer and the portal carry a marker of their own; each run's programs carry the run's.
        self.session = Session(self.work, "QZ_BENCH_MARKER", f"{self.marker}-services")
        self.portal_log = os.path.join(self.work, "portal.log")
        self.warm_homes = {}

    x = property(lambda self: self.session.x)

    # -- set-up -------------------------------------------------------------------------------------

    def start_x(self):
        self.session.start_x()
        self.x.select(self.x.root, SUBSTRUCTURE_NOTIFY_MASK)

    def start_tray(self):
        self.session.start_tray()

    def start_portal(self):
        hosts = self.args.hosts
        self.session.start_portal(
            self.args.portal, hosts, "--start-title", self.args.start_title, port_wait=self.args.port_wait,
            on_wait=lambda: log(f"waiting for the portal's ports ({', '.join(hosts.values())}) to be free ..."))

    def stop_services(self):
        self.session.stop_all(grace=5)

    # -- one run --------------------------------------------------------------------------------------

    def home_for(self, program):
        if self.args.warm:
            if program not in self.warm_homes:
                self.warm_homes[program] = tempfile.mkdtemp(prefix=f"home-{program}-", dir=self.work)
            return self.warm_homes[program], False
        return tempfile.mkdtemp(prefix=f"home-{program}-", dir=self.work), True

    def environment(self, home, marker):
        return self.session.environment(home, QZ_BENCH_MARKER=marker, **engine_environment())

    def run(self, program, label):
        args = self.args
        caption_part, width, height = args.title_parts
        expected = (width, height + MENU_BAR_HEIGHT) if program == "shell" else (width, height)
        argv = [args.shell] if program == "shell" else [args.baseline, args.start_url]
        home, fresh = self.home_for(program)
        marker = f"{self.marker}-{label}"
        env = self.environment(home, marker)
        log_offset = os.path.getsize(self.portal_log) if os.path.exists(self.portal_log) else 0
        stderr_path = os.path.join(self.work, f"{label}.err")
        known_pids = {}  # window -> _NET_WM_PID, which never changes
        result = {"program": program, "run": label, "captions": [], "sizes": []}
        window = None
        process = None
        try:
            with open(stderr_path, "wb") as err:
                wall_start = time.time()
                start = time.monotonic()
                process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=err, stderr=err,
                                           start_new_session=True)
            elapsed = lambda: round((time.monotonic() - start) * 1000, 1)
            deadline = start + args.timeout
            last_caption, last_size = None, None
            while "sized" not in result:
                if process.poll() is not None:
                    raise RunFailed(f"{program} ended with status {process.returncode} "
                                    f"(stderr: {stderr_path})")
                if time.monotonic() > deadline:
                    raise RunFailed(f"{program} not sized after {args.timeout} s; last caption "
                                    f"{last_caption!r}, size {last_size} (stderr: {stderr_path})")
                self.x.wait(args.poll_ms / 1000)
                now = elapsed()
                if window is None:
                    for candidate in self.x.children(self.x.root):
                        if candidate not in known_pids:
                            known_pids[candidate] = self.x.pid(candidate)
                        if known_pids[candidate] != process.pid:
                            continue
                        attrs = self.x.attributes(candidate)
                        if (attrs and attrs.map_state == IS_VIEWABLE and not attrs.override_redirect
                                and attrs.width >= 100):
                            window = candidate
                            result["window"] = now
                            self.x.select(window, PROPERTY_CHANGE_MASK | STRUCTURE_NOTIFY_MASK)
                            break
                    if window is None:
                        continue
                caption = self.x.text(window, "_NET_WM_NAME")
                attrs = self.x.attributes(window)
                size = (attrs.width, attrs.height) if attrs else None
                if caption != last_caption:
                    result["captions"].append([now, caption])
                    last_caption = caption
                if size != last_size:
                    result["sizes"].append([now, size])
                    last_size = size
                if "title" not in result and caption and caption.startswith(caption_part):
                    result["title"] = now
                if caption == caption_part and size == expected:
                    result["sized"] = now
            time.sleep(max(0.0, start + result["sized"] / 1000 + MEMORY_DELAY_S - time.monotonic()))
            if process.poll() is not None:
                raise RunFailed(f"{program} ended with status {process.returncode} before its memory was read")
            attrs = self.x.attributes(window)
            result["final_geometry"] = [attrs.x, attrs.y, attrs.width, attrs.height] if attrs else None
            pids = set(process_tree(process.pid)) | set(marked_pids("QZ_BENCH_MARKER", marker))
            memory = {pid: memory_kb(pid) for pid in sorted(pids)}
            parents = live_parents()
            result["memory_by_process"] = {str(pid): dict(kind=process_kind(pid, process.pid, parents), **kb)
                                           for pid, kb in memory.items()}
            for key in ("pss", "own", "file", "uss", "rss"):
                result[f"{key}_kb"] = sum(kb[key] for kb in memory.values())
            result["foreign_engine_processes"] = len(foreign_engine_processes(pids))
            result["processes"] = len(pids)
            result["request"] = self.start_page_request(log_offset, wall_start)
            result["sized_minus_window"] = round(result["sized"] - result["window"], 1)
            return result
        finally:
            if process is not None:
                stop_group(process, marker)
            if fresh:
                shutil.rmtree(home, ignore_errors=True)

    def start_page_request(self, offset, wall_start):
        """Milliseconds from launch to the portal's log line for the start page, or None."""
        for record in portal_requests(self.portal_log, offset):
            if record.get("path") == START_PATH:
                return round((record["time"] - wall_start) * 1000, 1)
        return None

    # -- all runs -------------------------------------------------------------------------------------

    def measure(self):
        programs = self.args.programs
        results = {program: [] for program in programs}
        failures = []
        for program in programs:
            for index in range(self.args.warmup):
                label = f"{program}-warmup{index + 1}"
                try:
                    self.run(program, label)
                    log(f"{label}: done (untimed)")
                except RunFailed as error:
                    failures.append(f"{label}: {error}")
                    log(f"{label}: FAILED: {error}")
        for index in range(self.args.runs):
            for program in programs:
                label = f"{program}-{index + 1}"
                try:
                    result = self.run(program, label)
                except RunFailed as error:
                    failures.append(f"{label}: {error}")
                    log(f"{label}: FAILED: {error}")
                    continue
                results[program].append(result)
                log(f"{label}: window {result['window']:.0f} ms, request {fmt(result['request'])} ms, "
                    f"title {fmt(result.get('title'))} ms, sized {result['sized']:.0f} ms, "
                    f"PSS {result['pss_kb'] / 1024:.1f} MB (anon+shmem {result['own_kb'] / 1024:.1f}) in "
                    f"{result['processes']} processes")
        return results, failures


# ----------------------------------------------------------------------------------------------------
# Summary.

def fmt(value, digits=0):
    return "-" if value is None else f"{value:.{digits}f}"


def summarise(results):
    summary = {}
    for program, runs in results.items():
        row = {}
        for key in METRICS + ("sized_minus_window", "pss_kb", "own_kb", "file_kb", "uss_kb"):
            values = [r[key] for r in runs if r.get(key) is not None]
            row[key] = {"median": statistics.median(values) if values else None,
                        "min": min(values) if values else None, "max": max(values) if values else None,
                        "n": len(values)}
        summary[program] = row
    return summary


def ratio(a, b):
    return a / b if a is not None and b else None


def check_targets(summary):
    targets = []
    shell = summary.get("shell")
    base = summary.get("baseline")
    if shell:
        sized, window = shell["sized"]["median"], shell["window"]["median"]
        if sized is not None and window is not None:
            limit = window + TIMER_PERIOD_MS + SIZING_SLACK_MS
            targets.append({"name": "shell sized <= window + 530 ms (medians)", "value_ms": sized,
                            "limit_ms": limit, "pass": sized <= limit})
    if shell and base:
        # The second is a cross-check on the part of PSS that other programs' engines cannot lower.
        for key, name in (("pss_kb", "shell PSS <= baseline PSS x 1.05 (medians)"),
                          ("own_kb", "cross-check: the same for PSS anon + shmem")):
            value, base_value = shell[key]["median"], base[key]["median"]
            if value is not None and base_value is not None:
                limit = base_value * MEMORY_ALLOWANCE
                targets.append({"name": name, "value_kb": value, "limit_kb": limit, "pass": value <= limit})
    return targets


def print_table(summary, targets, out):
    programs = list(summary)
    rows = [("launch -> window created", "window", 1, "ms"), ("launch -> start page requested", "request", 1, "ms"),
            ("launch -> title shown", "title", 1, "ms"), ("launch -> window sized", "sized", 1, "ms"),
            ("window created -> sized", "sized_minus_window", 1, "ms"), ("PSS, 2 s after sized", "pss_kb", 1024, "MB"),
            ("  of which anon + shmem", "own_kb", 1024, "MB"), ("  of which file pages", "file_kb", 1024, "MB")]
    header = f"{'median [min-max]':34}" + "".join(f"{p + ' (n=' + str(summary[p]['sized']['n']) + ')':>26}"
                                                   for p in programs)
    if len(programs) == 2:
        header += f"{'shell / baseline':>18}"
    print(header, file=out)
    for title, key, scale, unit in rows:
        line = f"{title + ' (' + unit + ')':34}"
        for program in programs:
            cell = summary[program][key]
            if cell["median"] is None:
                line += f"{'-':>26}"
                continue
            digits = 1 if unit == "MB" else 0
            text = (f"{cell['median'] / scale:.{digits}f} [{cell['min'] / scale:.{digits}f}-"
                    f"{cell['max'] / scale:.{digits}f}]")
            line += f"{text:>26}"
        if len(programs) == 2:
            r = ratio(summary["shell"][key]["median"], summary["baseline"][key]["median"])
            line += f"{fmt(r, 2):>18}"
        print(line, file=out)
    for target in targets:
        if "value_ms" in target:
            detail = f"{target['value_ms']:.0f} ms vs limit {target['limit_ms']:.0f} ms"
        else:
            detail = f"{target['value_kb'] / 1024:.1f} MB vs limit {target['limit_kb'] / 1024:.1f} MB"
        print(f"{'PASS' if target['pass'] else 'MISS'}  {target['name']}: {detail}", file=out)


# ----------------------------------------------------------------------------------------------------

def first_existing(candidates):
    for candidate in candidates:
        path = os.path.join(REPO, candidate)
        if os.access(path, os.X_OK):
            return path
    return os.path.join(REPO, candidates[0])


def hosts_from_cache(shell):
    """The portal hosts the shell was built for, from the CMake cache beside it, else the defaults."""
    hosts = dict(DEFAULT_HOSTS)
    cache = os.path.join(os.path.dirname(os.path.abspath(shell)), "CMakeCache.txt")
    try:
        with open(cache, encoding="utf-8", errors="replace") as file:
            for line in file:
                for site in hosts:
                    prefix = f"QZ_{site.upper()}_HOST:"
                    if line.startswith(prefix):
                        hosts[site] = line.split("=", 1)[1].strip()
    except OSError:
        pass
    return hosts


def parse_args(argv):
    parser = argparse.ArgumentParser(
        description="Start-up time and memory of qz-shell against a bare engine program (bench/BareEngine.cpp).",
        epilog="Definitions of every measurement are at the top of this script.")
    parser.add_argument("--runs", type=int, default=10, help="timed runs of each program (default 10)")
    parser.add_argument("--warmup", type=int, default=1, help="untimed runs of each program first (default 1)")
    parser.add_argument("--shell", default=first_existing(["build/qz-shell", "build-a/qz-shell",
                                                           "build-bench/qz-shell"]),
                        help="the shell (default: the first of build/, build-a/, build-bench/ that has one)")
    parser.add_argument("--baseline", default=first_existing(["build/bench/qz-bare-engine",
                                                              "build-a/bench/qz-bare-engine",
                                                              "build-bench/bench/qz-bare-engine"]),
                        help="the bare engine program (default: the first of build/bench/, build-a/bench/, "
                             "build-bench/bench/ that has one)")
    parser.add_argument("--programs", default="shell,baseline",
                        help="which to run, comma-separated (default shell,baseline; 'baseline' alone "
                             "tries the script without a shell)")
    parser.add_argument("--portal", default=os.path.join(REPO, "portal", "demo_portal.py"),
                        help="the demo portal (default portal/demo_portal.py)")
    for site in DEFAULT_HOSTS:
        parser.add_argument(f"--{site}", metavar="HOST:PORT",
                            help="portal host (default: the shell's CMake cache, else " + DEFAULT_HOSTS[site] + ")")
    parser.add_argument("--start-title", default=DEFAULT_START_TITLE,
                        help=f"the start page's title, caption@width@height (default {DEFAULT_START_TITLE!r})")
    parser.add_argument("--warm", action="store_true",
                        help="keep one HOME per program across its runs (default: a fresh HOME per run)")
    parser.add_argument("--poll-ms", type=float, default=5.0, help="longest sleep between looks (default 5)")
    parser.add_argument("--timeout", type=float, default=60.0, help="seconds a run may take to size (default 60)")
    parser.add_argument("--port-wait", type=float, default=120.0,
                        help="seconds to wait for the portal's ports to be free (default 120)")
    parser.add_argument("--json", metavar="FILE", help="also write every run and the summary as JSON ('-': stdout, "
                                                       "the table then goes to stderr)")
    parser.add_argument("--keep", action="store_true", help="keep the work folder (logs) even if all went well")
    args = parser.parse_args(argv)
    args.programs = [p.strip() for p in args.programs.split(",") if p.strip()]
    if not args.programs or any(p not in ("shell", "baseline") for p in args.programs):
        parser.error("--programs takes shell, baseline or both")
    if args.runs < 1 or args.warmup < 0:
        parser.error("--runs must be at least 1 and --warmup not negative")
    for program in args.programs:
        path = getattr(args, program)
        if not os.access(path, os.X_OK):
            parser.error(f"no {program} binary at {path} (build it, or pass --{program})")
    if not os.path.exists(args.portal):
        parser.error(f"no demo portal at {args.portal}")
    parts = args.start_title.split("@")
    if len(parts) < 3 or not parts[1].isdigit() or not parts[2].isdigit() or "QZ" not in parts[0]:
        parser.error("--start-title must be caption@width@height with QZ in the caption")
    args.title_parts = (parts[0], int(parts[1]), int(parts[2]))
    cached = hosts_from_cache(args.shell)
    args.hosts = {site: getattr(args, site) or cached[site] for site in DEFAULT_HOSTS}
    args.start_url = f"http://{args.hosts['service']}{START_PATH}"
    return args


def main(argv=None):
    args = parse_args(argv)
    table_out = sys.stderr if args.json == "-" else sys.stdout
    if os.geteuid() == 0:
        log("note: running as root, so the programs run with QTWEBENGINE_DISABLE_SANDBOX=1")
    for program in args.programs:
        log(f"{program}: {getattr(args, program)}")
    profile = "warm (one HOME per program)" if args.warm else "cold (a fresh HOME per run)"
    log(f"start page: {args.start_url}; profile: {profile}")
    load_before = os.getloadavg()
    if load_before[0] > (os.cpu_count() or 1):
        log(f"warning: load average {load_before[0]:.1f} on {os.cpu_count()} CPUs: timings will be noisy")
    bench = Bench(args)
    interrupted = False
    try:
        bench.start_x()
        bench.start_tray()
        bench.start_portal()
        results, failures = bench.measure()
    except KeyboardInterrupt:
        interrupted = True
        results, failures = {}, ["interrupted"]
    except AssertionError as error:  # Xvfb, trayer or the portal did not start
        results, failures = {}, [f"set-up: {error}"]
    finally:
        bench.stop_services()
    summary = summarise(results) if results else {}
    targets = check_targets(summary)
    if any(results.values()):
        print(f"\n{args.runs} runs of each asked, {'warm' if args.warm else 'cold'} profile, "
              f"load average {load_before[0]:.2f} before / {os.getloadavg()[0]:.2f} after", file=table_out)
        print_table(summary, targets, table_out)
        shared = sum(1 for runs in results.values() for r in runs if r.get("foreign_engine_processes"))
        if shared:
            print(f"note: in {shared} runs other programs' engine processes were running; they share library "
                  "pages with ours, which lowers our PSS (its anon + shmem part is not affected)", file=table_out)
    if args.json:
        document = {
            "settings": {"runs": args.runs, "warmup": args.warmup, "profile": "warm" if args.warm else "cold",
                         "shell": args.shell, "baseline": args.baseline, "start_url": args.start_url,
                         "start_title": args.start_title, "poll_ms": args.poll_ms, "cpus": os.cpu_count(),
                         "load_before": load_before, "load_after": os.getloadavg()},
            "summary": summary, "targets": targets, "runs": results, "failures": failures,
        }
        text = json.dumps(document, ensure_ascii=False, indent=2)
        if args.json == "-":
            print(text)
        else:
            with open(args.json, "w", encoding="utf-8") as file:
                file.write(text + "\n")
    if failures:
        for failure in failures:
            log(f"failed: {failure}")
        log(f"logs kept in {bench.work}")
    elif args.keep:
        log(f"logs kept in {bench.work}")
    else:
        shutil.rmtree(bench.work, ignore_errors=True)
    if interrupted:
        return 130
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
