"""Start-up of the order program against an empty Win32 window built with the same toolchain: each is
started the same way under the same Wine, and timed from the start to its window shown and painted.
Then the page-change timer. Prints the figures and the machine they were measured on.

usage: startup_bench.py ORDER_EXE EMPTY_EXE PAGE_CHANGE_EXE [runs]
"""

import os
import platform
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from skyward_e2e import Display, Program, SOURCE_DIR, windows_path  # noqa: E402


def time_start(display, exe, title, colour):
    """Seconds from starting the program to its window showing `colour` at its bottom-right corner."""
    started = time.monotonic()
    program = Program.start(exe, cwd=os.path.dirname(exe))
    try:
        window = display.find_window(title, interval=0.01)
        width, height = window.size()
        window.wait_pixel(width - 2, height - 2, colour, limit=60, interval=0.01)
        elapsed = time.monotonic() - started
        window.close_box()
        program.wait_exit(60)
        return elapsed
    finally:
        program.stop()


def machine():
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    emulated = os.path.exists("/proc/sys/fs/binfmt_misc/qemu-i386")
    return (f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, {wine}"
            f"{', 32-bit code under qemu-i386' if emulated else ''}")


def main():
    order, empty, page_change = (os.path.abspath(p) for p in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 10
    display = Display()
    times = {"empty": [], "order": []}
    time_start(display, empty, "Empty window", (255, 255, 255))  # warm the caches once, uncounted
    for _ in range(runs):
        times["empty"].append(time_start(display, empty, "Empty window", (255, 255, 255)))
        times["order"].append(time_start(display, order, "Register Skyward", (255, 255, 255)))
    print(f"machine: {machine()}")
    for name, values in times.items():
        print(f"start-up to painted window, {name}: median {statistics.median(values) * 1000:.0f} ms, "
              f"min {min(values) * 1000:.0f} ms, max {max(values) * 1000:.0f} ms ({runs} runs)")
    ratio = statistics.median(times["order"]) / statistics.median(times["empty"])
    print(f"order program / empty window: {ratio:.2f} (goal: at most 1.30)")
    pages = windows_path(os.path.join(SOURCE_DIR, "pages"))
    result = Program.start(page_change, ["--folder", pages, "--file", "classic.iml"], cwd=os.path.dirname(page_change))
    result.wait_exit(300)
    print("\n".join(result.output()))


if __name__ == "__main__":
    main()
