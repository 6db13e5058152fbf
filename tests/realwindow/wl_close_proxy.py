#!/usr/bin/env python3
"""A Wayland connection relay that can send the client the compositor's close request.

Weston's headless backend has no input, and weston itself never asks a window to close,
so the test stands between Kanavox and weston: every byte and file descriptor passes
unchanged, the client's xdg_toplevel objects are noted, and on SIGUSR1 each of them gets
the xdg_toplevel.close event a compositor sends when the user closes the window. It prints
"toplevel N" for each toplevel made and "frame" at the client's first commit of a drawn
buffer once it has one, so that the test knows when the window is on the screen. On
SIGUSR2 the compositor gets, for each of them, the request to maximise it that a click on
a client-drawn maximise button sends. The client's size limits, window geometry, move and
maximise requests, the compositor's configure events for its toplevels, and the point in
surface coordinates where the pointer enters or moves, or that it left, are logged.

Usage: wl_close_proxy.py <listen socket> <weston socket>
"""
import os
import select
import signal
import socket
import struct
import sys

XDG_TOPLEVEL_CLOSE = 1
XDG_TOPLEVEL_CONFIGURE = 0
XDG_TOPLEVEL_SET_MAXIMIZED = 9
XDG_SURFACE_ACK_CONFIGURE = 4
XDG_SURFACE_SET_WINDOW_GEOMETRY = 3
XDG_TOPLEVEL_REQUESTS = {5: "move", 7: "set_max_size", 8: "set_min_size", 9: "set_maximized", 10: "unset_maximized"}
XDG_TOPLEVEL_STATES = {1: "maximized", 2: "fullscreen", 3: "resizing", 4: "activated"}
WL_POINTER_ENTER = 0
WL_POINTER_LEAVE = 1
WL_POINTER_MOTION = 2
FDS_MAX = 28


