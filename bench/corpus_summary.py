#!/usr/bin/env python3
"""Compares two per-file timing tables (file,ms): totals, ratios, the median
ratio, how many files are more than twice as slow, and the files slowest
relative to the second table. Optional third argument: a table from before,
shown beside for the same files."""
import csv
import statistics
import sys


def read(path):
    with open(path, newline="") as f:
        return {row["file"]: float(row["ms"]) for row in csv.DictReader(f) if float(row["ms"]) > 0}


def main():
    ours, ref = read(sys.argv[1]), read(sys.argv[2])
    before = read(sys.argv[3]) if len(sys.argv) > 3 else {}
    files = sorted(set(ours) & set(ref))
    ratio = {f: ours[f] / ref[f] for f in files}
    total_ours = sum(ours[f] for f in files)
    total_ref = sum(ref[f] for f in files)
    print(f"files: {len(files)}")
    print(f"total: {total_ours:.1f} ms against {total_ref:.1f} ms ({total_ours / total_ref:.2f} times)")
    if before:
        total_before = sum(before.get(f, 0) for f in files)
        print(f"before: {total_before:.1f} ms ({total_before / total_ref:.2f} times)")
    print(f"median ratio: {statistics.median(ratio.values()):.2f}")
    print(f"files more than 2x: {sum(1 for r in ratio.values() if r > 2)}")
    print(f"files more than 1x: {sum(1 for r in ratio.values() if r > 1)}")
    print("slowest relative to the reference:")
    print("| file | ours ms | reference ms | ratio |" + (" before ms |" if before else ""))
    print("|---|---:|---:|---:|" + ("---:|" if before else ""))
    for f in sorted(files, key=lambda f: -ratio[f])[:10]:
        extra = f" {before[f]:.3f} |" if f in before else (" |" if before else "")
        print(f"| {f.split('/')[-1]} | {ours[f]:.3f} | {ref[f]:.3f} | {ratio[f]:.2f} |{extra}")


if __name__ == "__main__":
    main()
