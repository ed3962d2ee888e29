"""A few lines of Xlib through ctypes: window attributes, properties, selections and client messages,
which the command-line tools do not offer (Xvfb has no window manager to send WM_DELETE_WINDOW), and a
sleep on the X connection for watchers that must see a change at once."""

import ctypes
import ctypes.util
import select
import sys
import time


class XWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
        ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
        ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p),
    ]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


IS_VIEWABLE = 2
CLIENT_MESSAGE = 33
STRUCTURE_NOTIFY_MASK = 1 << 17
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
SUBSTRUCTURE_REDIRECT_MASK = 1 << 20
PROPERTY_CHANGE_MASK = 1 << 22
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class Geometry(tuple):
    """(x, y, width, height) in root coordinates, plus what else a test looks at."""

    def __new__(cls, x, y, width, height, viewable, override_redirect):
        self = super().__new__(cls, (x, y, width, height))
        self.viewable = viewable
        self.override_redirect = override_redirect
        return self

    x = property(lambda self: self[0])
    y = property(lambda self: self[1])
    width = property(lambda self: self[2])
    height = property(lambda self: self[3])

    def contains(self, px, py, margin=0):
        return (self.x - margin <= px < self.x + self.width + margin
                and self.y - margin <= py < self.y + self.height + margin)


class Xlib:
    def __init__(self, display):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        lib = self.lib
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XWindowAttributes)]
        lib.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]
        lib.XQueryTree.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)), ctypes.POINTER(ctypes.c_uint)]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
        lib.XFree.argtypes = [ctypes.c_void_p]
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.POINTER(XEvent)]
        lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        lib.XFlush.argtypes = [ctypes.c_void_p]
        lib.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        lib.XSetErrorHandler.restype = ctypes.c_void_p
        # Windows come and go under our feet: a BadWindow must not end the test process.
        self.errors = 0

        def on_error(_display, _event):
            self.errors += 1
            return 0

        self._handler = ERROR_HANDLER(on_error)
        lib.XSetErrorHandler(self._handler)
        self.dpy = lib.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open display {display}")
        self.root = lib.XDefaultRootWindow(self.dpy)
        self.fd = lib.XConnectionNumber(self.dpy)
        self._event = XEvent()
        self._atoms = {}

    def close(self):
        if self.dpy:
            self.lib.XCloseDisplay(self.dpy)
            self.dpy = None

    def atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = self.lib.XInternAtom(self.dpy, name.encode(), 0)
        return self._atoms[name]

    def select(self, window, mask):
        """Asks for the window's events of the mask, for wait()."""
        self.lib.XSelectInput(self.dpy, window, mask)
        self.lib.XFlush(self.dpy)

    def wait(self, timeout):
        """Sleeps until the X server sends something or timeout seconds pass, then drops all events."""
        if not self.lib.XPending(self.dpy):
            select.select([self.fd], [], [], timeout)
        while self.lib.XPending(self.dpy):
            self.lib.XNextEvent(self.dpy, ctypes.byref(self._event))

    def _checked(self, call):
        """Runs call() and reports whether the server raised no error for it."""
        self.lib.XSync(self.dpy, 0)
        before = self.errors
        ok = call()
        self.lib.XSync(self.dpy, 0)
        return bool(ok) and self.errors == before

    def selection_owner(self, name):
        return self.lib.XGetSelectionOwner(self.dpy, self.atom(name))

    def children(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._checked(lambda: self.lib.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                                         ctypes.byref(kids), ctypes.byref(count))):
            return []
        result = [kids[i] for i in range(count.value)]
        if kids:
            self.lib.XFree(kids)
        return result

    def parent(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self._checked(lambda: self.lib.XQueryTree(self.dpy, window, ctypes.byref(root), ctypes.byref(parent),
                                                         ctypes.byref(kids), ctypes.byref(count))):
            return None
        if kids:
            self.lib.XFree(kids)
        return parent.value

    def descendants(self, window):
        for child in self.children(window):
            yield child
            yield from self.descendants(child)

    def attributes(self, window):
        """The window's XWindowAttributes (its place relative to its parent), or None if it is gone."""
        attrs = XWindowAttributes()
        if not self._checked(lambda: self.lib.XGetWindowAttributes(self.dpy, window, ctypes.byref(attrs))):
            return None
        return attrs

    def geometry(self, window):
        """The window's place on the screen (root coordinates) and size, or None if it is gone."""
        attrs = self.attributes(window)
        if attrs is None:
            return None
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        if not self._checked(lambda: self.lib.XTranslateCoordinates(self.dpy, window, self.root, 0, 0, ctypes.byref(x),
                                                                    ctypes.byref(y), ctypes.byref(child))):
            return None
        return Geometry(x.value, y.value, attrs.width, attrs.height, attrs.map_state == IS_VIEWABLE,
                        bool(attrs.override_redirect))

    def property(self, window, name):
        """(type name, format, bytes) of a window property, or None when it is not set."""
        actual_type, actual_format = ctypes.c_ulong(), ctypes.c_int()
        count, after = ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        if not self._checked(lambda: self.lib.XGetWindowProperty(
                self.dpy, window, self.atom(name), 0, 1 << 20, 0, 0, ctypes.byref(actual_type),
                ctypes.byref(actual_format), ctypes.byref(count), ctypes.byref(after),
                ctypes.byref(data)) == 0):
            return None
        try:
            if not actual_type.value:
                return None
            # Format-32 items come as C longs on the client side.
            item = {8: 1, 16: 2, 32: ctypes.sizeof(ctypes.c_long)}[actual_format.value]
            raw = ctypes.string_at(data, count.value * item) if count.value else b""
            return actual_type.value, actual_format.value, raw
        finally:
            if data:
                self.lib.XFree(data)

    def cardinals(self, window, name):
        prop = self.property(window, name)
        if not prop or prop[1] != 32:
            return []
        size = ctypes.sizeof(ctypes.c_long)
        return [int.from_bytes(prop[2][i:i + size], sys.byteorder) for i in range(0, len(prop[2]), size)]

    def text(self, window, name):
        prop = self.property(window, name)
        return prop[2].decode("utf-8", "replace") if prop else None

    def pid(self, window):
        """The _NET_WM_PID a window carries, or None."""
        values = self.cardinals(window, "_NET_WM_PID")
        return values[0] if values else None

    def wm_class(self, window):
        prop = self.property(window, "WM_CLASS")
        return tuple(part.decode("latin-1") for part in prop[2].split(b"\0") if part) if prop else ()

    def send_delete_window(self, window):
        """What a window manager's close button sends: WM_PROTOCOLS / WM_DELETE_WINDOW."""
        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.data[0] = self.atom("WM_DELETE_WINDOW")
        event.xclient.data[1] = 0  # CurrentTime
        ok = self._checked(lambda: self.lib.XSendEvent(self.dpy, window, 0, 0, ctypes.byref(event)))
        self.lib.XFlush(self.dpy)
        return ok


class XSelectionEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
        ("target", ctypes.c_ulong), ("property", ctypes.c_ulong), ("time", ctypes.c_ulong),
    ]


