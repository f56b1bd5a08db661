# SPDX-License-Identifier: GPL-3.0-or-later
"""Another X client, for the lock tests: it grabs, probes grabs and stacks windows.

  xclient.py hold SECONDS WITHIN   grabs the keyboard, prints "held", lets go after SECONDS, then
                                   exits 0 once keyboard and pointer are both grabbed by another
                                   client (its own grabs fail with AlreadyGrabbed) within WITHIN s
  xclient.py grabbed               exits 0 when keyboard and pointer are grabbed by another client
  xclient.py cover WINDOW SECONDS  maps a window of its own above WINDOW (override-redirect, then
                                   raised again), prints "mapped", and exits 0 once WINDOW is
                                   above it again within SECONDS
"""
import sys
import time

from Xlib import X, display


def grabs_refused(d, root):
    # Our own grab succeeding means nobody else holds it: let it go at once.
    keys = root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime)
    if keys == X.GrabSuccess:
        d.ungrab_keyboard(X.CurrentTime)
    pointer = root.grab_pointer(False, 0, X.GrabModeAsync, X.GrabModeAsync, X.NONE, X.NONE, X.CurrentTime)
    if pointer == X.GrabSuccess:
        d.ungrab_pointer(X.CurrentTime)
    d.sync()
    return keys == X.AlreadyGrabbed and pointer == X.AlreadyGrabbed


def poll(seconds, check):
    # Not too often: each probe that finds the keyboard free holds it for a moment itself.
    deadline = time.monotonic() + seconds
    while True:
        if check():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(0.15)


def main(argv):
    d = display.Display()
    root = d.screen().root
    cmd = argv[1]
    if cmd == "hold":
        if root.grab_keyboard(False, X.GrabModeAsync, X.GrabModeAsync, X.CurrentTime) != X.GrabSuccess:
            print("could not grab the keyboard", file=sys.stderr)
            return 2
        d.sync()
        print("held", flush=True)
        time.sleep(float(argv[2]))
        d.ungrab_keyboard(X.CurrentTime)
        d.sync()
        let_go = time.monotonic()
        ok = poll(float(argv[3]), lambda: grabs_refused(d, root))
        print("grabbed by the other client after %.3f s" % (time.monotonic() - let_go) if ok else "not grabbed")
        return 0 if ok else 1
    if cmd == "grabbed":
        return 0 if grabs_refused(d, root) else 1
    if cmd == "cover":
        target = int(argv[2], 0)
        w = root.create_window(300, 200, 300, 200, 0, X.CopyFromParent, X.InputOutput, X.CopyFromParent,
                               background_pixel=d.screen().white_pixel, override_redirect=True)
        w.map()
        w.configure(stack_mode=X.Above)
        d.sync()
        print("mapped", flush=True)

        def target_above():
            order = [c.id for c in root.query_tree().children]  # bottom to top
            return target in order and order.index(target) > order.index(w.id)

        ok = poll(float(argv[3]), target_above)
        print("the window is below again" if ok else "the window stays above")
        return 0 if ok else 1
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
