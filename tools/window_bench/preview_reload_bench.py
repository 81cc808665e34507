"""How soon the previewer shows a save: SkywardPreview.exe opened on a copy of pages/, the intro page's
text rewritten again and again (in place, then as editors do, by renaming a temporary file over it), each
time timed from the save to the first changed pixel of the page. The goal: within a second.

usage: preview_reload_bench.py PREVIEW_EXE [saves]
"""

import os
import shutil
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from skyward_e2e import Display, Program, wait_until, windows_path  # noqa: E402
from preview_test import FRAME, PAGES, RELOAD_LIMIT, TOOL_TITLE, page_title, rewrite  # noqa: E402
from startup_bench import machine  # noqa: E402

TEXTS = ("Thank you for trying", "MMMM MMMM MMMM MMMM")


def main():
    preview = os.path.abspath(sys.argv[1])
    saves = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    display = Display()
    folder = tempfile.mkdtemp(prefix="skyward-preview-bench-")
    program = None
    try:
        pages = os.path.join(folder, "pages")
        shutil.copytree(PAGES, pages)
        classic = os.path.join(pages, "classic.iml")
        program = Program.start(preview, [windows_path(pages)], cwd=os.path.dirname(preview))
        page = display.find_window(page_title("classic.iml"))
        tool = display.find_window(TOOL_TITLE)
        program.wait_line(r"^classic\.iml opened: \d+ pages? in \d+ ms$", limit=60)
        times = {False: [], True: []}
        for save in range(saves):
            before = page.capture().crop(FRAME).tobytes()
            renaming = save % 2 == 1
            since = rewrite(classic, TEXTS[save % 2], TEXTS[(save + 1) % 2], by_renaming=renaming)
            wait_until(lambda: page.capture().crop(FRAME).tobytes() != before, interval=0.01,
                       what="the saved text in the window")
            times[renaming].append(time.monotonic() - since)
        tool.close_box()
        program.wait_exit(60)
    finally:
        if program:
            program.stop()
        shutil.rmtree(folder, True)
    print(f"machine: {machine()}")
    for renaming, values in times.items():
        print(f"save {'by renaming' if renaming else 'in place'} to changed pixels: median "
              f"{statistics.median(values) * 1000:.0f} ms, max {max(values) * 1000:.0f} ms ({len(values)} saves)")
    median = statistics.median(times[False] + times[True])
    print(f"all saves: median {median * 1000:.0f} ms (goal: under {RELOAD_LIMIT * 1000:.0f} ms)")
    return 0 if median < RELOAD_LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
