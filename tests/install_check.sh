#!/usr/bin/env bash
# Installs the build into a temporary prefix: the program, its desktop entry, metainfo, icons,
# manual page, copyright and changelog, in their standard places and nothing else, the entry and
# metainfo passing their validators.
set -euo pipefail
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
cd "$prefix"
expected="$(printf '%s\n' ./bin/RurevAR ./share/applications/org.example.RurevAR.desktop \
    ./share/metainfo/org.example.RurevAR.metainfo.xml ./share/icons/hicolor/{128x128,256x256,32x32,64x64}/apps/RurevAR.png \
    ./share/doc/rurevar/{changelog.gz,copyright} ./share/man/man1/RurevAR.1.gz)"
diff <(find . -type f | sort) <(sort <<<"$expected")
test -x bin/RurevAR
desktop-file-validate share/applications/org.example.RurevAR.desktop
appstreamcli validate --no-net share/metainfo/org.example.RurevAR.metainfo.xml
grep -qx 'Exec=RurevAR' share/applications/org.example.RurevAR.desktop
