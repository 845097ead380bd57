#!/usr/bin/env bash
# Instruction counts of one iteration of each benchmark against its baseline, under callgrind:
# the same figure whatever else the machine is doing, where wall-clock ratios on a shared 2-core
# machine swing by a third. Each benchmark runs as 1 and as 3 single-iteration repetitions; the
# difference over 2 is one iteration, without the set-up of its database.
#   bench/instructions.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
pairs=(
    "db BM_OpenRecordset_Select10k BM_RawSqlite_Select10k"
    "receipts BM_ReceiptList_10k BM_RawSqlite_ReceiptList_10k"
    "expenditures BM_ExpenditureList_10k BM_RawSqlite_ExpenditureList_10k"
    "lookups BM_LookupList_Load3k BM_RawSqlite_LookupList_3k"
    "page_amounts BM_PageAmountList_1k BM_RawSqlite_PageAmountList_1k"
    "versioned_list BM_VersionedList_10kOf1M BM_PlainList_10k"
    "history BM_Diff_100k BM_RawSqlite_Scan_100k"
    "print BM_Print_10k BM_Export_10k"
)
# The server's pair where a server is found (PGHOST, as ./dev starts it): client instructions only.
[ -n "${PGHOST:-}" ] && pairs+=("receipts BM_ReceiptList_10k_Postgres BM_Libpq_ReceiptList_10k")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
count() {  # count <program> <benchmark> <repetitions>
    valgrind --tool=callgrind --callgrind-out-file="$out" "--toggle-collect=*$2*" \
        "$build/bench/bench_$1" --benchmark_filter="^$2\$" --benchmark_min_time=0.0001 \
        --benchmark_repetitions="$3" 2>&1 >/dev/null | awk '/Collected/ {print $4}'
}
per_iteration() { echo $(( ($(count "$1" "$2" 3) - $(count "$1" "$2" 1)) / 2 )); }
for pair in "${pairs[@]}"; do
    read -r program bench base <<<"$pair"
    [ -x "$build/bench/bench_$program" ] || continue
    b=$(per_iteration "$program" "$bench")
    r=$(per_iteration "$program" "$base")
    awk -v n="$bench" -v m="$base" -v b="$b" -v r="$r" \
        'BEGIN { printf "%-28s %13.0f  %-34s %13.0f  %.2fx\n", n, b, m, r, b / r }'
done
