#!/usr/bin/env bash
# Runs the evaluate_line benchmarks and prints, per corpus group, the median lines per
# second of evaluate_line, of its floor and of the natural reading of the same lines, and
# the ratios floor/evaluate and evaluate/natural (how many times a natural line costs the
# default reading's), all from one run.
# Usage: bench/evaluate.sh [REPETITIONS]   (builds build/ with -DTRIGCALC_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-5}
build=${BUILD_DIR:-build}

bash tools/ensure_packages.sh libbenchmark-dev
cmake -S . -B "$build" -DTRIGCALC_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target trigcalc_bench >/dev/null

json=$(mktemp)
trap 'rm -f "$json"' EXIT
"$build/bench/trigcalc_bench" --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_format=json --benchmark_out="$json" --benchmark_out_format=json >/dev/null

python3 - "$json" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
rate = {}
for b in data["benchmarks"]:
    if b.get("aggregate_name") == "median":
        rate[b["run_name"]] = b["items_per_second"]
print("%-10s %16s %16s %8s %16s %8s" % ("group", "evaluate lines/s", "floor lines/s", "ratio",
                                        "natural lines/s", "natural"))
for name in sorted({k.split("/")[1] for k in rate}, key=lambda g: (g != "all", g)):
    e, f, n = rate["evaluate/" + name], rate["floor/" + name], rate["natural/" + name]
    print("%-10s %16.0f %16.0f %8.2f %16.0f %8.2f" % (name, e, f, f / e, n, e / n))
ctx = data["context"]
model = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
              if l.startswith("model name")), "?")
print("machine: %s, %d CPUs at %.0f MHz; medians of %s repetitions" %
      (model, ctx["num_cpus"], ctx["mhz_per_cpu"], data["benchmarks"][0].get("repetitions", "?")))
PY
