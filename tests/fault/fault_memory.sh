#!/bin/bash
# The password stays inside the program: run by an ordinary user, the process's memory
# cannot be read by that user's other processes (/proc/PID/mem belongs to root and does
# not open), a debugger of that user cannot attach, it has no core file limit to raise,
# and a crash writes no core file although the shell allowed one. Run by root, it also
# counts the password's copies in the program's memory once Ctrl+V has replaced it.
# Usage: fault_memory.sh <kanavox>
source "$(dirname "$0")/../realwindow/xvfb.sh"
start_xvfb
install_copy "$1"
chmod 777 "$WORK" # the ordinary user's crash could write its core file here
ordinary_user "$WORK/home"
SECRET=Qm4xT8vZ2kR7wP5n

# copies <pid> <text>: how many times the text stands in UTF-16 in the process's writable
# memory (mappings of a gigabyte or more are reservations and left out).
copies() {
    python3 - "$1" "$2" <<'PY'
import re, sys
pid, needle = sys.argv[1], sys.argv[2].encode("utf-16-le")
count = 0
with open(f"/proc/{pid}/maps") as maps, open(f"/proc/{pid}/mem", "rb", 0) as mem:
    for line in maps:
        addr, perms = line.split()[:2]
        start, end = (int(a, 16) for a in addr.split("-"))
        if not perms.startswith("rw") or end - start >= 1 << 30:
            continue
        try:
            mem.seek(start)
            count += mem.read(end - start).count(needle)
        except OSError:
            pass
print(count)
PY
}

note "memory closed to the user's other processes"
start_program "${RUN_AS[@]}" ./kanavox
runs_as=$(stat -c %U "/proc/$APP_PID/status")
mem_owner=$(stat -c %U "/proc/$APP_PID/mem")
echo "   program runs as $(ps -o user= -p "$APP_PID"); /proc/$APP_PID/mem belongs to $mem_owner"
[ "$mem_owner" = root ] || fail "/proc/PID/mem belongs to $mem_owner: the process is dumpable"
[ "$(ps -o user= -p "$APP_PID")" != root ] || [ "$(id -u)" != 0 ] || fail "the program runs as root"
# read_by_user <pid>: the ordinary user's own process reads a page of the program's heap.
read_by_user() {
    "${RUN_AS[@]}" python3 - "$1" <<'PY'
import sys
pid = sys.argv[1]
with open(f"/proc/{pid}/maps") as maps:
    heap = next(l for l in maps if l.split()[1].startswith("rw"))
start = int(heap.split("-")[0], 16)
with open(f"/proc/{pid}/mem", "rb", 0) as mem:
    mem.seek(start)
    sys.exit(0 if len(mem.read(4096)) == 4096 else 1)
PY
}
if read_by_user "$APP_PID" 2>/dev/null; then
    fail "the user's other process read the program's memory"
fi
# A debugger of the same user attaches with ptrace; the program must refuse it.
attach=$("${RUN_AS[@]}" python3 - "$APP_PID" <<'PY'
import ctypes, os, sys
libc = ctypes.CDLL(None, use_errno=True)
PTRACE_ATTACH, PTRACE_DETACH = 16, 17
pid = int(sys.argv[1])
if libc.ptrace(PTRACE_ATTACH, pid, None, None) == 0:
    os.waitpid(pid, 0)
    libc.ptrace(PTRACE_DETACH, pid, None, None)
    print("attached")
else:
    print(os.strerror(ctypes.get_errno()))
PY
)
echo "   ptrace attach by the same user: $attach"
[ "$attach" != attached ] || fail "a debugger of the same user attached"
grep -Eq '^Max core file size +0 +0 ' "/proc/$APP_PID/limits" ||
    fail "core file limit: $(grep 'core file' "/proc/$APP_PID/limits")"

typed=0
_typed_seen() { typed=$(copies "$APP_PID" "$SECRET") && [ "$typed" -gt 0 ]; }
_none_left() { left=$(copies "$APP_PID" "$SECRET") && [ "$left" -eq 0 ]; }
if grep -qa __asan_init "$1"; then
    # The sanitizer's shadow is terabytes of mappings and its quarantine keeps what is freed.
    echo "   (a sanitizer build: the memory scan is left out)"
elif [ "$(id -u)" != 0 ]; then
    echo "   (not root: the memory scan needs root and is left out)"
else
    note "the typed password, then replaced"
    focus_window "$WIN"
    xdotool type --delay 20 "$SECRET"
    poll _typed_seen || true
    echo "   UTF-16 copies while typed: $typed"
    [ "$typed" -gt 0 ] || fail "the typed password never showed in the program's memory"
fi
if [ "$typed" -gt 0 ]; then
    # Ctrl+V replaces the whole password and its undo history with the clipboard text.
    printf z | xclip -selection clipboard &
    XCLIP_PID=$!
    wait_clipboard z "xclip's text"
    focus_window "$WIN"
    xdotool key ctrl+v
    poll _none_left || true
    echo "   UTF-16 copies after it was replaced: $left"
    [ "$left" -le "${KANAVOX_MAX_LEFT_COPIES:-0}" ] || fail "$left copies of the password are left in memory"
fi
click_control btnEnd
wait_exit

_runs_as_sleep() { [ "$(cat "/proc/$1/comm" 2>/dev/null)" = sleep ]; }
note "a crash writes no core file, though the shell allows one"
( cd "$WORK" && ulimit -c unlimited && exec "${RUN_AS[@]}" sleep 30 ) &
control=$!
# The signal must reach sleep itself, once the core limit is raised and it runs.
wait_until "the control program did not start" _runs_as_sleep "$control"
kill -SEGV "$control"
wait "$control" 2>/dev/null || true
control_core=$(find "$WORK" -maxdepth 1 -name 'core*' | head -1)
[ -n "$control_core" ] || fail "a dumpable program wrote no core file here either (control); core_pattern: $(cat /proc/sys/kernel/core_pattern)"
echo "   control: $(basename "$control_core"), $(stat -c %s "$control_core") bytes"
rm -f "$WORK"/core*
( cd "$WORK" && ulimit -c unlimited && exec "${RUN_AS[@]}" ./kanavox ) >"$WORK/app.log" 2>&1 &
APP_PID=$!
wait_main_window
focus_window "$WIN"
xdotool type --delay 20 "$SECRET"
kill -SEGV "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
APP_PID=
cores=$(find "$WORK" -maxdepth 1 -name 'core*')
[ -z "$cores" ] || fail "core file written: $cores"
echo "   no core file after kill -SEGV"
echo "PASS: fault_memory"
