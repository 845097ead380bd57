#!/usr/bin/env bash
# An interactive mzreport shell in a real terminal: tmux types statements, edits a line, completes
# a member with Tab, recalls history within a session and in the next one, and the screen is read
# back. Skips (exit 0) when tmux is missing.
#   interactive_shell.sh MZREPORT_BINARY
set -u
bin=$1
if ! command -v tmux >/dev/null 2>&1; then
    echo "tmux is not installed: skipped"
    exit 0
fi
dir=$(mktemp -d)
sock="mzshell-$$"
cleanup() {
    tmux -L "$sock" kill-server >/dev/null 2>&1
    rm -rf "$dir"
}
trap cleanup EXIT
"$bin" init "$dir/r.db" >/dev/null || { echo "init failed"; exit 1; }

# The history file goes to the home of the test, not the user's.
session() {
    tmux -L "$sock" -f /dev/null new-session -d -s shell -x 120 -y 40 \
        "env -u XDG_STATE_HOME HOME=$dir $bin shell $dir/r.db; echo \"[shell exit \$?]\"; sleep 30"
}
session
screen() { tmux -L "$sock" capture-pane -p -t shell; }
# wait_for TEXT: until the screen shows TEXT (5 s at most).
wait_for() {
    for _ in $(seq 50); do
        screen | grep -qF -- "$1" && return 0
        sleep 0.1
    done
    echo "FAILED: the screen never showed: $1"
    screen
    exit 1
}
type_line() { tmux -L "$sock" send-keys -t shell -l -- "$1"; tmux -L "$sock" send-keys -t shell Enter; }

wait_for "mz>"
type_line 'Set s = CreateObject("clsSetSequence")'
type_line '? TypeName(s); "/"; s.ConnectionVariables(DB, "", "", "", False)'
wait_for "clsSetSequence/True"
type_line 's.Explode'
wait_for "Error 438: Object doesn't support this property or method: clsSetSequence.Explode [MZ_report_bus.clsSetSequence]"
# Line editing: a typo fixed with the cursor keys before Enter.
tmux -L "$sock" send-keys -t shell -l -- '? 4 * 10 + 2x'
tmux -L "$sock" send-keys -t shell BSpace Left Left Left Left Left Left Left Left Left BSpace 5
tmux -L "$sock" send-keys -t shell Enter
wait_for "52"
# History: the line comes back with the up arrow.
tmux -L "$sock" send-keys -t shell Up Enter
for _ in $(seq 50); do
    [ "$(screen | grep -cx '52')" -ge 2 ] && break
    sleep 0.1
done
[ "$(screen | grep -cx '52')" -ge 2 ] || { echo "FAILED: history recall"; screen; exit 1; }
# Ctrl-C stops a query that would never end, and the session goes on.
type_line 'Set n = CreateObject("clsNotes")'
type_line 'n.ConnectionVariables DB, "", "", "", False, "1"'
type_line "? n.GetTableCode(\"x' union all select count(*) from (with recursive r(i) as (select 1 union all select i + 1 from r) select i from r) --\")"
sleep 0.3
tmux -L "$sock" send-keys -t shell C-c
wait_for "The query was stopped: it was interrupted (Ctrl-C) [SQLite (clsLookupList.GetTableCode)]"
type_line '? n.GetTableCode("rpt_Receipts")'
wait_for "REC"
# Tab completes a member of the object a variable holds, any case.
tmux -L "$sock" send-keys -t shell -l -- '? n.tab'
tmux -L "$sock" send-keys -t shell Tab
wait_for "mz> ? n.Table"
tmux -L "$sock" send-keys -t shell Enter
wait_for "rpt_notes"
type_line '? 6 * 7'
wait_for "42"
type_line 'Quit'
wait_for "[shell exit 0]"
[ -s "$dir/.local/state/mzreport/shell_history" ] || { echo "FAILED: no history file"; exit 1; }
# The next session recalls the lines of the last one.
tmux -L "$sock" kill-session -t shell
session
wait_for "mz>"
tmux -L "$sock" send-keys -t shell Up Up Enter
wait_for "42"
type_line 'Quit'
wait_for "[shell exit 0]"
echo "interactive shell: ok"
