"""The command line of every end-to-end script: finding its cases, listing them for CMake and
running them with a PASS or FAIL line each.
"""

import argparse
import traceback


def run_cases(doc, namespace):
    """The command line of every end-to-end script: its cases are the functions named case_*
    taking (exe, probe). --list prints their names (CMake registers one test per case); without
    --case every case runs. Prints one PASS or FAIL line per case and a closing count; returns
    non-zero when a case failed."""
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
        print("\n".join(sorted(cases)))
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
