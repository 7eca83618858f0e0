#!/usr/bin/env python3
"""Times the preview server's answer to an edit: from the write of a file to the
reload event an open page receives. Usage:
    serve_reload.py PAGORIN SITE_FOLDER [--runs N]
SITE_FOLDER holds site.pgx (as bench/gen_site.py writes it under pagorin/).

Three kinds of edit, each N times (default 5), in turn:
  template   the first page's template gets a comment appended (a new one each time)
  include    footer.inc, which every page includes, gets a comment appended
  nothing    the first template written again with the same bytes (a rebuild that
             finds every page unchanged)
For each run it prints the wall time to the reload event, the processor time
(user + system) the server spent on it, the pages compiled and left unchanged,
and how many files of the site folder the rebuild wrote. Then the median and
range of each kind. The site is put back as it was at the end.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
import time
import urllib.request


def wait_for(stream, text):
    while True:
        line = stream.readline()
        if not line:
            sys.exit("pagorin serve ended early")
        if text in line:
            return line


def cpu_seconds(pid):
    """User + system time of a process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def page_times(site):
    """Modification times of the built files: everything outside Templates/ and
    Includes/ but the project."""
    times = {}
    for folder, subfolders, files in os.walk(site):
        subfolders[:] = [d for d in subfolders if d not in ("Templates", "Includes")]
        for name in files:
            if not name.endswith(".pgx"):
                path = os.path.join(folder, name)
                times[path] = os.stat(path).st_mtime_ns
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pagorin")
    parser.add_argument("site")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    templates = os.path.join(args.site, "Templates")
    template = os.path.join(templates, sorted(os.listdir(templates))[0])
    footer = os.path.join(args.site, "Includes", "footer.inc")
    originals = {}
    for path in (template, footer):
        with open(path, "rb") as f:
            originals[path] = f.read()

    serve = subprocess.Popen([args.pagorin, "serve", os.path.join(args.site, "site.pgx"),
                              "--port", "0"], stdout=subprocess.PIPE, text=True)
    results = {"template": [], "include": [], "nothing": []}
    try:
        port = int(re.search(r"127\.0\.0\.1:(\d+)/",
                             wait_for(serve.stdout, "Serving")).group(1))
        print("first build:", wait_for(serve.stdout, "Built the site").strip())
        before = page_times(args.site)
        since = 1
        for run in range(args.runs):
            for kind in ("template", "include", "nothing"):
                events = urllib.request.urlopen(
                    f"http://127.0.0.1:{port}/__pagorin/events?since={since}", timeout=600)
                events.readline()  # ": listening"
                events.readline()
                cpu = cpu_seconds(serve.pid)
                start = time.perf_counter()
                if kind == "nothing":
                    path = template
                    with open(path, "rb") as f:
                        text = f.read()
                else:
                    path = template if kind == "template" else footer
                    text = originals[path] + b"<!-- edit %d -->" % (run + 1)
                with open(path, "wb") as f:
                    f.write(text)
                while not events.readline().startswith(b"event: reload"):
                    pass
                wall = (time.perf_counter() - start) * 1000
                since += 1
                built = wait_for(serve.stdout, "Built").strip()
                cpu = (cpu_seconds(serve.pid) - cpu) * 1000
                events.close()
                after = page_times(args.site)
                written = sum(1 for p, t in after.items() if before.get(p) != t)
                # Taken long before the next edit: walking 10,000 files just
                # before it would push the server's memory out of the caches.
                before = after
                counts = re.search(r"\((\d+) pages compiled, (\d+) unchanged\)", built)
                results[kind].append(wall)
                print(f"{kind:8s} run {run + 1}: {wall:6.0f} ms to the reload, "
                      f"{cpu:5.0f} ms processor; {counts.group(1)} compiled, "
                      f"{counts.group(2)} unchanged, {written} files written; {built}")
                # A settled site: the next edit comes a while after the last build.
                time.sleep(2.5)
    finally:
        for path, text in originals.items():
            with open(path, "wb") as f:
                f.write(text)
        serve.terminate()
        serve.wait()
    for kind, times in results.items():
        if times:
            print(f"{kind:8s} median {statistics.median(times):.0f} ms over {len(times)} runs "
                  f"({min(times):.0f} to {max(times):.0f})")


if __name__ == "__main__":
    main()
