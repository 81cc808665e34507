"""A private print scheduler for the printing tests: cupsd in a folder of its own, listening on a local
socket only, with one raw queue whose back-end writes each job to a file. Started and stopped by the
test; the machine's own printing is never touched. Wine reaches it through CUPS_SERVER."""
import os
import shutil
import subprocess
import tempfile
import time

QUEUE = "skyward_test"

# The back-end: called with no arguments it describes itself; for a job it copies the document (or
# standard input) to the file its device URI names, in one rename, so that a reader never sees half.
BACKEND = """#!/bin/sh
if [ $# -eq 0 ]; then echo 'direct skywardfile "Unknown" "Skyward test file printer"'; exit 0; fi
out=${DEVICE_URI#skywardfile:}
if [ -n "$6" ]; then cat "$6"; else cat; fi > "$out.part" && mv "$out.part" "$out"
"""


class PrintScheduler:
    def __init__(self, parent=None):
        # In the system's temporary folder: a local socket's path must stay short.
        self.folder = os.path.abspath(tempfile.mkdtemp(prefix="skyward-print-", dir=parent))
        self.socket = os.path.join(self.folder, "cups.sock")
        self.output = os.path.join(self.folder, "printed.ps")
        self.process = None

    def env(self):
        return dict(os.environ, CUPS_SERVER=self.socket)

    def _write(self, name, text, mode=0o644):
        path = os.path.join(self.folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as file:
            file.write(text)
        os.chmod(path, mode)

    def __enter__(self):
        try:
            return self._start()
        except BaseException:
            self.__exit__()
            raise

    def _start(self):
        os.chmod(self.folder, 0o755)  # the scheduler drops to its own user for some work
        f = self.folder
        self._write("cupsd.conf", f"""Listen {self.socket}
Browsing No
WebInterface No
DefaultAuthType None
LogLevel warn
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
""")
        self._write("cups-files.conf", f"""ServerRoot {f}
ServerBin {f}/bin
RequestRoot {f}/spool
CacheDir {f}/cache
StateDir {f}/state
TempDir {f}/tmp
AccessLog {f}/log/access_log
ErrorLog {f}/log/error_log
PageLog {f}/log/page_log
""")
        for sub in ("spool", "cache", "state", "tmp", "log", "bin/backend"):
            os.makedirs(os.path.join(f, sub), exist_ok=True)
        os.chmod(os.path.join(f, "bin"), 0o755)
        os.chmod(os.path.join(f, "bin/backend"), 0o755)
        os.symlink("/usr/lib/cups/daemon", os.path.join(f, "bin/daemon"))
        # Mode 0700: the scheduler runs the back-end as root, which may write into this folder.
        self._write("bin/backend/skywardfile", BACKEND, 0o700)
        self.process = subprocess.Popen(
            ["/usr/sbin/cupsd", "-f", "-c", os.path.join(f, "cupsd.conf"), "-s", os.path.join(f, "cups-files.conf")],
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(f, "log/cupsd.out"), "w"))
        deadline = time.monotonic() + 30
        while not os.path.exists(self.socket):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"the print scheduler did not start: {self.log()}")
            time.sleep(0.1)
        self.run("lpadmin", "-p", QUEUE, "-E", "-v", f"skywardfile:{self.output}", "-m", "raw")
        self.run("lpadmin", "-d", QUEUE)
        return self

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def run(self, *command):
        return subprocess.run(command, env=self.env(), check=True, capture_output=True, text=True).stdout

    def job_count(self):
        """Jobs the queue has taken, finished or not."""
        return len([line for line in self.run("lpstat", "-W", "all", "-o", QUEUE).splitlines() if line.strip()])

    def wait_for_output(self, seconds=60):
        deadline = time.monotonic() + seconds
        while not os.path.exists(self.output):
            if time.monotonic() > deadline:
                raise AssertionError(f"nothing was printed within {seconds} s; scheduler log: {self.log()}")
            time.sleep(0.2)
        with open(self.output, "rb") as file:
            return file.read()

    def log(self):
        try:
            with open(os.path.join(self.folder, "log/error_log")) as file:
                return file.read()[-2000:]
        except OSError:
            return "(no log)"