SELECTION_NOTIFY = 31
NET_WM_STATE_ADD = 1


def selection_text(xlib, selection="CLIPBOARD", timeout=5):
    """The text an X selection holds, asked for as UTF-8 the way a pasting program asks; None when
    no one owns it or the owner has no text."""
    lib = xlib.lib
    lib.XCreateSimpleWindow.restype = ctypes.c_ulong
    lib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    lib.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    lib.XConvertSelection.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                      ctypes.c_ulong, ctypes.c_ulong]
    lib.XCheckTypedWindowEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.POINTER(XEvent)]
    if not xlib.selection_owner(selection):
        return None
    requestor = lib.XCreateSimpleWindow(xlib.dpy, xlib.root, 0, 0, 1, 1, 0, 0, 0)
    try:
        lib.XConvertSelection(xlib.dpy, xlib.atom(selection), xlib.atom("UTF8_STRING"),
                              xlib.atom("QZ_E2E_SELECTION"), requestor, 0)
        lib.XFlush(xlib.dpy)
        event = XEvent()
        deadline = time.monotonic() + timeout
        while not lib.XCheckTypedWindowEvent(xlib.dpy, requestor, SELECTION_NOTIFY, ctypes.byref(event)):
            if time.monotonic() >= deadline:
                raise AssertionError(f"the owner of {selection} did not answer within {timeout} s")
            time.sleep(0.05)
        notify = ctypes.cast(ctypes.byref(event), ctypes.POINTER(XSelectionEvent)).contents
        return xlib.text(requestor, "QZ_E2E_SELECTION") if notify.property else None
    finally:
        lib.XDestroyWindow(xlib.dpy, requestor)
        lib.XFlush(xlib.dpy)


def add_wm_states(xlib, window, *states):
    """What a task bar sends to maximize a window: a _NET_WM_STATE request to the window manager."""
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = xlib.atom("_NET_WM_STATE")
    event.xclient.format = 32
    event.xclient.data[0] = NET_WM_STATE_ADD
    for i, state in enumerate(states[:2]):
        event.xclient.data[1 + i] = xlib.atom(state)
    event.xclient.data[3] = 2  # from a pager or task bar, as a person's request
    ok = xlib._checked(lambda: xlib.lib.XSendEvent(xlib.dpy, xlib.root, 0,
                                                   SUBSTRUCTURE_NOTIFY_MASK | SUBSTRUCTURE_REDIRECT_MASK,
                                                   ctypes.byref(event)))
    xlib.lib.XFlush(xlib.dpy)
    return ok
