#!/usr/bin/env python3
"""The main job at scale: marvane-convert and the scripted peer on generated lists of each size,
side by side.

    end_to_end.py --convert PATH --work DIR [--sizes 1000,10000,...] [--runs 5]
                  [--tmpfs DIR | --tmpfs ""]

For each format (INI, XML) and size, generates the list once (kept in DIR), then runs our
converter and the peer RUNS times each under /usr/bin/time -v, alternating, and checks that each
run's mac_sample.txt and count line are byte for byte the same for both. The run directories (where
mac_sample.txt is saved) lie on the memory file system given by --tmpfs (default /dev/shm), so that
the save's flush to storage costs next to nothing there; each round then runs ours once more with
its run directory on the disk (under --work), and the difference of the two medians is what the
durable save costs on the disk. --tmpfs "" keeps every run directory on the disk.

Prints one table: wall time (median), our CPU time (user + system, median), the peer's wall time,
the ratio, our time per client, our wall time with the save on the disk and its extra cost, and
our peak resident memory against the input's size; then the goals and whether they are met. Times
are wall clock on a shared machine: the load average is printed with the table.

Exits with 1 when any output differs or a run fails, never for a missed goal.
"""
import argparse
import os
import re
import shutil
import statistics
import tempfile
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "gen", "gen_lists.py")
PEER = os.path.join(HERE, "peer", "convert.py")
TIME = "/usr/bin/time"

LINEAR_SMALL, LINEAR_LARGE, LINEAR_FACTOR = 10_000, 1_000_000, 1.5
SPEED_SIZE, SPEED_RATIO, SPEED_MS = 100_000, 20.0, 100.0
MEMORY_SIZE, MEMORY_FACTOR = 1_000_000, 3.0
TMPFS = "/dev/shm"


def generated(work, fmt, clients):
    """The list's path; generated when missing (the name carries the generator's mtime)."""
    stamp = int(os.path.getmtime(GENERATOR))
    path = os.path.join(work, "clients-%d-%d.%s" % (clients, stamp, fmt))
    if not os.path.exists(path):
        tmp = path + ".part"
        subprocess.run([sys.executable, GENERATOR, "--clients", str(clients), "--format", fmt,
                        "--out", tmp], check=True)
        os.replace(tmp, path)
    return path


class Run:
    def __init__(self, wall, cpu, rss_kb, output, stdout, code):
        self.wall, self.cpu, self.rss_kb = wall, cpu, rss_kb
        self.output, self.stdout, self.code = output, stdout, code