def main():
    listen_path, upstream_path = sys.argv[1], sys.argv[2]
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(listen_path)
    server.listen(1)
    close_wanted = []
    signal.signal(signal.SIGUSR1, lambda *_: close_wanted.append(True))
    maximise_wanted = []
    signal.signal(signal.SIGUSR2, lambda *_: maximise_wanted.append(True))
    print("ready", flush=True)
    while True:
        try:
            client, _ = server.accept()
            # The program first knocks to see that a compositor is there, and hangs up
            # without a word; the connection to relay is the one that speaks.
            if client.recv(1, socket.MSG_PEEK):
                break
            client.close()
        except InterruptedError:
            continue
    upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    upstream.connect(upstream_path)

    interfaces = {1: "wl_display"}  # client object id -> interface
    toplevels = []
    drawn = set()  # surfaces with a buffer attached
    framed = []
    to_client = b""
    to_server_seen = b""

    def note_requests(data):
        """Notes the whole requests in data; returns the bytes to pass on."""
        nonlocal to_server_seen
        to_server_seen += data
        passed = b""
        while len(to_server_seen) >= 8:
            obj, word = struct.unpack_from("<II", to_server_seen)
            size, opcode = word >> 16, word & 0xFFFF
            if size < 8 or len(to_server_seen) < size:
                break
            body = to_server_seen[8:size]
            iface = interfaces.get(obj)
            if iface == "wl_display" and opcode == 1:  # get_registry(new_id)
                interfaces[struct.unpack_from("<I", body)[0]] = "wl_registry"
            elif iface == "wl_registry" and opcode == 0:  # bind(name, interface, version, id)
                n = struct.unpack_from("<I", body, 4)[0]
                name = body[8:8 + n - 1].decode()
                at = 8 + (n + 3) // 4 * 4 + 4
                interfaces[struct.unpack_from("<I", body, at)[0]] = name
            elif iface == "xdg_wm_base" and opcode == 2:  # get_xdg_surface(id, surface)
                interfaces[struct.unpack_from("<I", body)[0]] = "xdg_surface"
            elif iface == "xdg_surface" and opcode == 1:  # get_toplevel(id)
                toplevel = struct.unpack_from("<I", body)[0]
                interfaces[toplevel] = "xdg_toplevel"
                toplevels.append(toplevel)
                print("toplevel %d" % toplevel, flush=True)
            elif iface == "xdg_toplevel" and opcode in XDG_TOPLEVEL_REQUESTS:
                print(XDG_TOPLEVEL_REQUESTS[opcode], *struct.unpack_from("<%di" % (len(body) // 4), body), flush=True)
            elif iface == "xdg_surface" and opcode == XDG_SURFACE_SET_WINDOW_GEOMETRY:
                print("geometry", *struct.unpack_from("<4i", body), flush=True)
            elif iface == "xdg_surface" and opcode == XDG_SURFACE_ACK_CONFIGURE:
                print("ack_configure", flush=True)
            elif iface == "wl_seat" and opcode == 0:  # get_pointer(id)
                interfaces[struct.unpack_from("<I", body)[0]] = "wl_pointer"
            elif iface == "wl_compositor" and opcode == 0:  # create_surface(id)
                interfaces[struct.unpack_from("<I", body)[0]] = "wl_surface"
            elif iface == "wl_surface" and opcode == 1:  # attach(buffer, x, y)
                if struct.unpack_from("<I", body)[0]:
                    drawn.add(obj)
                else:
                    drawn.discard(obj)
            elif iface == "wl_surface" and opcode == 6:  # commit
                if obj in drawn and toplevels and not framed:
                    framed.append(obj)
                    print("frame", flush=True)
            passed += to_server_seen[:size]
            to_server_seen = to_server_seen[size:]
        return passed

    def note_events(data):
        at = 0
        while at < len(data):
            obj, word = struct.unpack_from("<II", data, at)
            if interfaces.get(obj) == "wl_pointer" and word & 0xFFFF in (WL_POINTER_ENTER, WL_POINTER_MOTION):
                # Both end in the point's surface coordinates, in 24.8 fixed point.
                x, y = struct.unpack_from("<ii", data, at + (word >> 16) - 8)
                print("pointer %d %d" % (x // 256, y // 256), flush=True)
            elif interfaces.get(obj) == "wl_pointer" and word & 0xFFFF == WL_POINTER_LEAVE:
                print("pointer left", flush=True)
            if obj in toplevels and word & 0xFFFF == XDG_TOPLEVEL_CONFIGURE:
                width, height, n = struct.unpack_from("<iiI", data, at + 8)
                states = struct.unpack_from("<%dI" % (n // 4), data, at + 20)
                print("configure %d %d" % (width, height), *(XDG_TOPLEVEL_STATES.get(x, str(x)) for x in states), flush=True)
            at += word >> 16

    def receive(sock):
        try:
            data, anc, _, _ = sock.recvmsg(65536, socket.CMSG_SPACE(FDS_MAX * 4))
        except ConnectionResetError:  # the program ended with bytes unread: as a hang-up
            return b"", []
        fds = []
        for level, kind, payload in anc:
            if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
                fds += list(struct.unpack("<%di" % (len(payload) // 4), payload[: len(payload) // 4 * 4]))
        return data, fds

    def send(sock, data, fds):
        anc = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, struct.pack("<%di" % len(fds), *fds))] if fds else []
        sent = sock.sendmsg([data], anc)
        if sent < len(data):
            sock.sendall(data[sent:])
        for fd in fds:
            os.close(fd)

    pending_fds = []
    up_fds = []
    while True:
        try:
            ready, _, _ = select.select([client, upstream], [], [], 0.05)
        except InterruptedError:
            ready = []
        if close_wanted:
            close_wanted.clear()
            # Only between whole messages of the compositor.
            events = b"".join(struct.pack("<II", t, (8 << 16) | XDG_TOPLEVEL_CLOSE) for t in toplevels)
            send(client, events, [])
            print("close sent to %d toplevel(s)" % len(toplevels), flush=True)
        if maximise_wanted:
            maximise_wanted.clear()
            # Only between whole requests of the client: note_requests passes no others.
            requests = b"".join(struct.pack("<II", t, (8 << 16) | XDG_TOPLEVEL_SET_MAXIMIZED) for t in toplevels)
            send(upstream, requests, [])
            print("set_maximized sent for %d toplevel(s)" % len(toplevels), flush=True)
        if client in ready:
            data, fds = receive(client)
            if not data:
                return
            # Whole requests only; file descriptors wait for bytes to travel with.
            up_fds += fds
            passed = note_requests(data)
            if passed:
                send(upstream, passed, up_fds)
                up_fds = []
        if upstream in ready:
            data, fds = receive(upstream)
            if not data:
                return
            to_client += data
            pending_fds += fds
            whole = 0
            while len(to_client) - whole >= 8:
                size = struct.unpack_from("<I", to_client, whole + 4)[0] >> 16
                if size < 8 or len(to_client) - whole < size:
                    break
                whole += size
            note_events(to_client[:whole])
            if whole:
                send(client, to_client[:whole], pending_fds)
                to_client, pending_fds = to_client[whole:], []


if __name__ == "__main__":
    main()
