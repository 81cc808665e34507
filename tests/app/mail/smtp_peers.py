"""Mail peers for the sender's tests and benchmark, all on free loopback ports of this machine:
aiosmtpd as a real server, a scripted asyncio server that misbehaves on purpose, and a listener whose
backlog is full so that connects to it never complete."""
import asyncio
import socket
import threading

from aiosmtpd.controller import Controller


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class ReceivedMail:
    """aiosmtpd handler that keeps every envelope it accepts."""

    def __init__(self):
        self.envelopes = []

    async def handle_DATA(self, server, session, envelope):
        self.envelopes.append(envelope)
        return "250 Message accepted for delivery"


class RealServer:
    def __init__(self):
        self.mail = ReceivedMail()
        self.controller = Controller(self.mail, hostname="127.0.0.1", port=free_port())

    def __enter__(self):
        self.controller.start()
        return self

    def __exit__(self, *exc):
        self.controller.stop()

    @property
    def port(self):
        return self.controller.port


DEFAULT_REPLIES = {
    "HELO": "250 hello\r\n",
    "RSET": "250 reset\r\n",
    "MAIL": "250 sender ok\r\n",
    "RCPT": "250 recipient ok\r\n",
    "DATA": "354 go ahead\r\n",
    "NOOP": "250 ok\r\n",
    "QUIT": "221 bye\r\n",
}


class ScriptedServer:
    """Answers by a script: the greeting (None: none), a reply per command word ("drop" closes the
    connection, "silent" answers nothing), the reply to the end of the data (or "drop"), and whether every reply
    is dripped one byte per 100 ms. Keeps what it received: "CONNECT", each command line, and the raw
    data lines."""

    def __init__(self, greeting="220 scripted server\r\n", replies=None, data_end="250 queued\r\n", drip=False):
        self.greeting = greeting
        self.replies = dict(DEFAULT_REPLIES, **(replies or {}))
        self.data_end = data_end
        self.drip = drip
        self.log = []
        self.data = b""
        self.port = free_port()
        self._loop = asyncio.new_event_loop()
        self._ready = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        if not self._ready.wait(10):
            raise RuntimeError("the scripted server did not start")
        return self

    def __exit__(self, *exc):
        self._loop.call_soon_threadsafe(self._stop.set)
        self._thread.join(10)

    def commands(self):
        return [entry for entry in self.log if entry != "CONNECT"]

    def _run(self):
        asyncio.set_event_loop(self._loop)
        self._loop.run_until_complete(self._serve())
        self._loop.close()

    async def _serve(self):
        self._stop = asyncio.Event()
        server = await asyncio.start_server(self._session, "127.0.0.1", self.port)
        self._ready.set()
        async with server:
            await self._stop.wait()

    async def _say(self, writer, text):
        if self.drip:
            for byte in text.encode("latin-1"):
                writer.write(bytes([byte]))
                await writer.drain()
                await asyncio.sleep(0.1)
        else:
            writer.write(text.encode("latin-1"))
            await writer.drain()

    async def _session(self, reader, writer):
        self.log.append("CONNECT")
        try:
            if self.greeting is not None:
                await self._say(writer, self.greeting)
            in_data = False
            while True:
                line = await reader.readline()
                if not line:
                    break
                if in_data:
                    if line == b".\r\n":
                        in_data = False
                        if self.data_end == "drop":
                            break
                        await self._say(writer, self.data_end)
                    else:
                        self.data += line
                    continue
                command = line.decode("latin-1")
                self.log.append(command)
                reply = self.replies.get(command[:4].upper(), "500 unknown\r\n")
                if reply == "drop":
                    break
                if reply == "silent":
                    continue
                await self._say(writer, reply)
                if command.upper().startswith("DATA") and reply.startswith("354"):
                    in_data = True
                if command.upper().startswith("QUIT"):
                    break
        except ConnectionError:
            pass
        finally:
            writer.close()


class FullBacklog:
    """A listener that never accepts, with its backlog filled by connections of its own: a further
    connect gets no answer at all."""

    def __enter__(self):
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(0)
        self.port = self.listener.getsockname()[1]
        self.fillers = []
        for _ in range(4):
            filler = socket.socket()
            filler.setblocking(False)
            filler.connect_ex(("127.0.0.1", self.port))
            self.fillers.append(filler)
        return self

    def __exit__(self, *exc):
        for filler in self.fillers:
            filler.close()
        self.listener.close()
