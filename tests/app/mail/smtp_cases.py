"""One delivery of the mail sender (the Windows probe, under Wine) against a peer on loopback, per
case: the status it ends with, that the time-out path was taken where there is one, what the server
received, and that no thread or handle was left.
usage: smtp_cases.py --list | CASE -- PROBE-COMMAND..."""
import contextlib
import re
import socket
import subprocess
import sys
import time

from smtp_peers import FullBacklog, RealServer, ScriptedServer

SENDER = "buyer@example.com"
RECIPIENT = "orders@example.com"
SUBJECT = "Order for Skyward"
# Dot-stuffing, a 2500-byte line, bare LF and bare CR line ends, and no line end at the very end.
BODY = b".dotted first line\nbare LF\rbare CR\r\n" + b"x" * 2500 + b"\r\n..two dots\nlast line"
RECEIVED_BODY = (b".dotted first line\r\nbare LF\r\nbare CR\r\n" + b"x" * 998 + b"\r\n" + b"x" * 998 + b"\r\n"
                 + b"x" * 504 + b"\r\n..two dots\r\nlast line\r\n")
WIRE_BODY = (b"..dotted first line\r\nbare LF\r\nbare CR\r\n" + b"x" * 998 + b"\r\n" + b"x" * 998 + b"\r\n"
             + b"x" * 504 + b"\r\n...two dots\r\nlast line\r\n")
HEADERS = b"From: <buyer@example.com>\r\nTo: <orders@example.com>\r\nSubject: Order for Skyward\r\n\r\n"
DIALOGUE = ["HELO 127.0.0.1\r\n", "RSET\r\n", "MAIL FROM: <buyer@example.com>\r\n",
            "RCPT TO: <orders@example.com>\r\n", "DATA\r\n"]

NOT_CONNECTED = -7109
TIMEOUT = -7008
REPLY = -1605
SENDER_REFUSED = -1607
REFUSED = -7110


class Case:
    def __init__(self, peer, status, sender=SENDER, recipient=RECIPIENT, subject=SUBJECT, body=BODY,
                 at_least=0.0, at_most=15.0, check=None, host="127.0.0.1"):
        self.peer, self.status = peer, status
        self.sender, self.recipient, self.subject, self.body = sender, recipient, subject, body
        self.at_least, self.at_most, self.check, self.host = at_least, at_most, check, host


def commands_are(expected):
    def check(server):
        assert server.commands() == expected, f"server received {server.commands()!r}, expected {expected!r}"
    return check


def ends_with_quit_after(count):
    return commands_are(DIALOGUE[:count] + ["QUIT\r\n"])


def nothing_connected(server):
    assert server.log == [], f"the server was reached: {server.log!r}"


def delivered_as_sent(server):
    assert len(server.mail.envelopes) == 1, f"{len(server.mail.envelopes)} messages arrived"
    envelope = server.mail.envelopes[0]
    assert envelope.mail_from == SENDER, envelope.mail_from
    assert envelope.rcpt_tos == [RECIPIENT], envelope.rcpt_tos
    assert envelope.original_content == HEADERS + RECEIVED_BODY, \
        f"received copy differs:\n{envelope.original_content!r}\nexpected:\n{HEADERS + RECEIVED_BODY!r}"


def delivered_without_sender(server):
    envelope = server.mail.envelopes[0]
    assert envelope.mail_from == "<>", envelope.mail_from  # how aiosmtpd keeps the null sender
    expected = b"To: <orders@example.com>\r\nSubject: Order for Skyward\r\n\r\nbody\r\n"
    assert envelope.original_content == expected, envelope.original_content


def delivered_empty(server):
    envelope = server.mail.envelopes[0]
    assert envelope.original_content == b"To: <orders@example.com>\r\n\r\n", envelope.original_content


def null_sender_on_the_wire(server):
    assert server.commands()[2] == "MAIL FROM: <>\r\n", server.commands()
    assert server.data == b"To: <orders@example.com>\r\n\r\nbody\r\n", server.data


def wire_copy(server):
    assert server.commands() == DIALOGUE + ["QUIT\r\n"], server.commands()
    assert server.data == HEADERS + WIRE_BODY, f"data on the wire:\n{server.data!r}"


