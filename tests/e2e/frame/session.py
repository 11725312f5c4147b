"""The shared Wine session of the end-to-end tests (tests/harness/session): its environment,
how a Windows program in it sees a Linux path, and running a Windows program in it to its end.
"""

import os
import subprocess
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent.parent  # tests/e2e
SESSION = HERE.parent / "harness" / "session"

_session_env = None


def session_env():
    """The environment for Wine calls in the shared session, which is started if need be."""
    global _session_env
    if _session_env is None:
        out = subprocess.run(
            [str(SESSION), "env"], check=True, stdout=subprocess.PIPE, text=True
        ).stdout
        env = dict(os.environ)
        for line in out.splitlines():
            key, sep, value = line.partition("=")
            if sep:
                env[key] = value
        _session_env = env
    return _session_env


def windows_path(path):
    """How a Windows program under Wine sees a Linux path: the Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def run_wine(args, merge_stderr=False, timeout=60):
    """Runs a Windows program (args: the program and its arguments) in the session and waits
    for it; returns (exit code, standard output, standard error) as text, Wine's CRs left in.
    With merge_stderr the error output is part of the standard output and the third is ""."""
    env = session_env()
    # Files, not pipes: a Wine program that has to start Wine's desktop process hands it its
    # standard handles, and that process lives as long as the program under test does; reading
    # a pipe to its end would wait for it.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(
            [env["WINE"], *(str(a) for a in args)],
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=out,
            stderr=subprocess.STDOUT if merge_stderr else err,
            timeout=timeout,
        ).returncode
        out.seek(0)
        err.seek(0)
        return (
            code,
            out.read().decode("utf-8", "replace"),
            err.read().decode("utf-8", "replace"),
        )
