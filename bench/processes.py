#!/usr/bin/env python3
"""The command-line tool's figures for scripts/bench.sh, as a user runs it: whole processes of
duzuroro-cli, CPU seconds, wall seconds and peak memory per run (medians of the times, the
largest peak). Prints one JSON object for scripts/bench_table.py.

    processes.py CLI WORK BENCH_GAME_DIR [BROWSER_JSON]

WORK holds big/BIG.LA0 (65,535 costumes) and demo/DEMO.LA0; BENCH_GAME_DIR the benchmark
game (BENCH.LA0 and BENCH.json, bench/bench_game.h)."""
import atexit
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

# The benchmark game's costumes that hold 1,000, 10,000 and 50,000 frames (bench_game.h).
SIZES = {1000: ["--costume", "1-40"], 10000: ["--costume", "1-400"], 50000: []}
RUNS = {1000: 5, 10000: 3, 50000: 3}
# One worker, so that the peaks hold to the one-worker bound they are measured against (each
# further worker holds its own frames); --jobs has rows of its own.
FORMATS = {"png": ["--jobs", "1"], "gif": ["--format", "gif", "--jobs", "1"]}


def run_once(cli, args, wrapped=False):
    """One run of `cli args`: its CPU seconds, wall seconds and, when `wrapped`, its peak
    memory. The peak comes from GNU time around it: a child's own figure would count the
    memory of this Python process, which the kernel carries over the child's fork and exec."""
    with tempfile.TemporaryFile() as errors, tempfile.NamedTemporaryFile() as peak:
        command = [cli] + args
        if wrapped:
            command = ["/usr/bin/time", "-f", "%M", "-o", peak.name, "--"] + command
        started = time.monotonic()
        proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.monotonic() - started
        if status != 0:
            errors.seek(0)
            sys.stderr.write(errors.read().decode(errors="replace"))
            sys.exit(f"duzuroro-cli {' '.join(args)} failed")
        kilobytes = int(open(peak.name).read().split()[-1]) if wrapped else 0
    return usage.ru_utime + usage.ru_stime, wall, kilobytes * 1024


def measure(cli, args, runs=5, out=None):
    """Runs `cli args` once for its peak memory, then `runs` times for its times. `out`,
    when given, is a folder made anew for each run (and removed after it, outside the
    timing) passed as --out."""
    times, walls, peak = [], [], 0
    for run in range(runs + 1):
        extra = []
        if out:
            shutil.rmtree(out, ignore_errors=True)
            extra = ["--out", out]
        seconds, wall, peak_bytes = run_once(cli, args + extra, wrapped=run == 0)
        if run == 0:
            peak = peak_bytes
        else:
            times.append(seconds)
            walls.append(wall)
    return {"seconds": statistics.median(times), "wall": statistics.median(walls),
            "peak": peak}


def file_bytes(folder, suffix):
    names = [n for n in os.listdir(folder) if n.endswith(suffix)]
    return len(names), sum(os.path.getsize(os.path.join(folder, n)) for n in names)


def gifsicle_bytes(folder):
    """The bytes of every GIF in `folder` after `gifsicle -O3`, and their own bytes."""
    ours = theirs = 0
    with tempfile.TemporaryDirectory() as scratch:
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".gif"):
                continue
            source, optimised = os.path.join(folder, name), os.path.join(scratch, name)
            subprocess.run(["gifsicle", "-O3", source, "-o", optimised], check=True)
            ours += os.path.getsize(source)
            theirs += os.path.getsize(optimised)
    return {"bytes": ours, "gifsicle": theirs}


def time_commands(commands, runs=5):
    """Runs `commands` one after another, `runs` times: the medians of their CPU seconds and
    wall seconds together, every process's start included."""
    times, walls = [], []
    for _ in range(runs):
        seconds = 0.0
        started = time.monotonic()
        for command in commands:
            proc = subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            _, status, usage = os.wait4(proc.pid, 0)
            if status != 0:
                sys.exit(f"{' '.join(command)} failed")
            seconds += usage.ru_utime + usage.ru_stime
        walls.append(time.monotonic() - started)
        times.append(seconds)
    return {"seconds": statistics.median(times), "wall": statistics.median(walls)}