def measure(command, out_dir):
    """One run under /usr/bin/time -v: wall seconds, user + system seconds, peak RSS in KiB."""
    shutil.rmtree(out_dir, ignore_errors=True)
    os.makedirs(out_dir)
    report = os.path.join(out_dir, "..", os.path.basename(out_dir) + ".time")
    start = time.perf_counter()
    p = subprocess.run([TIME, "-v", "-o", report] + command, stdout=subprocess.PIPE,
                       stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    with open(report) as f:
        text = f.read()

    def field(name):
        m = re.search(r"^\s*%s:\s*([0-9.]+)" % re.escape(name), text, re.M)
        return float(m.group(1)) if m else float("nan")

    cpu = field("User time (seconds)") + field("System time (seconds)")
    rss = field("Maximum resident set size (kbytes)")
    saved = os.path.join(out_dir, "mac_sample.txt")
    output = None
    if os.path.exists(saved):
        with open(saved, "rb") as f:
            output = f.read()
    return Run(wall, cpu, rss, output, p.stdout, p.returncode)


def main():
    a = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    a.add_argument("--convert", required=True)
    a.add_argument("--work", required=True)
    a.add_argument("--sizes", default="1000,10000,100000,1000000")
    a.add_argument("--runs", type=int, default=5)
    a.add_argument("--formats", default="ini,xml")
    a.add_argument("--tmpfs", default=TMPFS if os.path.isdir(TMPFS) else "",
                   help="memory file system for the run directories; \"\" for the disk")
    args = a.parse_args()
    if not os.access(TIME, os.X_OK):
        print("end_to_end: %s is missing (Debian package time)" % TIME, file=sys.stderr)
        return 2
    sizes = [int(s) for s in re.split(r"[,\s]+", args.sizes) if s]
    formats = [f for f in args.formats.split(",") if f]
    os.makedirs(args.work, exist_ok=True)
    convert = os.path.abspath(args.convert)
    runs_in = tempfile.mkdtemp(prefix="marvane-bench-", dir=args.tmpfs) if args.tmpfs else None
    try:
        return compare(args, convert, runs_in, sizes, formats)
    finally:
        if runs_in:
            shutil.rmtree(runs_in, ignore_errors=True)


def compare(args, convert, runs_in, sizes, formats):
    """Runs every format and size, prints the table and the goals; 1 when any output differs."""
    run_root = runs_in or args.work
    ours_dir, peer_dir = os.path.join(run_root, "ours"), os.path.join(run_root, "peer")
    disk_dir = os.path.join(args.work, "ours-disk")

    failures = []
    rows = []
    load_before = os.getloadavg()
    for fmt in formats:
        for n in sizes:
            path = generated(args.work, fmt, n)
            ours, peer, disk = [], [], []
            for r in range(args.runs):
                ours.append(measure([convert, "--dir", ours_dir, path], ours_dir))
                peer.append(measure([sys.executable, PEER, "--dir", peer_dir, path], peer_dir))
                if runs_in:
                    disk.append(measure([convert, "--dir", disk_dir, path], disk_dir))
                for o, p in [(ours[-1], peer[-1])] + ([(disk[-1], peer[-1])] if disk else []):
                    if o.code != 0 or p.code != 0:
                        failures.append("%s %d run %d: exit codes %d (ours) and %d (peer)"
                                        % (fmt, n, r + 1, o.code, p.code))
                    elif o.output != p.output or o.stdout != p.stdout:
                        failures.append("%s %d run %d: outputs differ" % (fmt, n, r + 1))
            size = os.path.getsize(path)
            wall = statistics.median(x.wall for x in ours)
            peer_wall = statistics.median(x.wall for x in peer)
            rss = statistics.median(x.rss_kb for x in ours) * 1024
            disk_wall = statistics.median(x.wall for x in disk) if disk else float("nan")
            rows.append({
                "fmt": fmt, "n": n, "size": size, "wall": wall, "peer": peer_wall,
                "disk": disk_wall,
                "cpu": statistics.median(x.cpu for x in ours), "rss": rss,
                "same": not any(f.startswith("%s %d " % (fmt, n)) for f in failures),
            })
            print("  %s %9d clients: ours %8.1f ms, peer %9.1f ms" % (fmt, n, wall * 1e3,
                                                                       peer_wall * 1e3),
                  file=sys.stderr, flush=True)
    load_after = os.getloadavg()

    print()
    print("End to end, median of %d runs each (wall clock; CPU = user + system); run directories"
          " on %s." % (args.runs, "%s (tmpfs), ours also on the disk" % args.tmpfs
                       if runs_in else "the disk"))
    print("Load average before %.2f, after %.2f, on %d cores." % (load_before[0], load_after[0],
                                                                  os.cpu_count() or 0))
    header = ("format", "clients", "input MB", "ours ms", "ours CPU ms", "peer ms", "peer/ours",
              "ours us/client", "ours disk ms", "disk save +ms", "peak RSS MB", "RSS/input",
              "same bytes")
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" for _ in header) + "|")
    for r in rows:
        print("| %s | %d | %.1f | %.1f | %.1f | %.1f | %.1f | %.3f | %.1f | %.1f | %.1f | %.2f | %s |"
              % (r["fmt"], r["n"], r["size"] / 1e6, r["wall"] * 1e3, r["cpu"] * 1e3,
                 r["peer"] * 1e3, r["peer"] / r["wall"], r["wall"] / r["n"] * 1e6,
                 r["disk"] * 1e3, (r["disk"] - r["wall"]) * 1e3, r["rss"] / 1e6,
                 r["rss"] / r["size"], "yes" if r["same"] else "NO"))

    print()
    by = {(r["fmt"], r["n"]): r for r in rows}
    for fmt in formats:
        small, large = by.get((fmt, LINEAR_SMALL)), by.get((fmt, LINEAR_LARGE))
        if small and large:
            factor = (large["wall"] / large["n"]) / (small["wall"] / small["n"])
            print("%s linear: time per client at %d is %.2fx that at %d (goal <= %.1fx): %s" % (
                fmt, LINEAR_LARGE, factor, LINEAR_SMALL, LINEAR_FACTOR,
                "met" if factor <= LINEAR_FACTOR else "MISSED"))
        r = by.get((fmt, SPEED_SIZE))
        if r:
            ratio = r["peer"] / r["wall"]
            print("%s at %d: %.1f ms (goal <= %.0f ms): %s; %.1fx the peer's speed (goal >= %.0fx)"
                  ": %s" % (fmt, SPEED_SIZE, r["wall"] * 1e3, SPEED_MS,
                            "met" if r["wall"] * 1e3 <= SPEED_MS else "MISSED", ratio, SPEED_RATIO,
                            "met" if ratio >= SPEED_RATIO else "MISSED"))
        r = by.get((fmt, MEMORY_SIZE))
        if r:
            factor = r["rss"] / r["size"]
            print("%s at %d: peak RSS %.2fx the input (goal <= %.0fx): %s" % (
                fmt, MEMORY_SIZE, factor, MEMORY_FACTOR,
                "met" if factor <= MEMORY_FACTOR else "MISSED"))
    for f in failures:
        print("FAILED: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
