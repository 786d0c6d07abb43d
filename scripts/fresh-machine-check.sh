#!/bin/sh
# Tries the README's commands as a new user would, on a fresh minimal Debian 12: debootstrap
# (minbase) into a temporary folder, then, inside it as root, the README's clone step, its
# test command and its headless demo line with the snapshot, each timed. Prints one table:
# command, result, wall time. Not part of CI: it downloads about 300 MB (more with --ci).
#   scripts/fresh-machine-check.sh [--ci CPUS] [--keep DIR]
#     --ci CPUS   also runs .ci/run in a second clean clone, pinned to CPUS (taskset list,
#                 e.g. 6,7 for two cores), and times it
#     --keep DIR  where the snapshot and the logs are kept (default: /var/tmp/fresh-machine-results)
# Needs root (debootstrap, chroot, mounts). The mirror is the one the host's own apt sources
# use for bookworm. The chroot goes under $FRESH_MACHINE_TMP (default /var/tmp) and is
# unmounted and removed on every way out.
set -eu

repo="$(cd "$(dirname "$0")/.." && pwd)"
ci_cpus=""
keep="${FRESH_MACHINE_TMP:-/var/tmp}/fresh-machine-results"
while [ $# -gt 0 ]; do
    case "$1" in
    --ci) ci_cpus="$2"; shift 2 ;;
    --keep) keep="$2"; shift 2 ;;
    *) echo "usage: $0 [--ci CPUS] [--keep DIR]" >&2; exit 2 ;;
    esac
done

if [ "$(id -u)" != "0" ]; then
    echo "$0: needs root (debootstrap, chroot and mounts)" >&2
    exit 2
fi

# The commands exactly as the README gives them; the check refuses to run when the README
# no longer holds one of them word for word.
CLONE_STEP='apt-get update && apt-get install -y git ca-certificates'
TEST_COMMAND='./scripts/test.sh'
DEMO_LINE='KELDRY_TEST_SNAPSHOT=$PWD/last-frame.bmp timeout --preserve-status -s TERM 20 ./scripts/run-demo.sh'
for command in "$CLONE_STEP" "$TEST_COMMAND" "$DEMO_LINE"; do
    if ! grep -qF -- "$command" "$repo/README.md"; then
        echo "$0: the README no longer says: $command" >&2
        exit 2
    fi
done

# The first bookworm mirror of the host's apt sources (one-line or deb822 form).
host_mirror() {
    {
        cat /etc/apt/sources.list 2>/dev/null | awk '$1 == "deb" {
            i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            if ($(i + 1) == "bookworm") print $i }'
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -f "$f" ] || continue
            awk 'function flush() { if (suites ~ /(^| )bookworm( |$)/ && uris != "") print uris; suites = ""; uris = "" }
                 /^[ \t]*$/ { flush(); next }
                 /^URIs:/ { uris = $2 }
                 /^Suites:/ { $1 = ""; suites = $0 " " }
                 END { flush() }' "$f"
        done
    } | head -n 1
}
mirror="$(host_mirror)"
if [ -z "$mirror" ]; then
    echo "$0: no bookworm mirror in the host's apt sources" >&2
    exit 2
fi

if ! command -v debootstrap >/dev/null 2>&1; then
    apt-get update -q && apt-get install -y -q --no-install-recommends debootstrap
fi

work="$(mktemp -d "${FRESH_MACHINE_TMP:-/var/tmp}/fresh-machine.XXXXXX")"
root="$work/root"
table="$work/table"
mkdir -p "$root" "$keep"
: >"$table"

cleanup() {
    status=$?
    trap - EXIT INT TERM HUP
    for m in source dev/shm dev/pts dev sys proc; do
        if mountpoint -q "$root/$m" 2>/dev/null; then
            umount "$root/$m" 2>/dev/null || umount -l "$root/$m"
        fi
    done
    # Never remove through a mount that is still there.
    if ! grep -q " $root/" /proc/mounts; then
        rm -rf "$work"
    else
        echo "$0: $work still has mounts; left in place" >&2
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

now() { date +%s; }

print_table() {
    printf 'command\tresult\twall time\n' | cat - "$table" | awk -F '\t' '
        { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
        END { for (r = 1; r <= NR; r++) printf "%-*s  %-*s  %s\n", w[1], cell[r, 1], w[2], cell[r, 2], cell[r, 3] }'
}

# row NAME START STATUS: one line of the table.
row() {
    seconds=$(( $(now) - $2 ))
    result="ok"
    [ "$3" = "0" ] || result="failed ($3)"
    printf '%s\t%s\t%dm%02ds\n' "$1" "$result" $((seconds / 60)) $((seconds % 60)) >>"$table"
}

# in_chroot DIR COMMAND: runs a shell command in the chroot as a new root login would,
# with no display and nothing of the host's environment.
in_chroot() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/sh -c "cd $1 && $2"
}

start=$(now)
echo "== debootstrap --variant=minbase bookworm from $mirror into $root"
set +e
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$keep/debootstrap.log" 2>&1
status=$?
set -e
row "debootstrap --variant=minbase bookworm" "$start" "$status"
if [ "$status" != "0" ]; then
    tail -n 20 "$keep/debootstrap.log"
    print_table
    exit 1
fi

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"
mkdir -p "$root/source"
mount --bind "$repo" "$root/source"
mount -o remount,bind,ro "$root/source"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# step NAME DIR COMMAND LOG: one timed command in the chroot, its output kept.
overall=0
step() {
    echo "== $1"
    begin=$(now)
    set +e
    in_chroot "$2" "$3" >"$keep/$4" 2>&1
    code=$?
    set -e
    row "$1" "$begin" "$code"
    if [ "$code" != "0" ]; then
        tail -n 30 "$keep/$4"
        overall=1
    fi
    return 0
}

step "$CLONE_STEP" / "$CLONE_STEP" clone-step.log
step "git clone" / "git clone -q /source /root/project" clone.log
step "$TEST_COMMAND" /root/project "$TEST_COMMAND" test.log
grep -E "tests passed|tests failed" "$keep/test.log" | tail -n 1 || true
step "$DEMO_LINE" /root/project "$DEMO_LINE" demo.log
if [ -f "$root/root/project/last-frame.bmp" ]; then
    cp "$root/root/project/last-frame.bmp" "$keep/last-frame.bmp"
    echo "snapshot: $keep/last-frame.bmp"
else
    echo "no snapshot was written"
    overall=1
fi
if [ -n "$ci_cpus" ]; then
    step "git clone (for CI)" / "git clone -q /source /root/ci" ci-clone.log
    step "taskset -c $ci_cpus .ci/run" /root/ci "taskset -c $ci_cpus .ci/run" ci.log
    grep "^=====" "$keep/ci.log" || true
fi

echo
print_table
echo "logs: $keep"
exit $overall
