#!/usr/bin/env python3
"""Runs a benchmark program with interleaved repetitions and prints, for each pair of
BM_Ours_X / BM_Pugi_Y benchmarks named in PAIRS, the ratio of the fastest runs and of the
medians (ours / theirs). The machine is shared: the fastest run is the least disturbed one."""
import json
import statistics
import subprocess
import sys

PAIRS = [
    ("BM_Ours_LoadFile", "BM_Pugi_LoadFile"),
    ("BM_Ours_SetDocument", "BM_Pugi_LoadBuffer"),
    ("BM_Ours_SetDocument", "BM_Pugi_LoadBufferUtf16"),
    ("BM_Ours_WalkIpTexts", "BM_Pugi_WalkIpTexts"),
    ("BM_Ours_SaveFile", "BM_Pugi_SaveFile"),
]


def main():
    program = sys.argv[1]
    extra = sys.argv[2:]
    out = subprocess.run(
        [program, "--benchmark_format=json", "--benchmark_repetitions=15",
         "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.2"] + extra,
        check=True, capture_output=True, text=True).stdout
    runs = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        runs.setdefault(b["run_name"], []).append(b["real_time"])
    for ours, theirs in PAIRS:
        for name in sorted(runs):
            if not name.startswith(ours + "/"):
                continue
            other = theirs + name[len(ours):]
            if other not in runs:
                continue
            a, b = runs[name], runs[other]
            print(f"{name:34s} min {min(a):9.3f} vs {min(b):9.3f}  ratio {min(a) / min(b):5.2f}"
                  f"   median ratio {statistics.median(a) / statistics.median(b):5.2f}")


if __name__ == "__main__":
    main()
