#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that the program, the desktop entry, the
# metainfo and the icons land in their standard places, and that the desktop entry and the
# metainfo pass their validators.
# Usage: install_check.sh BUILD_DIRECTORY
set -euo pipefail

build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
expect() {
    if [[ ! -f "$prefix/$1" ]]; then
        echo "not installed: $1"
        status=1
    fi
}
expect bin/RurevAR
expect share/applications/org.example.RurevAR.desktop
expect share/metainfo/org.example.RurevAR.metainfo.xml
for size in 32 64 128 256; do
    expect "share/icons/hicolor/${size}x${size}/apps/RurevAR.png"
done
[[ -x "$prefix/bin/RurevAR" ]] || { echo "bin/RurevAR is not executable"; status=1; }

# Nothing else: no helper programs, libraries or headers.
unexpected="$(cd "$prefix" && find . -type f | grep -v -e '^./bin/RurevAR$' \
    -e '^./share/applications/' -e '^./share/metainfo/' -e '^./share/icons/hicolor/' || true)"
if [[ -n "$unexpected" ]]; then
    echo "installed but not expected:"
    echo "$unexpected"
    status=1
fi

desktop-file-validate "$prefix/share/applications/org.example.RurevAR.desktop" || status=1
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.RurevAR.metainfo.xml" || status=1

# The entry starts the installed program and shows the installed icon.
grep -qx 'Exec=RurevAR' "$prefix/share/applications/org.example.RurevAR.desktop" || status=1
grep -qx 'Icon=RurevAR' "$prefix/share/applications/org.example.RurevAR.desktop" || status=1
exit "$status"
