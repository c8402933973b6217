#!/usr/bin/python3
"""korvel-web against the simulated system: every route, its error statuses,
each refusal of the security rules, two clients around a backup, the events
socket and the metrics.

usage: api_test.py KORVEL_WEB DOCS_FOLDER
"""
import base64
import contextlib
import http.client
import json
import os
import pathlib
import shutil
import socket
import ssl
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

import jsonschema

PROGRAM, DOCS = sys.argv[1], pathlib.Path(sys.argv[2])
FULL, READ = "f" * 8 + "0123456789abcdef", "r" * 8 + "0123456789abcdef"
OUTPUT_SCHEMA = json.loads((DOCS / "korvelctl-output.schema.json").read_text())
BACKUP_SCHEMA = json.loads((DOCS / "backup.schema.json").read_text())
RESOLVER = jsonschema.RefResolver.from_schema(
    OUTPUT_SCHEMA, store={"backup.schema.json": BACKUP_SCHEMA, BACKUP_SCHEMA["$id"]: BACKUP_SCHEMA})


def start_server(*extra, line=("--demo",)):
    folder = tempfile.mkdtemp()
    for name, token in (("full", FULL), ("read", READ)):
        pathlib.Path(folder, name).write_text(token + "\n")
    proc = subprocess.Popen(
        [PROGRAM, *line, "--listen", "127.0.0.1:0", "--token-file", f"{folder}/full",
         "--read-only-token-file", f"{folder}/read", *extra],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    line = proc.stdout.readline()
    if "port" not in line:
        raise RuntimeError("korvel-web did not start: " + line + proc.stderr.read())
    shutil.rmtree(folder)
    return proc, int(line.split()[-1])


SERVER, PORT = start_server()


def call(method, path, body=None, token=FULL, headers=None, source="127.0.0.1", port=None):
    port = port or PORT
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=60, source_address=(source, 0))
    h = {"Host": f"127.0.0.1:{port}", **(headers or {})}
    if token:
        h["Authorization"] = "Bearer " + token
    data = body if isinstance(body, (bytes, type(None))) else json.dumps(body).encode()
    conn.request(method, path, body=data, headers=h)
    r = conn.getresponse()
    raw = r.read()
    conn.close()
    try:
        return r.status, json.loads(raw), dict(r.getheaders())
    except json.JSONDecodeError:
        return r.status, raw.decode(), dict(r.getheaders())


def raw_request(data, source="127.0.0.1"):
    """The status line of the answer to bytes sent as they are."""
    s = socket.create_connection(("127.0.0.1", PORT), source_address=(source, 0), timeout=30)
    s.sendall(data)
    answer = s.recv(4096).decode(errors="replace")
    s.close()
    return int(answer.split()[1]) if answer else None


