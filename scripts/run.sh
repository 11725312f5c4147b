#!/usr/bin/env bash
# Builds Vistrelle.exe and starts it under Wine with a sample picture and settings file.
#
# The program folder is build/run/: Vistrelle.exe with its DLLs, image.jpg (a generated 780x520 picture) and
# option.ini. Edit or replace the last two there and run this again to see other pictures or
# settings; they are written only when missing.
#
# With DISPLAY set the program appears on that display. Without one, a private Xvfb display
# with the xcompmgr compositor is started (the same session the tests use) and the program runs
# there: screenshots come from `import -window root` with that DISPLAY, which this script prints.
# The Wine prefix is the tests' one: windows are not handed to a window manager and Chinese
# menu captions have a font.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/install-deps.sh
cmake --preset mingw
cmake --build --preset mingw -j2 --target Vistrelle

run="$top/build/run"
mkdir -p "$run"
cp build/mingw/Vistrelle.exe build/mingw/*.dll "$run/"
[ -f "$run/image.jpg" ] || scripts/sample-image.sh "$run/image.jpg"
# The settings file of the release packages, with its notes; Windows line ends.
[ -f "$run/option.ini" ] || sed 's/$/\r/' packaging/option.ini >"$run/option.ini"

if [ -n "${DISPLAY:-}" ]; then
    # A prefix of its own beside the tests' session, shown on the user's display.
    export VISTRELLE_SESSION_DIR=/tmp/vistrelle-run-session-$(id -u)
    export VISTRELLE_SESSION_DISPLAY=$DISPLAY
    echo "run: starting Vistrelle on display $DISPLAY"
else
    export VISTRELLE_SESSION_DIR=/tmp/vistrelle-run-session-$(id -u)-xvfb
    echo "run: no DISPLAY: starting a private Xvfb display with a compositor for Vistrelle"
fi
while IFS='=' read -r key value; do
    export "$key=$value"
done < <(tests/harness/session env)

echo "run: program folder $run"
if [ -z "${VISTRELLE_SESSION_DISPLAY:-}" ]; then
    echo "run: the program is on display $DISPLAY; see it with"
    echo "       DISPLAY=$DISPLAY import -window root shot.png"
    echo "     and end the display with"
    echo "       VISTRELLE_SESSION_DIR=$VISTRELLE_SESSION_DIR tests/harness/session stop"
fi
# On its own Xvfb display the run gives the display and the prefix the same wallpaper, so that
# the caption stands on it as on Windows; a display of the user's keeps its own desktop.
exec /usr/bin/python3 scripts/desktop.py "$run" ${VISTRELLE_SESSION_DISPLAY:+--no-wallpaper}
