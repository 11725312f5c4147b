#!/usr/bin/env bash
# Builds everything and runs every test layer, from a clean checkout as well as from a used one:
#   0. every C++ file is laid out as the repository's .clang-format says (scripts/check-format.sh),
#      and the program's sources pass the repository's .clang-tidy (scripts/check-tidy.sh, once
#      both builds are done),
#      and the GitHub workflows, which cannot run here, pass their checker
#      (scripts/check-workflows.sh);
#   1. the native build: portable code and its unit tests;
#   1b. the same with AddressSanitizer and UBSan (clang), and the fuzz targets for a short
#      fixed number of inputs each;
#   2. the MinGW-w64 cross-build: Vistrelle.exe, the Win32 backend's tests and the end-to-end
#      tests, which run under Wine in a private X session (Xvfb + xcompmgr) that this script
#      takes down again at the end.
# Needs no display and no input. Exits non-zero when any step fails.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

# The test session of this run only: independent of a session the developer may have open.
export VISTRELLE_SESSION_DIR=${VISTRELLE_SESSION_DIR:-/tmp/vistrelle-test-session-$(id -u)}
cleanup() { tests/harness/session stop || true; }
trap cleanup EXIT

started=$SECONDS
status=0
summary=()
step() {
    local t0=$SECONDS outcome=ok
    echo "== $*"
    if ! "$@"; then
        echo "== FAILED: $*"
        status=1
        outcome=FAILED
    fi
    summary+=("$(printf '%5d s  %-6s  %s' $((SECONDS - t0)) "$outcome" "$*")")
}

step scripts/install-deps.sh
# Nothing below can run without those tools.
[ $status -eq 0 ] || exit 1

step scripts/check-format.sh
step scripts/check-workflows.sh

step cmake --preset native
# -k 0: build every target that can be built, so that one broken file leaves the other tests.
step cmake --build --preset native -j2 -- -k 0
# Both cores: these tests share nothing (each fuzz target has a work folder of its own).
step ctest --preset native --output-on-failure -j2

step cmake --preset native-asan
step cmake --build --preset native-asan -j2 -- -k 0
step ctest --preset native-asan --output-on-failure -j2

step cmake --preset mingw
step cmake --build --preset mingw -j2 -- -k 0
# Both builds are there now (the cross-built libraries' headers too): clang-tidy reads how each
# source file is compiled.
step scripts/check-tidy.sh
# Bring the Wine session up once, before ctest times the first test program.
step tests/harness/session start
step ctest --preset mingw --output-on-failure

echo "== steps (time, outcome), $((SECONDS - started)) s in all:"
printf '%s\n' "${summary[@]}"
if [ $status -eq 0 ]; then
    echo "== all builds and tests passed"
else
    echo "== some steps failed (see above)"
fi
exit $status
