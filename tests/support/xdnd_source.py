#!/usr/bin/python3
"""An X drag source (XDND version 5), as a Linux browser drags a link onto another program's
window: owns XdndSelection, sends XdndEnter (the types in the message, or in XdndTypeList when
more than three), one XdndPosition per point, each after the XdndStatus of the one before, then
XdndDrop (or XdndLeave when the target refused), answers every SelectionRequest with the
offered bytes, and waits for XdndFinished.

    xdnd_source.py LOG WINDOW X,Y [X,Y...] --browser firefox|chromium ADDRESS TITLE
    xdnd_source.py LOG WINDOW X,Y [X,Y...] --offer TYPE HEX [--offer TYPE HEX...]

WINDOW is the target's top-level X window (decimal or 0x hex), the points are root coordinates.
--drop-anyway sends XdndDrop even when the target refused. LOG gets one line per step:
  aware V | enter T1 T2... | request TYPE SIZE | request TYPE refused | position X Y |
  status ACCEPT ACTION | drop | leave | finished ACCEPTED ACTION | timeout WHAT
Exits 0 when the drag ran to its end (XdndFinished after a drop, or the leave), else 1."""
import argparse
import html
import select
import sys
import time

from Xlib import X, Xatom, display
from Xlib.protocol import event


def browser_offer(browser, address, title):
    """The types and bytes each browser puts on a dragged link, in its order."""
    moz_url = (address + "\n" + title).encode("utf-16-le")
    netscape = (address + "\n" + title).encode("utf-8")
    if browser == "firefox":
        link = '<a href="%s">%s</a>' % (html.escape(address), html.escape(title))
        return [("text/uri-list", (address + "\r\n").encode("utf-8")),
                ("text/x-moz-url", moz_url),
                ("_NETSCAPE_URL", netscape),
                ("text/plain;charset=utf-8", address.encode("utf-8")),
                ("text/html", link.encode("utf-8"))]
    return [("text/x-moz-url", moz_url),
            ("text/plain", address.encode("utf-8")),
            ("UTF8_STRING", address.encode("utf-8")),
            ("_NETSCAPE_URL", netscape)]


class Source:
    def __init__(self, log, target, offers, drop_anyway):
        self.log_file = open(log, "a", encoding="utf-8")
        self.d = display.Display()
        self.a = {n: self.d.intern_atom(n) for n in (
            "XdndAware", "XdndSelection", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave",
            "XdndDrop", "XdndFinished", "XdndTypeList", "XdndActionCopy", "TARGETS")}
        self.target = self.d.create_resource_object("window", target)
        self.offers = [(self.d.intern_atom(t), t, data) for t, data in offers]
        self.drop_anyway = drop_anyway
        root = self.d.screen().root
        self.window = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
        self.status = None
        self.finished = None

    def log(self, line):
        self.log_file.write(line + "\n")
        self.log_file.flush()

    def name(self, atom):
        return self.d.get_atom_name(atom) if atom else "None"

    def send(self, kind, data):
        data = (list(data) + [0] * 5)[:5]
        ev = event.ClientMessage(window=self.target, client_type=self.a[kind], data=(32, data))
        self.target.send_event(ev, event_mask=0)
        self.d.flush()

    def answer(self, e):
        """A SelectionRequest: the bytes of the type asked for, the list of types, or a refusal."""
        prop = e.property or e.target
        offered = {atom: (name, data) for atom, name, data in self.offers}
        requestor = self.d.create_resource_object("window", e.requestor)
        if e.target == self.a["TARGETS"]:
            requestor.change_property(prop, Xatom.ATOM, 32,
                                      [self.a["TARGETS"]] + [a for a, _, _ in self.offers])
            self.log("request TARGETS")
        elif e.target in offered:
            name, data = offered[e.target]
            requestor.change_property(prop, e.target, 8, data)
            self.log("request %s %d" % (name, len(data)))
        else:
            self.log("request %s refused" % self.name(e.target))
            prop = X.NONE
        requestor.send_event(event.SelectionNotify(time=e.time, requestor=e.requestor,
                                                   selection=e.selection, target=e.target,
                                                   property=prop))
        self.d.flush()

    def handle(self, e):
        if e.type == X.SelectionRequest:
            self.answer(e)
        elif e.type == X.ClientMessage and e.client_type == self.a["XdndStatus"]:
            l = e.data[1]
            self.status = (l[1] & 1, self.name(l[4]))
            self.log("status %d %s" % self.status)
        elif e.type == X.ClientMessage and e.client_type == self.a["XdndFinished"]:
            l = e.data[1]
            self.finished = (l[1] & 1, self.name(l[2]))
            self.log("finished %d %s" % self.finished)

    def wait(self, until, seconds, what):
        end = time.monotonic() + seconds
        while not until():
            while self.d.pending_events():
                self.handle(self.d.next_event())
                if until():
                    return True
            left = end - time.monotonic()
            if left <= 0:
                self.log("timeout " + what)
                return False
            select.select([self.d.fileno()], [], [], min(left, 0.05))
        return True

    def run(self, points):
        aware = self.target.get_full_property(self.a["XdndAware"], X.AnyPropertyType)
        self.log("aware %s" % (aware.value[0] if aware else "none"))
        types = [a for a, _, _ in self.offers]
        self.window.change_property(self.a["XdndTypeList"], Xatom.ATOM, 32, types)
        self.window.set_selection_owner(self.a["XdndSelection"], X.CurrentTime)
        self.d.flush()
        more = len(types) > 3
        self.send("XdndEnter", [self.window.id, (5 << 24) | int(more)] + ([] if more else types))
        self.log("enter " + " ".join(n for _, n, _ in self.offers))
        for x, y in points:
            self.status = None
            self.send("XdndPosition", [self.window.id, 0, (x << 16) | y, X.CurrentTime,
                                       self.a["XdndActionCopy"]])
            self.log("position %d %d" % (x, y))
            if not self.wait(lambda: self.status is not None, 15, "XdndStatus"):
                self.send("XdndLeave", [self.window.id])
                return 1
        if self.status[0] or self.drop_anyway:
            self.send("XdndDrop", [self.window.id, 0, X.CurrentTime])
            self.log("drop")
            ok = self.wait(lambda: self.finished is not None, 15, "XdndFinished")
        else:
            self.send("XdndLeave", [self.window.id])
            self.log("leave")
            ok = True
        # Late requests for the data are still answered for a moment.
        end = time.monotonic() + 0.5
        while time.monotonic() < end:
            while self.d.pending_events():
                self.handle(self.d.next_event())
            select.select([self.d.fileno()], [], [], 0.05)
        return 0 if ok else 1


def main():
    p = argparse.ArgumentParser()
    p.add_argument("log")
    p.add_argument("window", type=lambda s: int(s, 0))
    p.add_argument("points", nargs="+")
    p.add_argument("--browser", nargs=3, metavar=("NAME", "ADDRESS", "TITLE"))
    p.add_argument("--offer", nargs=2, action="append", metavar=("TYPE", "HEX"), default=[])
    p.add_argument("--drop-anyway", action="store_true")
    args = p.parse_args()
    offers = [(t, bytes.fromhex(h)) for t, h in args.offer]
    if args.browser:
        offers = browser_offer(args.browser[0], args.browser[1], args.browser[2]) + offers
    if not offers:
        p.error("nothing to offer")
    points = [tuple(int(v) for v in s.split(",")) for s in args.points]
    return Source(args.log, args.window, offers, args.drop_anyway).run(points)


if __name__ == "__main__":
    sys.exit(main())
