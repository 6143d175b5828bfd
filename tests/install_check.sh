#!/usr/bin/env bash
# Installs the build into a temporary prefix: the program, desktop entry, metainfo, icons, manual
# page, copyright and changelog in their places and nothing else, entry and metainfo valid.
set -euo pipefail
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
cd "$prefix"
diff <(find . -type f | sort) <(printf '%s\n' ./bin/RurevAR ./share/applications/org.example.RurevAR.desktop \
    ./share/doc/rurevar/{changelog.gz,copyright} ./share/icons/hicolor/{128x128,256x256,32x32,64x64}/apps/RurevAR.png \
    ./share/man/man1/RurevAR.1.gz ./share/metainfo/org.example.RurevAR.metainfo.xml | sort)
test -x bin/RurevAR && grep -qx 'Exec=RurevAR' share/applications/org.example.RurevAR.desktop
desktop-file-validate share/applications/*.desktop && appstreamcli validate --no-net share/metainfo/*.xml
