#!/usr/bin/env bash
# Installs this build into a temporary prefix and checks that what was put
# there works from there: the layout, the desktop entry (desktop-file-validate),
# and zentrope-gif reading an installed sample through the installed codec
# module, started through its link in bin/.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

program="$prefix/lib/zentrope"
for f in zentrope zentrope-gif libzentrope-platform.so libzentrope-media.so libpvcx96v3.so libq3tif32.so \
         libq3dxf32.so libq3spec32.so zentrope.hlp samples/bouncing-ball.gif; do
  [ -e "$program/$f" ] || { echo "missing: $program/$f"; exit 1; }
done
# Every library the installed program needs is found from where it is.
if ldd "$program/zentrope" | grep -q 'not found'; then
  echo "the installed program lacks libraries:"; ldd "$program/zentrope" | grep 'not found'; exit 1
fi
[ -L "$prefix/bin/zentrope" ] && [ -x "$prefix/bin/zentrope" ] || { echo "bin/zentrope is no link to the program"; exit 1; }
[ -f "$prefix/share/icons/hicolor/scalable/apps/zentrope.svg" ] || { echo "no icon"; exit 1; }

entry="$prefix/share/applications/zentrope.desktop"
desktop-file-validate "$entry"
grep -q "^Exec=$prefix/bin/zentrope %f$" "$entry" || { echo "Exec does not name the installed program"; exit 1; }
grep -q '^MimeType=image/gif;' "$entry" || { echo "no GIF MIME type"; exit 1; }

# Run from elsewhere, so nothing is found beside the build by accident.
cd /
out="$("$prefix/bin/zentrope-gif" info "$program/samples/bouncing-ball.gif")"
echo "$out" | grep -q 'frame' || { echo "zentrope-gif info gave: $out"; exit 1; }
echo "installed and ran from $prefix"
