#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Clicks at a point of a wlroots compositor's screen through a virtual pointer.

    wayland-pointer.py X Y WIDTH HEIGHT [HOLD]

A headless compositor has no input devices, so its seat offers no pointer and
clients never bind one. This client speaks the Wayland wire protocol itself
(no bindings are needed), creates a pointer with the compositor's
zwlr_virtual_pointer_manager_v1, moves it to X,Y of a WIDTH x HEIGHT layout,
clicks the left button there and keeps the device for HOLD seconds (default
3), so that what the click opened is not closed by the pointer leaving the
seat. WAYLAND_DISPLAY names the socket (an absolute path or one below
XDG_RUNTIME_DIR). Exits 1 when the compositor offers no virtual pointer.
"""

import os
import socket
import struct
import sys
import time

BUTTON_LEFT = 0x110


def string_argument(text):
    data = text.encode() + b"\0"
    padding = (4 - len(data) % 4) % 4
    return struct.pack("<I", len(data)) + data + b"\0" * padding


class Connection:
    def __init__(self, path):
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.connect(path)
        self.buffer = b""
        self.next_id = 2

    def new_id(self):
        object_id = self.next_id
        self.next_id += 1
        return object_id

    def send(self, object_id, opcode, payload=b""):
        header = struct.pack("<II", object_id, ((8 + len(payload)) << 16) | opcode)
        self.socket.sendall(header + payload)

    def events(self):
        while True:
            while len(self.buffer) >= 8:
                object_id, word = struct.unpack_from("<II", self.buffer)
                size = word >> 16
                if len(self.buffer) < size:
                    break
                payload = self.buffer[8:size]
                self.buffer = self.buffer[size:]
                yield object_id, word & 0xFFFF, payload
            chunk = self.socket.recv(65536)
            if not chunk:
                raise ConnectionError("the compositor closed the connection")
            self.buffer += chunk

    def roundtrip(self, on_event=lambda *event: None):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        for object_id, opcode, payload in self.events():
            if object_id == callback:
                return
            if object_id == 1 and opcode == 0:  # wl_display.error
                raise RuntimeError("protocol error: %r" % payload)
            on_event(object_id, opcode, payload)


def socket_path():
    display = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
    if display.startswith("/"):
        return display
    return os.path.join(os.environ["XDG_RUNTIME_DIR"], display)


def main():
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__)
    x, y, width, height = (int(argument) for argument in sys.argv[1:5])
    hold = float(sys.argv[5]) if len(sys.argv) == 6 else 3.0
    connection = Connection(socket_path())
    registry = connection.new_id()
    connection.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_by_interface = {}

    def on_global(object_id, opcode, payload):
        if object_id == registry and opcode == 0:
            name, length = struct.unpack_from("<II", payload)
            interface = payload[8 : 8 + length - 1].decode()
            globals_by_interface[interface] = name

    connection.roundtrip(on_global)
    interface = "zwlr_virtual_pointer_manager_v1"
    if interface not in globals_by_interface:
        print("the compositor offers no %s" % interface, file=sys.stderr)
        sys.exit(1)
    manager = connection.new_id()
    connection.send(
        registry,
        0,
        struct.pack("<I", globals_by_interface[interface])
        + string_argument(interface)
        + struct.pack("<II", 1, manager),
    )
    pointer = connection.new_id()
    connection.send(manager, 0, struct.pack("<II", 0, pointer))  # no seat: the default one
    connection.roundtrip()

    def milliseconds():
        return int(time.monotonic() * 1000) & 0xFFFFFFFF

    def move(to_x):
        connection.send(pointer, 1, struct.pack("<IIIII", milliseconds(), to_x, y, width, height))
        connection.send(pointer, 4, struct.pack("<I", milliseconds()))  # frame
        connection.roundtrip()

    # Clients bind the pointer only once the seat announces it, and take the
    # pointer's focus from a motion: give them time for both before clicking.
    time.sleep(0.5)
    move(x - 1)
    time.sleep(0.2)
    move(x)
    time.sleep(0.2)
    for state in (1, 0):
        connection.send(pointer, 2, struct.pack("<III", milliseconds(), BUTTON_LEFT, state))
        connection.send(pointer, 4, struct.pack("<I", milliseconds()))
        connection.roundtrip()
        time.sleep(0.1)
    time.sleep(hold)
    connection.send(pointer, 8)  # destroy
    connection.roundtrip()


if __name__ == "__main__":
    main()