class EventSocket:
    """A WebSocket client, a few lines over a raw socket."""

    def __init__(self, query="", origin=None, port=None):
        port = port or PORT
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=30)
        key = base64.b64encode(os.urandom(16)).decode()
        extra = f"Origin: {origin}\r\n" if origin else ""
        self.sock.sendall(f"GET /api/events{query} HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n"
                          f"Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                          f"Sec-WebSocket-Version: 13\r\n{extra}\r\n".encode())
        self.buffer = b""
        while b"\r\n\r\n" not in self.buffer:
            chunk = self.sock.recv(4096)
            if not chunk:
                break
            self.buffer += chunk
        head, _, self.buffer = self.buffer.partition(b"\r\n\r\n")
        self.status = int(head.split()[1]) if head else None

    def send(self, text):
        payload, mask = text.encode(), os.urandom(4)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(bytes([0x81, 0x80 | len(payload)]) + mask + masked)

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise EOFError
            self.buffer += chunk
        out, self.buffer = self.buffer[:n], self.buffer[n:]
        return out

    def receive(self):
        """The next message: a JSON object, or ("close", code)."""
        first, second = self._read(2)
        n = second & 0x7F
        if n == 126:
            n = struct.unpack(">H", self._read(2))[0]
        elif n == 127:
            n = struct.unpack(">Q", self._read(8))[0]
        payload = self._read(n)
        if first & 0x0F == 8:
            return ("close", struct.unpack(">H", payload[:2])[0] if len(payload) >= 2 else None)
        return json.loads(payload)

    def until(self, predicate):
        while True:
            m = self.receive()
            if isinstance(m, tuple) or predicate(m):
                return m


class FakeController:
    """A controller on loopback that answers every request frame with an empty
    frame; it can drop its line and stop taking calls, hang up on every call,
    and take calls again."""

    EMPTY_ANSWER = b"\x08\xf8"

    def __init__(self):
        self.listener, self.lines, self.port = None, [], 0
        self.listen()

    def listen(self, answering=True):
        self.drop()
        self.listener = socket.create_server(("127.0.0.1", self.port))
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, args=(self.listener, answering), daemon=True).start()

    def drop(self):
        # shutdown, not close alone: it wakes the threads blocked on the sockets.
        for s in [self.listener] * bool(self.listener) + self.lines:
            with contextlib.suppress(OSError):
                s.shutdown(socket.SHUT_RDWR)
            s.close()
        self.listener, self.lines = None, []

    def _accept(self, listener, answering):
        while True:
            try:
                line = listener.accept()[0]
            except OSError:
                return
            if not answering:
                line.close()
                continue
            self.lines.append(line)
            threading.Thread(target=self._answer, args=(line,), daemon=True).start()

    def _answer(self, line):
        # A frame: a header byte with bit 7 clear whose bits 0-2 count the
        # data bytes, then those and a check byte, all with bit 7 set.
        buffer = b""
        while True:
            try:
                chunk = line.recv(4096)
            except OSError:
                return
            if not chunk:
                return
            buffer += chunk
            while True:
                buffer = buffer.lstrip(bytes(range(0x80, 0x100)))
                if not buffer or len(buffer) < (buffer[0] & 7) + 2:
                    break
                buffer = buffer[(buffer[0] & 7) + 2:]
                line.sendall(self.EMPTY_ANSWER)


def valid(test, document):
    """The body against korvelctl's output schema and its command's entry."""
    schemas = [OUTPUT_SCHEMA]
    name = document.get("command", "").replace(" ", "-")
    if name in OUTPUT_SCHEMA["$defs"]:
        schemas.append(dict(OUTPUT_SCHEMA, **{"$ref": "#/$defs/" + name}))
    for schema in schemas:
        errors = [e.message for e in jsonschema.Draft202012Validator(schema, resolver=RESOLVER)
                  .iter_errors(document)]
        test.assertEqual(errors, [], document)


def backup_file():
    status, body, headers = call("GET", "/api/backup")
    assert status == 200 and body["format"] == "korvelctl-backup", body
    return body, headers


# Every route that succeeds on the demo system: method, path, body, whether it
# writes (the read-only token is refused there), and members of its answer.
ROUTES = [
    ("GET", "/api/kx/settings", None, False, {"command": "kx settings"}),
    ("POST", "/api/status", None, False, {"command": "status", "view": "standard"}),
    ("POST", "/api/status", {"classic": True}, False, {"command": "status", "view": "classic"}),
    ("GET", "/api/kx/2.1?permanent=1", None, False,
     {"command": "kx get", "module": "kx:2.1", "type": "KX44", "permanent": True}),
    ("PUT", "/api/kx/0/hfi", {"value": 5}, True,
     {"command": "kx set", "modules": [{"module": "kx:0", "reported": 5, "confirmed": True}]}),
    ("PUT", "/api/kx/All_KX44/ocd", {"value": "slow", "permanent": True}, True,
     {"command": "kx set", "setting": "ocd", "permanent": True}),
    ("POST", "/api/kx/5/erase", None, True, {"command": "kx erase", "erased": ["kx:5"]}),
    ("POST", "/api/kx/ms-check", None, False,
     {"command": "kx ms-check", "verdict": "Your master/slave settings are OK"}),
    ("GET", "/api/zr/1/report", None, False, {"command": "zr report", "module": "zr:1"}),
    ("PUT", "/api/zr/1/default-time", {"value": 12}, True,
     {"command": "zr set", "setting": "default-time", "value": 12, "modules": ["zr:1"]}),
    ("PUT", "/api/zr/All/device/5/time", {"value": 30, "permanent": True}, True,
     {"command": "zr set", "setting": "device 5 time", "modules": ["zr:1", "zr:6"]}),
    ("PUT", "/api/zr/1/device/5/power", {"value": "High"}, True,
     {"command": "zr set", "setting": "device 5 power", "value": 2}),
    ("POST", "/api/zr/6/erase", None, True, {"command": "zr erase", "erased": ["zr:6"]}),
    ("GET", "/api/vg", None, False, {"command": "vg offer", "unit": "VG-U"}),
    ("PUT", "/api/vg", {"config": [4], "options": [1, 6]}, True,
     {"command": "vg set", "options": {"bits": [1, 6]}}),
    ("POST", "/api/reset-fault", None, True, {"command": "reset-fault", "sent": "Reset Fault"}),
    ("POST", "/api/test", {"group": "f5..f8", "on": ["f6"], "decoder": 3}, True,
     {"command": "test", "group": "F5..F8", "on": ["F6"], "decoder": 3, "block": 0}),
    ("POST", "/api/restore?dry-run=1", "BACKUP", False, {"command": "restore"}),
    ("POST", "/api/verify?only=kx:0", "BACKUP", False, {"command": "verify"}),
    ("POST", "/api/restore?only=zr:1", "BACKUP", True, {"command": "restore"}),
]

