"""Prints the benchmark figures of one run as a table, with ratios against the baseline."""
import json
import sys

with open(sys.argv[1], encoding="utf-8") as f:
    report = json.load(f)

ns = {}
for b in report["benchmarks"]:
    unit = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    name = b["name"].split("/")[0]
    # Batched benchmarks report items per second: the time of one item.
    ns[name] = 1e9 / b["items_per_second"] if "items_per_second" in b else b["cpu_time"] * unit

cpu = report["context"].get("cpu_name") or "unknown CPU"
try:
    with open("/proc/cpuinfo", encoding="utf-8") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
except OSError:
    pass

def row(label, value, goal):
    print(f"| {label:<44} | {value:>16} | {goal:<26} |")

print(f"CPU: {cpu}, {report['context'].get('num_cpus', '?')} cores; one thread; CPU time per item")
print(f"| {'measure':<44} | {'figure':>16} | {'limit / goal':<26} |")
print(f"|{'-' * 46}|{'-' * 18}|{'-' * 28}|")
five = ns.get("BM_EvaluateRow_Five")
base = ns.get("BM_Baseline_Five")
if five:
    row("EvaluateRow, random five-card rows", f"{five:.2f} ns", "<= 15 ns, goal 6 ns")
if five and base:
    row("  plain sorting evaluator, same rows", f"{base:.2f} ns", "baseline")
    row("  speed-up over the baseline", f"{base / five:.1f}x", ">= 8x, goal 16x")
if "BM_EvaluateRow_Front" in ns:
    row("EvaluateRow, random Fronts", f"{ns['BM_EvaluateRow_Front']:.2f} ns", "")
if "BM_ArrangeByComputer_Mean" in ns:
    row("ArrangeByComputer, mean of 1,000 hands", f"{ns['BM_ArrangeByComputer_Mean'] / 1e6:.4f} ms", "<= 0.1 ms, goal 0.03 ms")
if "BM_ArrangeByComputer_Worst" in ns:
    row("ArrangeByComputer, slowest seeded hand", f"{ns['BM_ArrangeByComputer_Worst'] / 1e6:.4f} ms", "<= 0.5 ms, goal 0.2 ms")
if "BM_ArrangeByComputer_OneSuit" in ns:
    row("ArrangeByComputer, thirteen of one suit", f"{ns['BM_ArrangeByComputer_OneSuit'] / 1e6:.4f} ms", "<= 0.5 ms, goal 0.2 ms")
if "BM_FullRound" in ns:
    row("Full four-computer round", f"{1e9 / ns['BM_FullRound']:.0f} rounds/s", ">= 3,000/s, goal 10,000/s")
