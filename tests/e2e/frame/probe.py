"""vistrelle_probe, the tests' own Windows program that looks at the session's windows from
inside Wine (probe.cpp). One probe is kept running for the whole script (`vistrelle_probe
serve`), so that a look at the windows is a line on a pipe instead of a Wine process started
for it; when that probe cannot be had, every command starts one of its own.
"""

import atexit
import os
import re
import select
import signal
import subprocess
import time

from .session import run_wine, session_env

_END = re.compile(rb"^end (-?\d+)\r?$", re.M)
_servers = {}


class _Server:
    """A running `vistrelle_probe serve`: a command a line on its input, the answer on its
    output up to a line "end CODE"."""

    def __init__(self, probe):
        env = session_env()
        self.process = subprocess.Popen(
            [env["WINE"], str(probe), "serve"],
            env=env,
            stdin=subprocess.PIPE,
            stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        self.pending = b""

    def ask(self, args, timeout):
        """(exit code, output) of one command; raises OSError when the probe does not answer
        within timeout seconds."""
        self.process.stdin.write((" ".join(args) + "\n").encode())
        self.process.stdin.flush()
        deadline = time.monotonic() + timeout
        out = self.process.stdout.fileno()
        while not (end := _END.search(self.pending)):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([out], [], [], left)[0]:
                raise OSError(f"the probe did not answer {args} within {timeout} s")
            chunk = os.read(out, 65536)
            if not chunk:
                raise OSError(f"the probe ended (exit code {self.process.poll()})")
            self.pending += chunk
        answer, self.pending = self.pending[: end.start()], self.pending[end.end() :].lstrip()
        return int(end.group(1)), answer.decode("utf-8", "replace")

    def close(self):
        try:
            self.process.stdin.close()
            self.process.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait()


@atexit.register
def _close_servers():
    for server in _servers.values():
        if server is not None:
            server.close()
    _servers.clear()


def probe_run(probe, *args, timeout=30):
    """Runs a probe command (list, post ...) and returns what it printed, lines ended by LF."""
    key = str(probe)
    try:
        if key not in _servers:
            _servers[key] = _Server(probe)
        if _servers[key] is None:
            raise OSError("the probe as a server failed before")
        code, out = _servers[key].ask(args, timeout)
        err = ""
    except OSError as error:
        # A probe that stopped answering is not tried again: every command from now on runs on
        # its own.
        if _servers.get(key) is not None:
            print(f"vistrelle_probe serve: {error}; each command runs on its own now", flush=True)
            _servers[key].close()
        _servers[key] = None
        code, out, err = _run_alone(probe, args)
    if code != 0:
        raise RuntimeError(
            f"vistrelle_probe {' '.join(args)} failed with exit code {code}: {out} {err}"
        )
    # Wine's console ends lines with CR LF.
    return out.replace("\r\n", "\n")


def _run_alone(probe, args):
    # Under a loaded machine Wine now and then fails to start a program at all: exit code 1 and
    # not a line printed. The probe itself always prints before it fails, so such a run is
    # tried again.
    for _ in range(3):
        code, out, err = run_wine([probe, *args])
        if code == 0 or out.strip():
            break
        time.sleep(0.2)
    return code, out, err