# Requests korvelctl would refuse or fail, with the status and error code.
ERRORS = [
    ("GET", "/api/kx/16", None, 400, "usage"),
    ("GET", "/api/kx/All_KX44", None, 400, "usage"),
    ("GET", "/api/kx/9", None, 404, "not-registered"),
    ("PUT", "/api/kx/0/bogus", {"value": 1}, 400, "usage"),
    ("PUT", "/api/kx/0/hfi", {"value": 999}, 400, "usage"),
    ("PUT", "/api/kx/0/hfi", {"valeur": 1}, 400, "usage"),
    ("PUT", "/api/kx/0/hfi", b"not json", 400, "usage"),
    ("PUT", "/api/zr/8/default-time", {"value": 1}, 400, "usage"),
    ("PUT", "/api/zr/1/device/64/time", {"value": 1}, 400, "usage"),
    ("PUT", "/api/zr/1/device/5/power", {"value": "Max"}, 400, "usage"),
    ("GET", "/api/zr/3/report", None, 404, "not-registered"),
    ("PUT", "/api/vg", {}, 400, "usage"),
    ("POST", "/api/test", {"group": "F5..F8", "on": ["F1"]}, 400, "usage"),
    ("POST", "/api/verify", b"{}", 400, "usage"),
    ("POST", "/api/restore?map=kx:0=zr:1&dry-run=1", "BACKUP", 400, "usage"),
    ("POST", "/api/verify", "CHANGED", 422, "differences"),
    ("GET", "/api/nothing", None, 404, "not-found"),
    ("DELETE", "/api/run", None, 404, "not-found"),
]


