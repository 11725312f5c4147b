"""The command line of every end-to-end script: finding its cases, listing them for CMake and
running them with a PASS or FAIL line each; `in_turn`, a group of items checked on one run of
the program.
"""

import argparse
import traceback

# ctest's time limit of a case: the first case of a run may have to bring the Wine session up
# (about 7 s), and a machine shared with builds runs cases several times slower than an idle one.
DEFAULT_SECONDS = 180


def limit(seconds):
    """Gives a case (a group of items, say) a time limit of its own instead of
    DEFAULT_SECONDS."""

    def mark(case):
        case.seconds = seconds
        return case

    return mark


def run_cases(doc, namespace):
    """The command line of every end-to-end script: its cases are the functions named case_*
    taking (exe, probe). --list prints their names and ctest's time limit for each, in seconds
    (CMake registers one test per case); without --case every case runs. Prints one PASS or
    FAIL line per case and a closing count; returns non-zero when a case failed."""
    cases = {
        name[len("case_") :]: fn
        for name, fn in sorted(namespace.items())
        if name.startswith("case_") and callable(fn)
    }
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    parser.add_argument("--list", action="store_true", help="print the case names and stop")
    parser.add_argument("--exe", help="Vistrelle.exe to test")
    parser.add_argument("--probe", help="vistrelle_probe.exe")
    parser.add_argument("--case", action="append", choices=sorted(cases), help="case to run")
    args = parser.parse_args()
    if args.list:
        for name in sorted(cases):
            print(name, getattr(cases[name], "seconds", DEFAULT_SECONDS))
        return 0
    if not args.exe or not args.probe:
        parser.error("--exe and --probe are needed to run cases")

    passed = failed = 0
    for name in args.case or sorted(cases):
        try:
            cases[name](args.exe, args.probe)
        except Exception as error:  # a failed assertion or a harness fault: report both
            failed += 1
            print(f"FAIL {name}: {error}", flush=True)
            if not isinstance(error, AssertionError):
                traceback.print_exc()
        else:
            passed += 1
            print(f"PASS {name}", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


def in_turn(items, make, check, ready=None):
    """Checks every item of a group on one running program, so that the group pays for one
    start of the program and not one an item. items: (name, item) pairs; make(): a new Frame,
    not yet started; ready(frame), when given, what a fresh run does before its first item;
    check(frame, item): checks one item on the running frame.

    An item that fails (the program died, hung or showed something wrong) is reported under
    its name and its run is ended; the next item gets a fresh run, so that one failure names
    its item and the other items still run. Fails at the end, naming every item that failed."""
    items = list(items)
    failures = []
    frame = None
    try:
        for name, item in items:
            try:
                if frame is None:
                    frame = make()
                    frame.start()
                    if ready:
                        ready(frame)
                check(frame, item)
            except Exception as error:
                failures.append(f"{name}: {error}")
                print(f"  {name} FAILED: {error}", flush=True)
                if not isinstance(error, AssertionError):
                    traceback.print_exc()
                if frame is not None:
                    frame.stop()
                frame = None
            else:
                print(f"  {name} passed", flush=True)
    finally:
        if frame is not None:
            frame.stop()
    assert not failures, f"{len(failures)} of {len(items)} failed: " + " | ".join(failures)
