#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the program's own sources (not the tests)
# and fails on any finding, naming it. The portable code is checked as the native build compiles it,
# the Windows backend as the MinGW build does: both builds must be configured first
# (cmake --preset native; cmake --preset mingw).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

tidy=${CLANG_TIDY:-clang-tidy}
command -v "$tidy" >/dev/null || {
    echo "check-tidy: $tidy is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
}
for db in build/native build/mingw; do
    [ -f "$db/compile_commands.json" ] || {
        echo "check-tidy: $db/compile_commands.json is missing: configure that build first" >&2
        exit 1
    }
done

mapfile -t portable < <(git ls-files -- '*.cpp' | grep -v -e '^tests/' -e '^bench/' -e '^platform/win32/')
mapfile -t backend < <(git ls-files -- 'platform/win32/*.cpp')

# The builds pass GCC-only warning options that clang does not know.
common=(--quiet --extra-arg=-Wno-unknown-warning-option)

# clang reads the MinGW headers when told the target; the C++ library's headers are GCC's, found
# where the cross compiler itself looks for them.
# (sed quits at the first C++ command itself: `| head -n 1` would end it by SIGPIPE, which
# pipefail turns into this script's silent end.)
cross=$(sed -n '/"command": "[^ ]*g++/{s/^ *"command": "\([^ ]*\) .*/\1/p;q}' \
    build/mingw/compile_commands.json)
[ -n "$cross" ] || cross=x86_64-w64-mingw32-g++
mapfile -t cxxdirs < <(echo | "$cross" -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here:/,/End of search list./p' | grep '/include/c++' |
    sed 's/^ *//')
windows=(--extra-arg=--target=x86_64-w64-mingw32)
for dir in "${cxxdirs[@]}"; do windows+=("--extra-arg=-isystem$dir"); done

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
# Two files at a time: the machines that run this have two cores.
printf '%s\0' "${portable[@]}" |
    xargs -0 -n 4 -P 2 "$tidy" -p build/native "${common[@]}" >>"$log" 2>&1 || status=1
printf '%s\0' "${backend[@]}" |
    xargs -0 -n 4 -P 2 "$tidy" -p build/mingw "${common[@]}" "${windows[@]}" >>"$log" 2>&1 || status=1

files=$((${#portable[@]} + ${#backend[@]}))
if [ "$status" -eq 0 ]; then
    echo "check-tidy: all $files source files pass clang-tidy"
    exit 0
fi
grep -v -e '^[0-9]* warnings* generated' -e '^Suppressed ' -e '^Use -header-filter' "$log" >&2 || true
echo "check-tidy: clang-tidy reports findings in the $files source files above" >&2
exit 1