class Api(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.backup, cls.backup_headers = backup_file()
        changed = json.loads(json.dumps(cls.backup))
        kx0 = next(m for m in changed["modules"] if m["module"] == "kx:0")
        kx0["permanent"]["hfi"] = 1 + kx0["permanent"]["hfi"] % 7
        cls.bodies = {"BACKUP": cls.backup, "CHANGED": changed}

    def test_every_route_answers_korvelctl_s_object(self):
        for method, path, body, _, members in ROUTES:
            with self.subTest(path=path):
                status, document, _ = call(method, path, self.bodies.get(body, body)
                                           if isinstance(body, str) else body)
                self.assertEqual((status, document.get("exit")), (200, 0), document)
                self.assertEqual({k: document.get(k) for k in members}, members)
                valid(self, document)

    def test_backup_is_a_download_of_a_valid_file(self):
        self.assertIn("attachment", self.backup_headers["Content-Disposition"])
        errors = list(jsonschema.Draft202012Validator(BACKUP_SCHEMA).iter_errors(self.backup))
        self.assertEqual(errors, [])

    def test_errors_carry_korvelctl_s_error_object_and_a_fitting_status(self):
        for method, path, body, status, code in ERRORS:
            with self.subTest(path=path, body=body):
                got, document, _ = call(method, path, self.bodies.get(body, body)
                                        if isinstance(body, str) else body)
                self.assertEqual((got, document["error"]["code"]), (status, code), document)
                if "command" in document:
                    valid(self, document)

    def test_read_only_token_reads_and_never_writes(self):
        for method, path, body, writes, _ in ROUTES:
            with self.subTest(path=path):
                status, _, _ = call(method, path, self.bodies.get(body, body)
                                    if isinstance(body, str) else body, token=READ)
                self.assertEqual(status, 403 if writes else 200)
        self.assertEqual(call("DELETE", "/api/run", token=READ)[0], 403)


class Security(unittest.TestCase):
    def test_refusals(self):
        big = f"POST /api/verify HTTP/1.1\r\nHost: 127.0.0.1:{PORT}\r\nContent-Length: {4 * 2**20 + 1}\r\n\r\n"
        cases = [
            ("no token", call("POST", "/api/status", token=None)[0], 401),
            ("wrong token", call("POST", "/api/status", token=FULL[:-1] + "x")[0], 401),
            ("foreign Host", call("POST", "/api/status", headers={"Host": "evil.example"})[0], 421),
            ("foreign Host for the page", call("GET", "/", token=None, headers={"Host": "evil.example:80"})[0], 421),
            ("localhost", call("GET", "/", token=None, headers={"Host": f"localhost:{PORT}"})[0], 200),
            ("body over 4 MiB, refused before it is sent", raw_request(big.encode()), 413),
            ("headers over 16 KiB", raw_request(f"GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX: {'a' * 17000}\r\n\r\n".encode()), 431),
            ("chunked body", raw_request(b"POST /api/verify HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n"), 411),
            ("metrics without a token", call("GET", "/metrics", token=None)[0], 401),
            ("events without upgrade", call("GET", "/api/events")[0], 426),
        ]
        for name, got, expected in cases:
            with self.subTest(name):
                self.assertEqual(got, expected)

    def test_beyond_loopback_warns_and_answers_the_allowed_names(self):
        server, port = start_server("--listen", "0.0.0.0:0", "--allow-host", "korvel.example")
        try:
            warning = server.stderr.readline()
            self.assertIn("in clear", warning)
            self.assertIn("ssh -L", warning)
            hosts = [("korvel.example", 200), (f"korvel.example:{port}", 200),
                     ("127.0.0.1", 200), ("other.example", 421)]
            for host, expected in hosts:
                with self.subTest(host):
                    self.assertEqual(call("GET", "/", token=None, headers={"Host": host},
                                          port=port)[0], expected)
        finally:
            server.terminate()
            server.wait()

    def test_https_with_a_certificate(self):
        folder = tempfile.mkdtemp()
        try:
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                            "-subj", "/CN=127.0.0.1", "-keyout", f"{folder}/key.pem",
                            "-out", f"{folder}/cert.pem"], check=True, capture_output=True)
            server, port = start_server("--cert", f"{folder}/cert.pem", "--key", f"{folder}/key.pem")
        finally:
            shutil.rmtree(folder)
        try:
            conn = http.client.HTTPSConnection("127.0.0.1", port, timeout=60,
                                               context=ssl._create_unverified_context())
            conn.request("POST", "/api/kx/ms-check", headers={"Authorization": "Bearer " + READ})
            self.assertEqual(conn.getresponse().status, 200)
        finally:
            server.terminate()
            server.wait()

    def test_no_cors_headers(self):
        headers = call("POST", "/api/status", headers={"Origin": "http://evil.example"})[2]
        self.assertEqual([h for h in headers if h.lower().startswith("access-control")], [])

    def test_events_socket_refusals(self):
        cases = [
            ("foreign Origin", EventSocket(f"?token={FULL}", origin="http://evil.example").status, 403),
            ("wrong token in the query", EventSocket("?token=" + "x" * 32).status, 401),
        ]
        for name, got, expected in cases:
            with self.subTest(name):
                self.assertEqual(got, expected)
        wrong = EventSocket(origin=f"http://127.0.0.1:{PORT}")
        wrong.send(json.dumps({"token": "y" * 32}))
        self.assertEqual(wrong.receive(), ("close", 1008))
        chatty = EventSocket(f"?token={FULL}")
        for _ in range(25):
            chatty.send("{}")
        self.assertEqual(chatty.until(lambda m: False), ("close", 1008))

    def test_failed_tokens_lock_the_address_out_for_a_minute(self):
        # From an address of its own, so the other tests' address stays welcome.
        statuses = [call("POST", "/api/status", token="z" * 32, source="127.0.0.2")[0] for _ in range(11)]
        self.assertEqual(statuses, [401] * 10 + [429])
        self.assertEqual(call("POST", "/api/status", source="127.0.0.2")[0], 429)
        self.assertEqual(call("POST", "/api/status")[0], 200)

    def test_open_connections_are_bounded(self):
        held = [socket.create_connection(("127.0.0.1", PORT)) for _ in range(70)]
        try:
            answers = []
            for s in held[-3:]:
                s.settimeout(5)
                try:
                    answers.append(s.recv(64).split(b" ")[1])
                except (socket.timeout, IndexError):
                    answers.append(None)
            self.assertEqual(answers, [b"503"] * 3)
        finally:
            for s in held:
                s.close()
        # The server frees them as it sees them closed.
        self.assertIn(200, (call("GET", "/", token=None)[0] for _ in range(200)))


