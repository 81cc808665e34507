"""Times complete deliveries to a loopback aiosmtpd: the mail sender (the Windows probe under Wine,
timed inside the probe, so Wine's start-up is not counted) against Python's smtplib sending the same
message to the same server in the same run. Prints each median of 20 and their ratio.
usage: smtp_bench.py PROBE-COMMAND..."""
import pathlib
import re
import smtplib
import statistics
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "app" / "mail"))
from smtp_peers import RealServer  # noqa: E402

ROUNDS = 20
# The same message the probe sends in its "time" mode.
SENDER = "buyer@example.com"
RECIPIENT = "orders@example.com"
MESSAGE = (b"From: <buyer@example.com>\r\nTo: <orders@example.com>\r\nSubject: Order\r\n\r\n"
           b"Order for 2 copies of Skyward\r\nName: A. Buyer\r\nAddress: 1 Main Street\r\n.hidden line\r\n"
           b"Total: 40.00\r\n")


def time_probe(command, port):
    # One delivery more than counted: the first one also pays for loading the lookup and socket code.
    result = subprocess.run(command + ["time", f"127.0.0.1:{port}", str(ROUNDS + 1)], capture_output=True,
                            text=True, timeout=600, stdin=subprocess.DEVNULL)
    runs = re.findall(r"^delivery \d+ status (-?\d+) microseconds (\d+)$", result.stdout, re.M)
    if len(runs) != ROUNDS + 1 or any(status != "0" for status, _ in runs):
        sys.exit(f"the probe did not deliver every message:\n{result.stdout}{result.stderr}")
    return [int(microseconds) / 1000.0 for _, microseconds in runs[1:]]


def time_smtplib(port):
    times = []
    for _ in range(ROUNDS + 1):
        start = time.perf_counter()
        with smtplib.SMTP("127.0.0.1", port) as client:
            client.helo()
            client.rset()
            client.sendmail(SENDER, [RECIPIENT], MESSAGE)
        times.append((time.perf_counter() - start) * 1000.0)
    return times[1:]


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    with RealServer() as server:
        sender = statistics.median(time_probe(sys.argv[1:], server.port))
        reference = statistics.median(time_smtplib(server.port))
        delivered = len(server.mail.envelopes)
    print(f"smtp_bench: {delivered} messages delivered to aiosmtpd on loopback")
    print(f"  mail sender under Wine  median of {ROUNDS}: {sender:8.2f} ms")
    print(f"  Python smtplib          median of {ROUNDS}: {reference:8.2f} ms")
    print(f"  ratio sender / smtplib: {sender / reference:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
