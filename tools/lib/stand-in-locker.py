#!/usr/bin/env python3
# A stand-in for a screen locker that runs a background program: it connects to the compositor
# ($XDG_RUNTIME_DIR/$WAYLAND_DISPLAY) and starts PROGRAM as a session leader with the connected
# descriptor in WAYLAND_SOCKET, WAYLAND_DISPLAY, DISPLAY and WAYLAND_DEBUG removed; it ends with
# the program's exit code. With --filter the program's end of a socket pair is handed over instead
# and the messages pass through here, where the registry offers no wl_seat, xdg_wm_base or
# wl_subcompositor (as the locker's own small server does), a layer surface must name its output,
# and SIGUSR1 closes the connection, as the locker does when it ends. --log FILE gets one line per
# event: "handed T", "registry T" (the first wl_registry asked for), "buffer T" (the first commit
# of a surface with a buffer), all nanoseconds of the monotonic clock; "hid INTERFACE";
# "refused WHY". --hide INTERFACE hides one more global (a server without it).
#   stand-in-locker.py [--filter [--hide INTERFACE]...] [--log FILE] PROGRAM ARGS...
import argparse
import array
import os
import select
import signal
import socket
import struct
import sys
import time

HIDDEN = {b"wl_seat", b"xdg_wm_base", b"wl_subcompositor"}
parser = argparse.ArgumentParser()
parser.add_argument("--filter", action="store_true")
parser.add_argument("--hide", action="append", default=[])
parser.add_argument("--log")
parser.add_argument("program", nargs=argparse.REMAINDER)
args = parser.parse_args()
HIDDEN |= {name.encode() for name in args.hide}
log_file = open(args.log, "a", buffering=1) if args.log else None


def note(*words):
    if log_file:
        print(*words, file=log_file)


compositor = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
compositor.connect(os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ["WAYLAND_DISPLAY"]))
if args.filter:
    mine, handed = socket.socketpair(socket.AF_UNIX, socket.SOCK_STREAM)
else:
    mine, handed = None, compositor
env = {k: v for k, v in os.environ.items()
       if k not in ("WAYLAND_DISPLAY", "WAYLAND_SOCKET", "WAYLAND_DEBUG", "DISPLAY")}
env["WAYLAND_SOCKET"] = str(handed.fileno())
note("handed", time.monotonic_ns())
child = os.fork()
if child == 0:
    os.setsid()
    os.set_inheritable(handed.fileno(), True)
    os.execve(args.program[0], args.program, env)
handed.close()
signal.signal(signal.SIGTERM, lambda *_: os.kill(child, signal.SIGTERM))


def string_at(data, at):
    """The wire's string at offset AT (length with its NUL, then bytes padded to 4) and the offset
    after it."""
    (length,) = struct.unpack_from("<I", data, at)
    return data[at + 4:at + 4 + max(length - 1, 0)], at + 4 + (length + 3) // 4 * 4


class Filter:
    """Follows the objects that matter: registries, bound globals, surfaces."""

    def __init__(self):
        self.registries = set()
        self.bound = {}  # object id: interface
        self.surfaces = set()
        self.attached = set()  # surfaces with a buffer attached since their last commit
        self.first_registry = self.first_buffer = False
        self.refused = None

    def request(self, obj, opcode, body):
        if obj == 1 and opcode == 1:  # wl_display.get_registry
            self.registries.add(struct.unpack_from("<I", body)[0])
            if not self.first_registry:
                self.first_registry = True
                note("registry", time.monotonic_ns())
        elif obj in self.registries and opcode == 0:  # wl_registry.bind
            interface, at = string_at(body, 4)
            self.bound[struct.unpack_from("<I", body, at + 4)[0]] = interface
        elif self.bound.get(obj) == b"wl_compositor" and opcode == 0:  # create_surface
            self.surfaces.add(struct.unpack_from("<I", body)[0])
        elif self.bound.get(obj) == b"zwlr_layer_shell_v1" and opcode == 0:  # get_layer_surface
            if struct.unpack_from("<III", body)[2] == 0:
                self.refused = "a layer surface with no output"
        elif obj in self.surfaces and opcode == 1 and struct.unpack_from("<I", body)[0] != 0:
            self.attached.add(obj)
        elif obj in self.attached and opcode == 6 and not self.first_buffer:
            self.first_buffer = True
            note("buffer", time.monotonic_ns())

    def event(self, obj, opcode, body):
        """Whether the event passes."""
        if obj in self.registries and opcode == 0:  # wl_registry.global
            interface, _ = string_at(body, 4)
            if interface in HIDDEN:
                note("hid", interface.decode())
                return False
        return True


def messages(buffer):
    """The whole messages at the start of BUFFER, as (id, opcode, body, bytes), and the rest."""
    found = []
    while len(buffer) >= 8:
        obj, word = struct.unpack_from("<II", buffer)
        size = word >> 16
        if size < 8 or len(buffer) < size:
            break
        found.append((obj, word & 0xFFFF, buffer[8:size], buffer[:size]))
        buffer = buffer[size:]
    return found, buffer


def receive(sock):
    fds = array.array("i")
    data, ancillary, _, _ = sock.recvmsg(65536, socket.CMSG_SPACE(253 * fds.itemsize))
    for level, kind, payload in ancillary:
        if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
            fds.frombytes(payload[:len(payload) - len(payload) % fds.itemsize])
    return data, list(fds)


def send(sock, data, fds):
    if not data:
        return fds
    ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
    sent = sock.sendmsg([data], ancillary)
    for fd in fds:
        os.close(fd)
    if sent < len(data):
        sock.sendall(data[sent:])
    return []


class Closed(Exception):
    pass


def relay():
    state = Filter()
    pending = {mine: (b"", []), compositor: (b"", [])}  # per source: bytes unparsed, fds unsent
    while True:
        for sock in select.select([mine, compositor], [], [])[0]:
            data, fds = receive(sock)
            if not data:
                return
            rest, held = pending[sock]
            whole, rest = messages(rest + data)
            held += fds
            out = b""
            for obj, opcode, body, raw in whole:
                if sock is mine:
                    state.request(obj, opcode, body)
                    out += raw
                elif state.event(obj, opcode, body):
                    out += raw
            if state.refused:
                note("refused", state.refused)
                return
            held = send(compositor if sock is mine else mine, out, held)
            pending[sock] = (rest, held)


if args.filter:
    def close_connection(*_):
        raise Closed()
    signal.signal(signal.SIGUSR1, close_connection)
    try:
        relay()
    except (Closed, ConnectionError):
        pass
    mine.close()
    compositor.close()
else:
    compositor.close()
_, status = os.waitpid(child, 0)
sys.exit(os.waitstatus_to_exitcode(status))
