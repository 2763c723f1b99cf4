#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Prints the device-exchange figures of zelmorctl against the adapter emulator:
#   1. CPU time of `zelmorctl backup` against a silent adapter, as a share of its wall time;
#   2. time of `zelmorctl restore` of the largest set a profile file can give, against the floor the
#      transfer's pacing sets (400 + 20 + 2 x (pieces - 1) ms);
#   3. time of `zelmorctl backup` of a full ten-profile set.
# Usage: scripts/device-figures.sh [BUILD_DIR]   (default: build/release; zelmorctl and
# zelmor-adapter-emu must be built there)
set -euo pipefail

build="${1:-build/release}"
ctl="$build/src/cli/zelmorctl"
emu="$build/tools/emulator/zelmor-adapter-emu"
for program in "$ctl" "$emu"; do
  [ -x "$program" ] || { echo "missing $program: build the targets zelmorctl and zelmor-adapter-emu" >&2; exit 1; }
done

exec python3 - "$ctl" "$emu" <<'PYTHON'
import json, os, resource, shutil, statistics, subprocess, sys, tempfile, time

ctl, emu = sys.argv[1], sys.argv[2]
work = tempfile.mkdtemp(prefix="zelmor-figures-")
os.makedirs(os.path.join(work, "run"), mode=0o700)
os.environ["XDG_RUNTIME_DIR"] = os.path.join(work, "run")

def start_emulator(*args):
    process = subprocess.Popen([emu, "--no-register", "--state", os.path.join(work, "state.json"), *args],
                               stdout=subprocess.PIPE, text=True)
    line = process.stdout.readline().split()
    assert line and line[0] == "PORT", line
    return process, line[1]

def fresh_emulator(*args):
    """An adapter that has never been written to: no state but the given factory set."""
    if os.path.exists(os.path.join(work, "state.json")):
        os.remove(os.path.join(work, "state.json"))
    return start_emulator(*args)

def stop(process):
    process.terminate()
    process.wait()

def run(*args):
    """Runs zelmorctl; returns (wall seconds, CPU seconds, exit status, stdout, stderr)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    done = subprocess.run([ctl, *args], capture_output=True, text=True)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu, done.returncode, done.stdout.strip(), done.stderr.strip()

def sequence(steps, seed):
    return {"switch_type": 2, "key_sequence": [{"modifier": (seed + i) % 3, "keycode": 4 + (seed + i) % 26}
                                               for i in range(steps)]}

def combination(key):
    return {"switch_type": 1, "key_combination": {"hid_key_config": {"modifiers": 1, "keys": [key, 0, 0, 0, 0, 0]},
                                                  "mode": 0}}

def write_profiles(name, profiles):
    path = os.path.join(work, name)
    with open(path, "w") as file:
        json.dump(profiles, file)
    return path

# The largest set: 16-character names, 32-step sequences on both presses of all eight switches.
largest = write_profiles("largest.profj", [
    {"profile_name": "Largest profile%d" % i,
     "switch_configs": [{"short_press": sequence(32, 16 * i + 2 * k), "use_long_press": True,
                         "long_press": sequence(32, 16 * i + 2 * k + 1)} for k in range(8)]}
    for i in range(10)])
# A full everyday set: ten profiles, every switch a key combination on both presses.
full = write_profiles("full.profj", [
    {"profile_name": "Profile %d" % (i + 1),
     "switch_configs": [{"short_press": combination(4 + k), "use_long_press": True,
                         "long_press": combination(20 + k)} for k in range(8)]}
    for i in range(10)])

print("zelmorctl device figures (emulator on a pseudo-terminal)")

# 1. CPU share while waiting for a silent adapter.
for label, args in (("silent adapter (system information, 5 s phase)", ["--silent"]),
                    ("silent profile set (3 s start-token search)", ["--factory-set", "1", "--faults-for",
                                                                     "*GETPROFSET", "--silent"])):
    emulator, port = fresh_emulator(*args)
    wall, cpu, status, _, err = run("--port", port, "backup", os.path.join(work, "silent.profj"))
    stop(emulator)
    print("1. backup, %s: wall %.0f ms, CPU %.1f ms = %.2f %% (goal < 5 %%), exit %d: %s"
          % (label, wall * 1000, cpu * 1000, 100 * cpu / wall, status, err))

# 2. Restore of the largest set against the pacing floor; each run meets a freshly plugged adapter
# holding a factory set, as a user's first restore does.
times = []
for _ in range(3):
    emulator, port = fresh_emulator("--factory-set", "1")
    wall, cpu, status, out, err = run("--port", port, "restore", largest)
    stop(emulator)
    assert status == 0 and not err, err
    times.append(wall)
sent = int(out.split()[1])
pieces = (sent + 63) // 64
floor = 400 + 20 + 2 * (pieces - 1)
median = statistics.median(times) * 1000
print("2. restore of the largest set: %d bytes in %d pieces, floor %d ms, median of 3 runs %.0f ms "
      "= %.1f %% above the floor (goal within 10 %%)" % (sent, pieces, floor, median, 100 * (median - floor) / floor))

# 3. Backup of a full ten-profile set.
emulator, port = fresh_emulator("--factory-set", "1")
wall, cpu, status, out, err = run("--port", port, "restore", full)
assert status == 0 and not err, err
times = []
for _ in range(3):
    wall, cpu, status, out, err = run("--port", port, "backup", os.path.join(work, "full-backup.profj"))
    assert status == 0, err
    times.append(wall)
stop(emulator)
print("3. backup of a full ten-profile set (%s, %d-byte file): median of 3 runs %.0f ms"
      % (out, os.path.getsize(os.path.join(work, "full-backup.profj")), statistics.median(times) * 1000))
shutil.rmtree(work)
PYTHON
