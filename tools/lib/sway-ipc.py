#!/usr/bin/env python3
# swaymsg for the tests and measuring scripts: the same command line (-t TYPE, -r, -q, the
# message) and output (JSON, indented as swaymsg prints it without a terminal; exit 2 when a
# command fails), on $SWAYSOCK. Sway's own swaymsg gives up after 3 s without an answer, which a
# sway compositing several outputs in software on a loaded machine exceeds; this one waits up to
# SWAY_IPC_WAIT seconds (60).
import json
import os
import socket
import struct
import sys

TYPES = {"command": 0, "get_workspaces": 1, "get_outputs": 3, "get_tree": 4, "get_version": 7}
MAGIC = b"i3-ipc"

kind, quiet, words = "command", False, []
arguments = sys.argv[1:]
while arguments:
    argument = arguments.pop(0)
    if argument in ("-t", "--type"):
        kind = arguments.pop(0)
    elif argument in ("-q", "--quiet"):
        quiet = True
    elif argument in ("-r", "--raw"):
        pass
    else:
        words.append(argument)
if kind not in TYPES:
    sys.exit(f"sway-ipc: unknown message type {kind}")


def read_exactly(sock, size):
    data = b""
    while len(data) < size:
        chunk = sock.recv(size - len(data))
        if not chunk:
            sys.exit("sway-ipc: sway closed the connection")
        data += chunk
    return data


try:
    sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    sock.settimeout(float(os.environ.get("SWAY_IPC_WAIT", "60")))
    sock.connect(os.environ["SWAYSOCK"])
    payload = " ".join(words).encode()
    sock.sendall(MAGIC + struct.pack("<II", len(payload), TYPES[kind]) + payload)
    length, _ = struct.unpack("<II", read_exactly(sock, 14)[len(MAGIC):])
    reply = json.loads(read_exactly(sock, length))
except (OSError, KeyError) as error:
    sys.exit(f"sway-ipc: {error!r}")
if not quiet:
    print(json.dumps(reply, indent=2))
failed = kind == "command" and not all(result.get("success") for result in reply)
sys.exit(2 if failed else 0)