def gif_speed(cli, demo, memory):
    """The demo's GIFs made three ways: by export --format gif (one process; with one worker,
    as the peers have one, and as a user runs it, a worker a core), by ImageMagick's convert of export's PNG frames (one process per
    costume), and gifsicle -O3 over export's GIFs alone."""
    frames = os.path.join(memory, "speed-png")
    gifs = os.path.join(memory, "speed-gif")
    scratch = os.path.join(memory, "speed-scratch")
    for folder in (frames, gifs, scratch):
        shutil.rmtree(folder, ignore_errors=True)
    run_once(cli, ["export", demo, "--out", frames])
    run_once(cli, ["export", demo, "--format", "gif", "--out", gifs])
    os.makedirs(scratch)
    costumes = sorted({name.split("-frame-")[0] for name in os.listdir(frames)})
    convert = [["convert", "-delay", "10", "-loop", "0"] +
               sorted(os.path.join(frames, n) for n in os.listdir(frames)
                      if n.startswith(costume + "-frame-")) +
               [os.path.join(scratch, costume + ".gif")] for costume in costumes]
    gifsicle = [["gifsicle", "-O3", os.path.join(gifs, n), "-o", os.path.join(scratch, n)]
                for n in sorted(os.listdir(gifs)) if n.endswith(".gif")]
    ours = [[cli, "export", demo, "--format", "gif", "--jobs", "1", "--quiet", "--out",
             os.path.join(scratch, "ours")]]
    as_run = [[cli, "export", demo, "--format", "gif", "--quiet", "--out",
               os.path.join(scratch, "as-run")]]
    speed = {"ours": time_commands(ours), "as_run": time_commands(as_run)}
    if shutil.which("convert"):
        speed["convert"] = time_commands(convert)
    speed["gifsicle"] = time_commands(gifsicle)
    return speed


def main(cli, work, game_dir, browser_json=None):
    memory = (tempfile.mkdtemp(dir="/dev/shm") if os.access("/dev/shm", os.W_OK | os.X_OK)
              else tempfile.mkdtemp(dir=work))
    atexit.register(shutil.rmtree, memory, True)
    big = os.path.join(work, "big", "BIG.LA0")
    demo = os.path.join(work, "demo", "DEMO.LA0")
    out = {
        "screen": measure(cli, ["screen", big, "--costume", "65534",
                                "--out", os.path.join(work, "s.png")]),
        "info": measure(cli, ["info", "--json", big]),
    }
    # Into a new folder on a memory file system where there is one, so that the figure is the
    # tool's work and not the disk's (creating a file on a busy ext4 disk can cost more than
    # encoding it); on the disk as well, as a figure without goal.
    out["export"] = measure(cli, ["export", demo], out=os.path.join(memory, "demo"))
    out["export"]["memory"] = memory.startswith("/dev/shm")
    out["export"]["frames"], out["export"]["bytes"] = file_bytes(os.path.join(memory, "demo"),
                                                                 ".png")
    out["export_disk"] = measure(cli, ["export", demo], out=os.path.join(work, "export-disk"))

    index = os.path.join(game_dir, "BENCH.LA0")
    game = {"facts": json.load(open(os.path.join(game_dir, "BENCH.json"))),
            "index_bytes": os.path.getsize(index)}
    for name, options in FORMATS.items():
        # The fixed part of a process: one 24 x 24 frame exported the same way.
        game[name] = {"one_frame": measure(cli, ["export", index, "--costume", "1", "--frame",
                                                 "1"] + options,
                                           out=os.path.join(memory, "one"))}
        for frames, selection in SIZES.items():
            folder = os.path.join(memory, f"{name}-{frames}")
            game[name][str(frames)] = measure(cli, ["export", index] + selection + options,
                                              RUNS[frames], out=folder)
            if frames != 1000:
                shutil.rmtree(folder, ignore_errors=True)
    out["bench_game"] = game

    help_text = subprocess.run([cli, "export", "--help"], capture_output=True, text=True).stdout
    if "--jobs" in help_text:
        selection = SIZES[10000]
        out["jobs"] = {str(jobs): measure(cli, ["export", index] + selection +
                                          ["--jobs", str(jobs)], 3,
                                          out=os.path.join(memory, "jobs"))
                       for jobs in (1, 2)}

    if shutil.which("gifsicle"):
        demo_gifs = os.path.join(memory, "demo-gif")
        run_once(cli, ["export", demo, "--format", "gif", "--out", demo_gifs])
        out["gif_size"] = {"demo": gifsicle_bytes(demo_gifs),
                           "bench": gifsicle_bytes(os.path.join(memory, "gif-1000"))}
        out["gif_speed"] = gif_speed(cli, demo, memory)

    if browser_json and os.path.exists(browser_json):
        out["browser"] = json.load(open(browser_json))
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    main(*sys.argv[1:])
