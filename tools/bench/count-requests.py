#!/usr/bin/env python3
"""Counts the requests to Wine's server in the spans the benchmark marks.

    count-requests.py TRACE [--target LABEL=N ...] [--detail LABEL]

TRACE is the standard error of a wineserver started with -d1: one line per
request ("0110: get_update_region( ... )") and one per reply. A benchmark
program marks a place with a request naming "QvMark:<label>" (TraceMark in
bench_stats.h); the requests a thread made since its previous mark (or since
it started) form a span of that label; an empty label is not counted. The
marks themselves are not counted. Prints one table row per label with the
median and mean number of requests per span (with --target, the median's
verdict against at most N); with --detail, the requests of that label's spans
by name, per span.
"""

import argparse
import re
import statistics
import sys
from collections import Counter, defaultdict

REQUEST = re.compile(r"^([0-9a-f]{4}): ([a-z_0-9]+)\( ")
MARK = re.compile(r'name=L"QvMark:([^"]*)"')


def main(argv):
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("trace")
    parser.add_argument("--target", action="append", default=[])
    parser.add_argument("--detail")
    args = parser.parse_args(argv[1:])
    targets = dict(t.rsplit("=", 1) for t in args.target)
    open_span = {}  # thread -> Counter of request names since its last mark
    spans = defaultdict(list)  # label -> [Counter]
    order = []
    with open(args.trace, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            request = REQUEST.match(line)
            if not request:
                continue
            thread, name = request.groups()
            if name == "init_first_thread":
                open_span[thread] = Counter()
                continue
            mark = MARK.search(line) if name == "open_event" else None
            if mark is None:
                open_span.setdefault(thread, Counter())[name] += 1
                continue
            label = mark.group(1)
            if label and thread in open_span:
                if label not in spans:
                    order.append(label)
                spans[label].append(open_span[thread])
            open_span[thread] = Counter()
    for label in order:
        counts = [sum(span.values()) for span in spans[label]]
        median = statistics.median(counts)
        figure = f"{median:.0f} (mean {statistics.mean(counts):.1f})"
        target, verdict = "", ""
        if label in targets:
            target = f"<= {targets[label]}"
            verdict = "ok" if median <= float(targets[label]) else "MISSED"
        print(f"| {('Requests to the server: ' + label)[:58]:<58} | {figure:>26} | {target:<12} | {verdict:<6} |")
    if args.detail and spans.get(args.detail):
        total = sum(spans[args.detail], Counter())
        n = len(spans[args.detail])
        for name, count in total.most_common():
            print(f"  {count / n:8.2f}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
