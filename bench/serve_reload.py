#!/usr/bin/env python3
"""Times the preview server's answer to an edit: from the write of one page's
template to the reload event an open page receives. Usage:
    serve_reload.py PAGORIN SITE_FOLDER [--runs N]
SITE_FOLDER holds site.pgx (as bench/gen_site.py writes it under pagorin/).
Prints one line per run and the median, in milliseconds.
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pagorin")
    parser.add_argument("site")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    serve = subprocess.Popen([args.pagorin, "serve", os.path.join(args.site, "site.pgx"),
                              "--port", "0"], stdout=subprocess.PIPE, text=True)
    try:
        port = int(re.search(r"127\.0\.0\.1:(\d+)/",
                             wait_for(serve.stdout, "Serving")).group(1))
        print(wait_for(serve.stdout, "Built the site").strip())
        templates = os.path.join(args.site, "Templates")
        template = os.path.join(templates, sorted(os.listdir(templates))[0])
        with open(template, "rb") as f:
            original = f.read()
        times = []
        for run in range(args.runs):
            since = run + 1
            events = urllib.request.urlopen(
                f"http://127.0.0.1:{port}/__pagorin/events?since={since}", timeout=600)
            events.readline()  # ": listening"
            events.readline()
            start = time.perf_counter()
            with open(template, "wb") as f:
                f.write(original + b"<!-- edit %d -->" % run)
            while not events.readline().startswith(b"event: reload"):
                pass
            times.append((time.perf_counter() - start) * 1000)
            events.close()
            print(f"run {run + 1}: {times[-1]:.0f} ms;", wait_for(serve.stdout, "Built").strip())
        with open(template, "wb") as f:
            f.write(original)
        print(f"median {statistics.median(times):.0f} ms over {len(times)} runs")
    finally:
        serve.terminate()
        serve.wait()


if __name__ == "__main__":
    main()
