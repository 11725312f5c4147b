"""A drag and drop source for the X display, as a Linux file manager is one: it offers files
(text/uri-list) or plain text to the window under a point through the XDND protocol and drops
them there. Wine turns such a drop into an OLE drop on the Windows window under the point.

Used as a module: drop(display_name, x, y, files=[...]) or drop(..., text="...").

The exchange: the source owns the XdndSelection, sends XdndEnter with its data types and
XdndPosition with the point to the target's top-level X window, answers the target's
SelectionRequests with the data, waits for XdndStatus (accepted or not), sends XdndDrop (as a
user releasing the button would, accepted or not) and waits for XdndFinished.
"""

import select
import time
import urllib.parse
from dataclasses import dataclass
from pathlib import Path

from Xlib import X, Xatom, display
from Xlib.protocol import event

XDND_VERSION = 5


@dataclass
class DropResult:
    """What the target answered: whether its last XdndStatus accepted the drop, and whether
    its XdndFinished said the drop was taken."""

    target: int
    status_accepted: bool
    finished: bool
    finished_accepted: bool
    requested: list  # the data types the target asked for

    def __str__(self):
        status = "accepted" if self.status_accepted else "refused"
        if self.finished:
            finished = "finished " + ("accepted" if self.finished_accepted else "refused")
        else:
            finished = "no XdndFinished"
        return (
            f"target X window {self.target:#x}: status {status}, {finished}, "
            f"asked for {self.requested}"
        )


def uri_list(files):
    """text/uri-list: one file: URI a line, the path percent-encoded as UTF-8, CR LF ends."""
    lines = ["file://" + urllib.parse.quote(str(Path(f).resolve())) for f in files]
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def drop(display_name, x, y, files=None, text=None, timeout=10.0):
    """Drags files or text onto the X window at the root point (x, y) and drops them there;
    returns a DropResult. Raises RuntimeError when the window there does not speak XDND or
    does not answer in time."""
    d = display.Display(display_name)
    try:
        return _drop(d, x, y, files, text, timeout)
    finally:
        d.close()


def _drop(d, x, y, files, text, timeout):
    atom = d.intern_atom
    root = d.screen().root
    if files is not None:
        offers = {atom("text/uri-list"): uri_list(files)}
    else:
        data = text.encode("utf-8")
        offers = {
            atom("UTF8_STRING"): data,
            atom("text/plain;charset=utf-8"): data,
            atom("text/plain"): data,
            atom("STRING"): text.encode("latin-1", "replace"),
        }
    types = list(offers)

    target = root.translate_coords(root, x, y).child
    if not target:
        raise RuntimeError(f"no X window at ({x},{y})")
    aware = target.get_full_property(atom("XdndAware"), X.AnyPropertyType)
    if aware is None or not aware.value:
        raise RuntimeError(f"X window {target.id:#x} at ({x},{y}) has no XdndAware property")
    version = min(XDND_VERSION, int(aware.value[0]))

    source = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
    source.change_property(atom("XdndTypeList"), Xatom.ATOM, 32, types)
    source.set_selection_owner(atom("XdndSelection"), X.CurrentTime)
    d.sync()

    def send(name, l1=0, l2=0, l3=0, l4=0):
        message = event.ClientMessage(
            window=target, client_type=atom(name), data=(32, [source.id, l1, l2, l3, l4])
        )
        target.send_event(message, event_mask=0)
        d.flush()

    more_than_three = 1 if len(types) > 3 else 0
    first_three = (types + [0, 0, 0])[:3]
    send("XdndEnter", (version << 24) | more_than_three, *first_three)
    send("XdndPosition", 0, (x << 16) | (y & 0xFFFF), X.CurrentTime, atom("XdndActionCopy"))

    result = DropResult(target.id, False, False, False, [])
    status_seen = False
    dropped = False
    deadline = time.monotonic() + timeout
    while not result.finished:
        if status_seen and not dropped:
            send("XdndDrop", 0, X.CurrentTime)
            dropped = True
        while d.pending_events() == 0:
            left = deadline - time.monotonic()
            if left <= 0:
                awaited = "XdndFinished" if dropped else "XdndStatus"
                raise RuntimeError(
                    f"waiting for {awaited} from {target.id:#x}: none in time; {result}"
                )
            select.select([d.fileno()], [], [], min(left, 0.1))
        e = d.next_event()
        if e.type == X.SelectionRequest:
            _answer(d, e, offers, result)
        elif e.type == X.ClientMessage and e.client_type == atom("XdndStatus"):
            status_seen = True
            result.status_accepted = bool(e.data[1][1] & 1)
        elif e.type == X.ClientMessage and e.client_type == atom("XdndFinished"):
            result.finished = True
            # Version 5: bit 0 of l[1] says the drop was taken.
            result.finished_accepted = bool(e.data[1][1] & 1)
    source.destroy()
    d.sync()
    return result


def _answer(d, request, offers, result):
    """Hands the requested data type to the requestor, or says there is none."""
    name = d.get_atom_name(request.target)
    result.requested.append(name)
    prop = request.property or request.target
    requestor = request.requestor
    if request.target == d.intern_atom("TARGETS"):
        requestor.change_property(prop, Xatom.ATOM, 32, list(offers) + [request.target])
    elif request.target in offers:
        requestor.change_property(prop, request.target, 8, offers[request.target])
    else:
        prop = X.NONE
    notify = event.SelectionNotify(
        time=request.time,
        requestor=requestor,
        selection=request.selection,
        target=request.target,
        property=prop,
    )
    requestor.send_event(notify, event_mask=0)
    d.flush()
