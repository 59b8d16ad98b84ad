#!/usr/bin/python3
"""Holds a key down as a person does and lets go of it after exactly N presses: the press, then
the display's own auto-repeat (set to 40 ms for the while by the caller), watched through the
RECORD extension, released as soon as the N-th press has reached the server. Prints the number
of presses the server delivered (N, unless the release came more than one repeat late).
    hold_key.py KEYSYM N
"""
import sys
import threading

from Xlib import X, XK, display
from Xlib.ext import record, xtest


def main():
    keysym, wanted = sys.argv[1], int(sys.argv[2])
    d = display.Display()
    watcher = display.Display()
    keycode = d.keysym_to_keycode(XK.string_to_keysym(keysym))
    if not keycode or not watcher.has_extension("RECORD"):
        sys.exit("hold_key.py: no key %s or no RECORD extension" % keysym)
    ctx = watcher.record_create_context(0, [record.AllClients], [{
        "core_requests": (0, 0), "core_replies": (0, 0),
        "ext_requests": (0, 0, 0, 0), "ext_replies": (0, 0, 0, 0),
        "delivered_events": (0, 0), "device_events": (X.KeyPress, X.KeyRelease),
        "errors": (0, 0), "client_started": False, "client_died": False}])
    presses = 0
    started = threading.Event()
    released = threading.Event()
    lock = threading.Lock()

    def seen(reply):
        nonlocal presses
        if reply.category == record.StartOfData:
            started.set()
        if reply.category != record.FromServer or reply.client_swapped or not reply.data:
            return
        data = reply.data
        while len(data):
            event, data = record.rq.EventField(None).parse_binary_value(data, watcher.display, None, None)
            if event.detail != keycode:
                continue
            if event.type == X.KeyPress:
                with lock:
                    presses += 1
                    if presses == wanted:
                        xtest.fake_input(d, X.KeyRelease, keycode)
                        d.flush()
            elif event.type == X.KeyRelease:
                released.set()

    thread = threading.Thread(target=lambda: watcher.record_enable_context(ctx, seen), daemon=True)
    thread.start()
    if not started.wait(10):
        sys.exit("hold_key.py: the RECORD context did not start")
    xtest.fake_input(d, X.KeyPress, keycode)
    d.flush()
    if not released.wait(30):
        xtest.fake_input(d, X.KeyRelease, keycode)
        d.flush()
        sys.exit("hold_key.py: the key was never released")
    d.record_disable_context(ctx)
    d.flush()
    thread.join(5)
    print(presses)


if __name__ == "__main__":
    main()
