#!/usr/bin/env python3
"""Asks a window to close the way a window manager's close box does: a WM_DELETE_WINDOW
client message, sent with no pointer or keyboard involved (and so with no window manager
needed).

Usage: wm_delete.py <window id>
"""
import ctypes
import ctypes.util
import sys


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def send_client_message(window, message_type, data, to_root=False):
    """Sends a 32-bit client message about the window: to the window itself, or to the root
    window where the window manager listens for requests of other clients. The names in
    message_type and data are made atoms; numbers are sent as they are."""
    x = ctypes.CDLL(ctypes.util.find_library("X11"))
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    atom = lambda v: x.XInternAtom(display, v.encode(), 0) if isinstance(v, str) else v
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = atom(message_type)
    event.xclient.format = 32
    for i, v in enumerate(data):
        event.xclient.data[i] = atom(v)
    target, mask = window, 0
    if to_root:
        # SubstructureRedirectMask | SubstructureNotifyMask
        target, mask = x.XDefaultRootWindow(display), (1 << 20) | (1 << 19)
    if not x.XSendEvent(display, target, 0, mask, ctypes.byref(event)):
        sys.exit("the message could not be sent")
    x.XFlush(display)
    x.XCloseDisplay(display)


def main():
    send_client_message(int(sys.argv[1], 0), "WM_PROTOCOLS", ["WM_DELETE_WINDOW", 0])  # 0: CurrentTime


if __name__ == "__main__":
    main()
