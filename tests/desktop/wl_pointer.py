#!/usr/bin/python3
"""Moves the pointer of a wlroots compositor (sway) that has no input devices, through the virtual
pointer protocol, spoken directly on the Wayland socket: a headless compositor otherwise has no
pointer a test could move. Usage: wl_pointer.py DX,DY [DX,DY ...] (each a relative move, with a
short pause between them). WAYLAND_DISPLAY and XDG_RUNTIME_DIR name the socket."""

import os
import socket
import struct
import sys
import time


class Connection:
    def __init__(self):
        path = os.path.join(os.environ["XDG_RUNTIME_DIR"], os.environ.get("WAYLAND_DISPLAY", "wayland-0"))
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, args=b""):
        self.sock.sendall(struct.pack("<II", obj, (8 + len(args)) << 16 | opcode) + args)

    def events(self):
        """Reads what has arrived until the socket is quiet: (object, opcode, payload)."""
        self.sock.settimeout(0.5)
        try:
            while True:
                chunk = self.sock.recv(65536)
                if not chunk:
                    break
                self.buffer += chunk
                if len(chunk) < 65536:
                    break
        except socket.timeout:
            pass
        while len(self.buffer) >= 8:
            obj, word = struct.unpack("<II", self.buffer[:8])
            size = word >> 16
            if len(self.buffer) < size:
                break
            yield obj, word & 0xFFFF, self.buffer[8:size]
            self.buffer = self.buffer[size:]

    def roundtrip(self):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        deadline = time.monotonic() + 5
        found = []
        while time.monotonic() < deadline:
            for event in self.events():
                found.append(event)
                if event[0] == callback:
                    return found
        raise SystemExit("the compositor does not answer")


def wl_string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def parse_global(payload):
    name, length = struct.unpack("<II", payload[:8])
    interface = payload[8:8 + length - 1].decode()
    version = struct.unpack("<I", payload[8 + ((length + 3) & ~3):][:4])[0]
    return name, interface, version


def main():
    c = Connection()
    registry = c.new_id()
    c.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}
    for obj, opcode, payload in c.roundtrip():
        if obj == registry and opcode == 0:
            name, interface, version = parse_global(payload)
            globals_[interface] = (name, version)
    if "zwlr_virtual_pointer_manager_v1" not in globals_ or "wl_seat" not in globals_:
        raise SystemExit("the compositor offers no virtual pointer")

    def bind(interface, version):
        new = c.new_id()
        c.send(registry, 0, struct.pack("<I", globals_[interface][0]) + wl_string(interface) +
               struct.pack("<II", version, new))
        return new

    seat = bind("wl_seat", 1)
    manager = bind("zwlr_virtual_pointer_manager_v1", 1)
    pointer = c.new_id()
    c.send(manager, 0, struct.pack("<II", seat, pointer))  # create_virtual_pointer
    c.roundtrip()
    time.sleep(0.3)  # the new device reaches the clients' seats first
    for move in sys.argv[1:]:
        dx, dy = (int(v) for v in move.split(","))
        stamp = int(time.monotonic() * 1000) & 0xFFFFFFFF
        c.send(pointer, 0, struct.pack("<Iii", stamp, dx * 256, dy * 256))  # motion, fixed-point
        c.send(pointer, 4)  # frame
        c.roundtrip()
        time.sleep(0.3)
    c.send(pointer, 8)  # destroy


if __name__ == "__main__":
    main()
