#!/usr/bin/env python3
# The text scene in two builds of Keldry, taking turns: wall time per frame and the main
# thread's CPU time per frame (from /proc), each from a run of 100 and one of 1100 frames,
# so that start-up, loading and the final read-back cancel out.
#
#   bench/textmark/compare-builds.py BEFORE_CHECKOUT AFTER_CHECKOUT [PAIRS]   (default 5)
#
# Each checkout must have built `Keldry demo MakeDemoData` in its build/ (for instance by
# running its own bench/textmark/run-textmark.sh once). Headless, like the other scenes.
import os
import statistics
import subprocess
import sys
import tempfile
import time

SHORT, LONG, COUNT = 100, 1100, 200


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: bench/textmark/compare-builds.py BEFORE_CHECKOUT AFTER_CHECKOUT [PAIRS]")
    roots = {"before": os.path.abspath(sys.argv[1]), "after": os.path.abspath(sys.argv[2])}
    pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, SDL_VIDEODRIVER="offscreen", LIBGL_ALWAYS_SOFTWARE="1", ALSOFT_DRIVERS="null",
                   KELDRY_TEST_FIXED_DELTA="0.0166666675", XDG_RUNTIME_DIR=work,
                   XDG_DOCUMENTS_DIR=work + "/docs", KELDRY_TEST_SNAPSHOT=work + "/keldry.bmp")
        os.makedirs(work + "/docs")
        os.makedirs(work + "/settings/Textmark")
        subprocess.run([roots["after"] + "/build/demo/MakeDemoData", work + "/Base"], check=True,
                       stdout=subprocess.DEVNULL)
        results = {side: [] for side in roots}
        for i in range(pairs):
            for side, root in roots.items():
                w1, c1 = run(root, work, env, SHORT)
                w2, c2 = run(root, work, env, LONG)
                frame = (w2 - w1) / (LONG - SHORT) * 1000
                cpu = (c2 - c1) / (LONG - SHORT) * 1000
                results[side].append((frame, cpu))
                print("%d %-6s frame %.2f ms   main thread %.2f ms CPU" % (i + 1, side, frame, cpu), flush=True)
        for side, rows in results.items():
            frames = [r[0] for r in rows]
            cpus = [r[1] for r in rows]
            print("%-6s frame median %.2f ms, best %.2f ms | main thread median %.2f ms, best %.2f ms"
                  % (side, statistics.median(frames), min(frames), statistics.median(cpus), min(cpus)))


# Wall seconds of one run of `frames` frames, and its main thread's CPU seconds.
def run(root, work, env, frames):
    with open(work + "/settings/Textmark/Settings.lua", "w") as f:
        f.write("Bench = { count = %d, frames = %d }\n" % (COUNT, frames))
    tick = os.sysconf("SC_CLK_TCK")
    start = time.monotonic()
    program = subprocess.Popen(
        [root + "/build/launcher/Keldry", "-resource", "Base", "-resource", root + "/bench/textmark/keldry",
         "-resource", work + "/settings", "-script", "Textmark/Startup.lua", "-windowed"],
        cwd=root + "/build/demo/Game", env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    main_cpu = 0.0
    # The last figure read before the thread ends; polled, so it misses at most one poll.
    while program.poll() is None:
        try:
            with open("/proc/%d/task/%d/stat" % (program.pid, program.pid)) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            main_cpu = (int(fields[11]) + int(fields[12])) / tick
        except (OSError, IndexError, ValueError):
            pass
        time.sleep(0.02)
    wall = time.monotonic() - start
    if program.returncode != 0:
        sys.exit("Keldry in %s failed with status %d" % (root, program.returncode))
    if not os.path.getsize(work + "/keldry.bmp"):
        sys.exit("Keldry made no read-back")
    os.remove(work + "/keldry.bmp")
    return wall, main_cpu


if __name__ == "__main__":
    main()
