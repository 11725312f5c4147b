#!/usr/bin/env bash
# Fails when a C++ file tracked by git is not formatted as the repository's .clang-format says,
# and names each such file. Run from anywhere in the checkout. Mend with: clang-format -i FILE
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

# The project's formatting is clang-format 14's (Debian 12); another version may lay out the
# same file differently.
formatter=${CLANG_FORMAT:-clang-format}
command -v "$formatter" >/dev/null || {
    echo "check-format: $formatter is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
}

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.hpp' '*.h')
[ ${#files[@]} -gt 0 ] || {
    echo "check-format: git lists no C++ files here" >&2
    exit 1
}

# One call for all files (a process per file costs seconds more on a busy machine); it reports each
# place that differs as "FILE:LINE:COL: error: ...".
if out=$("$formatter" --dry-run --Werror "${files[@]}" 2>&1); then
    echo "check-format: all ${#files[@]} C++ files are clang-formatted"
    exit 0
fi
violation='s/^\(.*\):[0-9]*:[0-9]*: error: .*-Wclang-format-violations.*/\1/p'
mapfile -t bad < <(sed -n "$violation" <<<"$out" | sort -u)
if [ ${#bad[@]} -eq 0 ]; then
    # Not a layout difference: a missing file, a broken .clang-format, a crash. Show it as is.
    echo "check-format: $formatter failed:" >&2
    printf '%s\n' "$out" >&2
    exit 1
fi
echo "check-format: ${#bad[@]} of ${#files[@]} C++ files are not clang-formatted:" >&2
printf '  %s\n' "${bad[@]}" >&2
echo "check-format: mend with: clang-format -i FILE..." >&2
exit 1
