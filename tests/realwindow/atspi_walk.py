#!/usr/bin/python3
# Walks a running program's accessible tree over AT-SPI, as a screen reader would.
# Usage: atspi_walk.py <pid> tree
#        atspi_walk.py <pid> text <role> <name>         prints the node's text
#        atspi_walk.py <pid> checked <name>             prints 1 or 0
#        atspi_walk.py <pid> states <role> <name>       prints the node's states
#        atspi_walk.py <pid> action <role> <name> <act>  runs the named action
#        atspi_walk.py <pid> wait-name <text>           until some node's name is text
#        atspi_walk.py <pid> wait-text <role> <name> <text>  until the node's text is text
# Exit status 2 when the node is not found. The waits last KANAVOX_WAIT_SECONDS (xvfb.sh).
import os
import sys
import time

WAIT_SECONDS = float(os.environ.get("KANAVOX_WAIT_SECONDS", "20"))
POLL_STEP = 0.05


def poll(ready):
    """True once ready() is, false when the wait's deadline came first."""
    end = time.monotonic() + WAIT_SECONDS
    while not ready():
        if time.monotonic() > end:
            return False
        time.sleep(POLL_STEP)
    return True

import pyatspi


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    found = []

    def present():
        found[:] = [app for app in desktop if app is not None and app.get_process_id() == pid]
        return bool(found)

    if not poll(present):
        sys.exit("no accessible application for pid %d" % pid)
    return found[0]


def nodes(root, depth=0):
    yield root, depth
    for child in root:
        if child is not None:
            yield from nodes(child, depth + 1)


def states_of(node):
    return sorted(pyatspi.stateToString(s) for s in node.getState().getStates())


def actions_of(node):
    try:
        act = node.queryAction()
    except NotImplementedError:
        return []
    return [act.getName(i) for i in range(act.nActions)]


def relations_of(node):
    out = []
    for rel in node.getRelationSet():
        kind = rel.getRelationType().value_nick
        for i in range(rel.getNTargets()):
            out.append("%s %s" % (kind, rel.getTarget(i).name))
    return out


def text_of(node):
    try:
        t = node.queryText()
    except NotImplementedError:
        return None
    return t.getText(0, -1)


def find(app, role, name):
    for node, _ in nodes(app):
        if node.getRoleName() == role and node.name == name:
            return node
    sys.exit(2)


def main():
    pid, cmd, args = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    app = application(pid)
    if cmd == "tree":
        for node, depth in nodes(app):
            line = "%s%s \"%s\" [%s] {%s}" % ("  " * depth, node.getRoleName(), node.name,
                                              ", ".join(states_of(node)), ", ".join(actions_of(node)))
            text = text_of(node)
            if text is not None:
                line += " text=\"%s\" caret=%d" % (text, node.queryText().caretOffset)
            rels = relations_of(node)
            if rels:
                line += " (" + "; ".join(rels) + ")"
            print(line)
    elif cmd == "text":
        print(text_of(find(app, args[0], args[1])))
    elif cmd == "checked":
        node = find(app, "check box", args[0])
        print(1 if node.getState().contains(pyatspi.STATE_CHECKED) else 0)
    elif cmd == "states":
        print(" ".join(states_of(find(app, args[0], args[1]))))
    elif cmd == "action":
        node = find(app, args[0], args[1])
        names = actions_of(node)
        if args[2] not in names:
            sys.exit("no action %s on %s (has %s)" % (args[2], args[1], names))
        node.queryAction().doAction(names.index(args[2]))
    elif cmd == "wait-name":
        if not poll(lambda: any(node.name == args[0] for node, _ in nodes(app))):
            sys.exit(2)
    elif cmd == "wait-text":
        if not poll(lambda: any(node.getRoleName() == args[0] and node.name == args[1] and text_of(node) == args[2]
                                for node, _ in nodes(app))):
            sys.exit(2)
    else:
        sys.exit("unknown command " + cmd)


main()