class Queue(unittest.TestCase):
    def test_a_write_during_a_backup_gets_409_and_a_read_waits_for_it(self):
        events = EventSocket(f"?token={READ}")
        self.assertEqual(events.receive()["type"], "hello")
        finished = []
        backup = threading.Thread(target=lambda: finished.append(("backup", call("GET", "/api/backup")[0])))
        backup.start()
        started = events.until(lambda m: m["type"] == "run")
        self.assertEqual((started["run"], started["state"]), ("backup", "started"))
        status, document, _ = call("PUT", "/api/kx/0/hfi", {"value": 3})
        self.assertEqual(status, 409)
        self.assertTrue(document["error"]["message"].startswith(
            "a backup is running, started at " + started["started"]), document)
        finished.append(("read", call("GET", "/api/kx/0")[0]))
        backup.join()
        self.assertEqual(finished, [("backup", 200), ("read", 200)])

    def test_cancel_stops_the_run(self):
        events = EventSocket(f"?token={FULL}")
        result = []
        backup = threading.Thread(target=lambda: result.append(call("GET", "/api/backup")))
        backup.start()
        events.until(lambda m: m["type"] == "progress")
        self.assertEqual(call("DELETE", "/api/run")[0], 202)
        backup.join()
        status, document, _ = result[0]
        self.assertEqual((status, document["error"]["code"]), (409, "stopped"))
        self.assertFalse([i for i in document["items"] if i["kind"] == "saved"])
        valid(self, document)


class Events(unittest.TestCase):
    def test_log_lines_and_module_states_reach_every_page(self):
        # A server of its own, whose first status request changes every module.
        server, port = start_server()
        try:
            pages = [EventSocket(f"?token={FULL}", port=port), EventSocket(port=port)]
            pages[1].send(json.dumps({"token": READ}))
            for page in pages:
                self.assertEqual(page.receive(), {"type": "hello", "read-only": page is pages[1],
                                                  "run": {"run": None}, "line": "up"})
            modules = call("POST", "/api/status", port=port)[1]["modules"]
            for page in pages:
                log = page.until(lambda m: m["type"] == "log")
                self.assertRegex(log["line"], r"^\d\d:\d\d:\d\d\.\d{3}  ")
                told = [page.until(lambda m: m["type"] == "module") for _ in modules]
                self.assertEqual([m["module"] for m in told], [m["module"] for m in modules])
                self.assertEqual(told[0]["type-name"], modules[0]["type"])
            # Unchanged modules are not told again: up to the end of a backup,
            # whose own status request changes nothing, no module event comes.
            call("POST", "/api/status", port=port)
            call("GET", "/api/backup", port=port)
            seen = []
            pages[0].until(lambda m: seen.append(m["type"]) or m.get("state") == "ended")
            self.assertNotIn("module", seen)
            self.assertIn("progress", seen)
        finally:
            server.terminate()
            server.wait()

    def test_a_lost_line_is_told_once_and_a_status_request_works_when_it_is_back(self):
        controller = FakeController()
        server, port = start_server(line=("-p", f"tcp://127.0.0.1:{controller.port}"))
        try:
            pages = [EventSocket(f"?token={FULL}", port=port) for _ in range(2)]
            for page in pages:
                self.assertEqual(page.receive()["line"], "up")
            # Empty answers only: the line is up, but no module answers.
            steps = [("answering", None, 504, "no-answer"),
                     ("dropped", controller.drop, 503, "line-lost"),
                     ("taking no calls", None, 503, "port"),
                     ("hanging up", lambda: controller.listen(answering=False), 503, "line-lost"),
                     ("back", controller.listen, 504, "no-answer")]
            for name, action, expected, code in steps:
                if action:
                    action()
                status, document, _ = call("POST", "/api/status", port=port)
                with self.subTest(name):
                    self.assertEqual((status, document["error"]["code"]), (expected, code), document)
            for page in pages:
                told = []
                page.until(lambda m: m["type"] == "line" and told.append(m) or m.get("state") == "back")
                self.assertEqual(told, [{"type": "line", "state": "lost"}, {"type": "line", "state": "back"}])
        finally:
            server.terminate()
            server.wait()
            controller.drop()

    def test_metrics_pass_promtool(self):
        status, text, headers = call("GET", "/metrics", token=READ)
        self.assertEqual(status, 200)
        self.assertIn('korvel_module_answering{module="kx:2.1",type="KX44"} 1', text)
        self.assertRegex(text, r"\nkorvel_exchanges_total [1-9]")
        check = subprocess.run(["promtool", "check", "metrics"], input=text, text=True,
                               capture_output=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)


