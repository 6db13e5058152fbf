#!/usr/bin/env python3
"""Asks the window manager to add states to a window (_NET_WM_STATE_FULLSCREEN, ...), as
its own window menu or a pager does, whether or not it offers them for that window.

Usage: wm_state.py <window id> <state> [state]
"""
import sys

from wm_delete import send_client_message


def main():
    states = sys.argv[2:4]
    # 1: add; the 1 at the end names the source an ordinary application (2 would be a pager).
    send_client_message(int(sys.argv[1], 0), "_NET_WM_STATE",
                        [1, states[0], states[1] if len(states) > 1 else 0, 1], to_root=True)


if __name__ == "__main__":
    main()