def dialogue_then_quit(server):
    assert server.commands() == DIALOGUE + ["QUIT\r\n"], server.commands()


def greeted_by_noop(server):
    assert server.commands() == ["NOOP\r\n"] + DIALOGUE + ["QUIT\r\n"], server.commands()


MULTI_LINE = "".join(f"220-line {n} of a long greeting\r\n" for n in range(299)) + "220 ready\r\n"

CASES = {
    # A real server: the received copy, byte for byte.
    "delivers_to_a_real_server": Case(RealServer, 0, check=delivered_as_sent, host="localhost"),
    "delivers_without_sender": Case(RealServer, 0, sender="", body=b"body", check=delivered_without_sender),
    "delivers_an_empty_message": Case(RealServer, 0, sender="", recipient="orders@example.com", subject="",
                                      body=b"", check=delivered_empty),
    "sends_the_body_stuffed_and_broken": Case(ScriptedServer, 0, check=wire_copy),
    "sends_the_null_sender": Case(ScriptedServer, 0, sender="", subject="", body=b"body", check=null_sender_on_the_wire),
    # Peers that fail or misbehave.
    "nothing_listening": Case(None, REFUSED),
    "connect_never_completes": Case(FullBacklog, TIMEOUT, at_least=5.0, at_most=20.0),
    "no_greeting_but_noop_answered": Case(lambda: ScriptedServer(greeting=None, replies={"NOOP": "220 late\r\n250 ok\r\n"}),
                                          0, at_least=22.0, at_most=45.0, check=greeted_by_noop),
    "no_greeting_and_no_noop_answer": Case(lambda: ScriptedServer(greeting=None, replies={"NOOP": "silent"}),
                                           TIMEOUT, at_least=32.0, at_most=60.0, check=commands_are(["NOOP\r\n"])),
    "greeting_554": Case(lambda: ScriptedServer(greeting="554 no service\r\n"), REPLY, check=commands_are([])),
    "helo_421": Case(lambda: ScriptedServer(replies={"HELO": "421 closing\r\n"}), REPLY, check=ends_with_quit_after(1)),
    "rset_450": Case(lambda: ScriptedServer(replies={"RSET": "450 busy\r\n"}), REPLY, check=ends_with_quit_after(2)),
    "rset_550": Case(lambda: ScriptedServer(replies={"RSET": "550 no\r\n"}), REPLY, check=ends_with_quit_after(2)),
    "mail_501": Case(lambda: ScriptedServer(replies={"MAIL": "501 bad sender\r\n"}), SENDER_REFUSED,
                     check=ends_with_quit_after(3)),
    "mail_550": Case(lambda: ScriptedServer(replies={"MAIL": "550 no\r\n"}), REPLY, check=ends_with_quit_after(3)),
    "rcpt_451": Case(lambda: ScriptedServer(replies={"RCPT": "451 later\r\n"}), REPLY, check=ends_with_quit_after(4)),
    "rcpt_550": Case(lambda: ScriptedServer(replies={"RCPT": "550 unknown\r\n"}), REPLY, check=ends_with_quit_after(4)),
    "rcpt_251_accepted": Case(lambda: ScriptedServer(replies={"RCPT": "251 forwarded\r\n"}), 0, check=dialogue_then_quit),
    "data_554": Case(lambda: ScriptedServer(replies={"DATA": "554 no data\r\n"}), REPLY, check=ends_with_quit_after(5)),
    "after_data_452": Case(lambda: ScriptedServer(data_end="452 full\r\n"), REPLY, check=dialogue_then_quit),
    "after_data_554": Case(lambda: ScriptedServer(data_end="554 rejected\r\n"), REPLY, check=dialogue_then_quit),
    "dropped_at_mail": Case(lambda: ScriptedServer(replies={"MAIL": "drop"}), NOT_CONNECTED, at_most=8.0,
                            check=commands_are(DIALOGUE[:3])),
    "dropped_after_data": Case(lambda: ScriptedServer(data_end="drop"), NOT_CONNECTED, at_most=8.0),
    "silent_at_rcpt": Case(lambda: ScriptedServer(replies={"RCPT": "silent"}), TIMEOUT, at_least=10.0, at_most=40.0,
                           check=ends_with_quit_after(4)),
    "replies_dripped_byte_by_byte": Case(lambda: ScriptedServer(drip=True), 0, at_most=60.0, check=dialogue_then_quit),
    "garbage_greeting": Case(lambda: ScriptedServer(greeting="*** not a mail server ***\r\n"), REPLY,
                             check=commands_are([])),
    "garbage_reply_to_helo": Case(lambda: ScriptedServer(replies={"HELO": "24: looks like 250\r\n"}), REPLY,
                                  check=ends_with_quit_after(1)),
    "greeting_of_300_lines": Case(lambda: ScriptedServer(greeting=MULTI_LINE), 0, check=dialogue_then_quit),
    "continuation_with_another_code": Case(
        lambda: ScriptedServer(replies={"HELO": "250-hello\r\n421-other code\r\n250 done\r\n"}), 0,
        check=dialogue_then_quit),
    # Nothing typed by the buyer can add a command or a header: refused before connecting.
    "sender_with_line_break": Case(ScriptedServer, SENDER_REFUSED, sender="a@b.c\r\nRCPT TO: <x@y.z>",
                                   check=nothing_connected),
    "sender_with_bracket": Case(ScriptedServer, SENDER_REFUSED, sender="a@b.c> SIZE=1", check=nothing_connected),
    "recipient_with_line_feed": Case(ScriptedServer, REPLY, recipient="o@b.c\nDATA", check=nothing_connected),
    "subject_with_carriage_return": Case(ScriptedServer, REPLY, subject="Order\rBcc: x@y.z", check=nothing_connected),
    "subject_with_line_break": Case(ScriptedServer, REPLY, subject="Order\r\n\r\n.\r\nQUIT", check=nothing_connected),
}