# A module of each KX type on the demo system.
TYPE_MODULES = {"KX-H": "0", "KX44": "2.1", "WOBE-s": "3"}
# How the table spells a few rows the page shows: caption, the selectors' words
# and, for a choice, its options.
TABLE_ROWS = [
    ("alarm-delay", "Alarm-delay", ["off"], None),
    ("switch-delay --on --bank 1", "Switch-delay", ["on", "bank 1"], None),
    ("loop-current --loop B", "Loop Current", ["loop B"], None),
    ("ocd", "OCD-mode", [], [[0, "Fast"], [1, "Moderate"], [2, "Slow"]]),
]


class Tables(unittest.TestCase):
    """The tables the page builds its forms from, held to what the routes do."""

    @classmethod
    def setUpClass(cls):
        cls.table = {row["name"]: row for row in call("GET", "/api/kx/settings", token=READ)[1]["settings"]}

    def put(self, module, name, value):
        return call("PUT", f"/api/kx/{module}/{name.replace(' ', '%20')}", {"value": value})

    def test_each_type_offers_what_a_module_of_it_reports(self):
        for kind, module in TYPE_MODULES.items():
            with self.subTest(kind):
                reported = call("GET", f"/api/kx/{module}")[1]["settings"]
                self.assertEqual(sorted(reported), sorted(n for n, r in self.table.items() if kind in r["offered-on"]))

    def test_the_range_is_what_a_write_takes(self):
        for name, row in self.table.items():
            module = next(TYPE_MODULES[k] for k in TYPE_MODULES if k in row["settable-on"])
            values = [o["value"] for o in row.get("options", [])] or [row["minimum"], row["maximum"]]
            with self.subTest(name):
                self.assertEqual([self.put(module, name, v)[0] for v in values], [200] * len(values))
                self.assertEqual([self.put(module, name, v)[0] for v in (row["minimum"] - 1, row["maximum"] + 1)],
                                 [400, 400])

    def test_only_a_kx44_s_master_slave_mode_is_read_only(self):
        read_only = [(n, k) for n, r in self.table.items() for k in r["offered-on"] if k not in r["settable-on"]]
        self.assertEqual(read_only, [("ms", "KX44")])
        status, document, _ = self.put(TYPE_MODULES["KX44"], "ms", 0)
        self.assertEqual((status, document["error"]["code"]), (400, "usage"))

    def test_rows_as_the_page_shows_them(self):
        for name, caption, words, options in TABLE_ROWS:
            with self.subTest(name):
                row = self.table[name]
                got = [[o["value"], o["caption"]] for o in row["options"]] if "options" in row else None
                self.assertEqual((row["caption"], row["words"], got), (caption, words, options))

    def test_the_vg_bits_offered_are_the_bits_vg_set_takes(self):
        offer = call("GET", "/api/vg", token=READ)[1]
        for frame in ("config", "options"):
            offered = [b["bit"] for b in offer[frame]["bits"]]
            with self.subTest(frame):
                self.assertEqual(call("PUT", "/api/vg", {frame: offered})[0], 200)
                refused = [b for b in range(8) if call("PUT", "/api/vg", {frame: [b]})[0] == 400]
                self.assertEqual(sorted(offered + refused), list(range(8)))


if __name__ == "__main__":
    try:
        unittest.main(argv=sys.argv[:1], verbosity=2)
    finally:
        SERVER.terminate()
        SERVER.wait()
