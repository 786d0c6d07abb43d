#!/usr/bin/env python3
# Runs a command and prints its wall-clock seconds and the CPU seconds (user + system)
# it and its threads used: "wall cpu". Fails when the command fails.
import resource
import subprocess
import sys
import time

before = resource.getrusage(resource.RUSAGE_CHILDREN)
start = time.monotonic()
result = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL)
wall = time.monotonic() - start
after = resource.getrusage(resource.RUSAGE_CHILDREN)
if result.returncode != 0:
    sys.exit("command failed with status %d" % result.returncode)
cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
print("%.6f %.6f" % (wall, cpu))