def closed_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def run_probe(command, case, port):
    server = f"{case.host}:{port}"
    texts = [case.sender.encode("latin-1"), case.recipient.encode("latin-1"), case.subject.encode("latin-1"), case.body]
    started = time.monotonic()
    result = subprocess.run(command + ["send", server] + [text.hex() for text in texts],
                            capture_output=True, text=True, timeout=case.at_most + 60, stdin=subprocess.DEVNULL)
    wall = time.monotonic() - started
    print(result.stdout, end="")
    print(result.stderr, end="", file=sys.stderr)
    fields = dict(re.findall(r"^(status|elapsed) (-?\d+)$", result.stdout, re.M))
    leftover = re.search(r"^leftover threads (-?\d+) handles (-?\d+)$", result.stdout, re.M)
    assert "status" in fields and leftover, f"the probe gave no result (exit {result.returncode})"
    return int(fields["status"]), int(fields["elapsed"]) / 1000.0, (int(leftover[1]), int(leftover[2])), wall


def run(name, command):
    case = CASES[name]
    with contextlib.ExitStack() as stack:
        peer = stack.enter_context(case.peer()) if case.peer else None
        port = peer.port if peer else closed_port()
        status, elapsed, leftover, wall = run_probe(command, case, port)
        print(f"{name}: status {status} after {elapsed:.1f} s (process {wall:.1f} s), leftover {leftover}")
        assert status == case.status, f"status {status}, expected {case.status}"
        assert elapsed >= case.at_least, f"ended after {elapsed:.1f} s, before its time-out of {case.at_least} s"
        assert elapsed <= case.at_most, f"took {elapsed:.1f} s, more than {case.at_most} s"
        assert leftover == (0, 0), f"threads and handles left behind: {leftover}"
        if case.check:
            case.check(peer)


def main():
    if sys.argv[1:] == ["--list"]:
        print(";".join(CASES))
        return 0
    if len(sys.argv) < 4 or sys.argv[2] != "--":
        print(__doc__, file=sys.stderr)
        return 2
    try:
        run(sys.argv[1], sys.argv[3:])
    except AssertionError as failure:
        print(f"FAILED: {failure}", file=sys.stderr)
        return 1
    print("passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
