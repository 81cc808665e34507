"""Runs the order program on a display nobody looks at: waits for its window, saves a screenshot of the
first page, prints its path, presses the close box and reports the program's status.

usage: run-headless.py PROGRAM SCREENSHOT"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from skyward_e2e import Display, Program  # noqa: E402


def main():
    program_path, screenshot = sys.argv[1], sys.argv[2]
    display = Display()
    program = Program.start(program_path, cwd=os.path.dirname(os.path.abspath(program_path)))
    try:
        window = display.find_window("Register Skyward")
        width, height = window.size()
        window.wait_pixel(width - 2, height - 2, (255, 255, 255))  # the page's paint, not the bare window
        os.makedirs(os.path.dirname(screenshot), exist_ok=True)
        window.capture().save(screenshot)
        print(f"screenshot of the first page: {screenshot}")
        window.close_box()
        code = program.wait_exit()
    finally:
        program.stop()
    for line in program.output():
        print(line)
    status = program.status_line("SkywardOrder status")
    return status if status is not None else code


if __name__ == "__main__":
    sys.exit(0 if main() == 0 else 1)
