#!/usr/bin/env bash
# Checks the GitHub workflows (.github/workflows/*.yml) against the schema of GitHub's workflow
# files with action-validator. They cannot run here (windows.yml needs a Windows runner): this is
# the check they get before one runs them. action-validator comes from npm at a fixed version,
# installed once into build/tools/ (Node.js and npm: scripts/install-deps.sh).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
version=0.6.0
tools=$top/build/tools/action-validator
installed() {
    node -p "require('$tools/node_modules/@action-validator/cli/package.json').version" \
        2>/dev/null || true
}
if [ "$(installed)" != "$version" ]; then
    mkdir -p "$tools"
    npm install --prefix "$tools" --save-exact --no-audit --no-fund --loglevel=error \
        "@action-validator/cli@$version" "@action-validator/core@$version"
fi
status=0
for workflow in "$top"/.github/workflows/*.yml; do
    if "$tools/node_modules/.bin/action-validator" "$workflow"; then
        echo "workflow ${workflow#"$top"/}: valid"
    else
        echo "workflow ${workflow#"$top"/}: INVALID (see above)"
        status=1
    fi
done
exit $status
