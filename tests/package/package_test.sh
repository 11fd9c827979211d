#!/usr/bin/env bash
# package_test.sh BUILD_DIR: builds the Debian package of a built tree with cpack and checks
# its contents (dpkg-deb -c) and its control fields (dpkg-deb -f). Exit 77 (skipped) when
# dpkg-deb is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
command -v dpkg-deb >/dev/null || { echo "dpkg-deb missing: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  exit 1
}
deb=$(find "$work" -maxdepth 1 -name 'pelmar_*.deb' -print -quit)
[[ -n "$deb" ]] || { echo "no pelmar_*.deb made"; cat "$work/cpack.log"; exit 1; }
echo "package: $(basename "$deb")"
# Kind and path of each entry; a link's line ends in "PATH -> TARGET".
dpkg-deb -c "$deb" | awk '{ if ($1 ~ /^l/) print $1, $(NF - 2), "-> link"; else print $1, $NF }' \
  >"$work/contents"
cat "$work/contents"

prefix=$(grep -m1 '^CMAKE_INSTALL_PREFIX:' "$build/CMakeCache.txt" | cut -d= -f2)
sysconf=/etc
[[ "$prefix" == /usr ]] || sysconf="$prefix/etc"
failed=0
expect() {
  if ! awk -v path=".$1" '$2 == path { found = 1 } END { exit !found }' "$work/contents"; then
    echo "missing from the package: $1"
    failed=1
  fi
}
for program in pelmar pelmar-print tspl-render; do
  # A program that is not part of this build yet cannot be in its package.
  if [[ -x "$build/bin/$program" ]]; then
    expect "$prefix/bin/$program"
    expect "$prefix/share/man/man1/$program.1"
  fi
done
for file in Pelmar.INI ITEMS.TXT PRICE.FMT SHELF.FMT logo.pcx mark.bmp; do
  expect "$prefix/share/pelmar/example/$file"
done
expect "$prefix/share/pelmar/example-fixed/Pelmar.INI"
if [[ -x "$build/bin/rastertotspl" ]]; then
  expect "$prefix/lib/cups/filter/rastertotspl"
  expect "$prefix/share/cups/drv/pelmar-tspl.drv"
  grep -qx -- "-rwxr-xr-x .$prefix/lib/cups/filter/rastertotspl" "$work/contents" ||
    { echo "the filter is not mode 755"; failed=1; }
fi
expect "$prefix/share/applications/pelmar.desktop"
expect "$prefix/share/icons/hicolor/scalable/apps/pelmar.svg"
expect "$prefix/share/fontconfig/conf.avail/65-pelmar-aliases.conf"
expect "$sysconf/fonts/conf.d/65-pelmar-aliases.conf"
if grep -q '/out/' "$work/contents"; then
  echo "pictures of a demo run slipped into the package"
  failed=1
fi
if ! grep -q "conf.d/65-pelmar-aliases.conf -> link" "$work/contents"; then
  echo "the fontconfig file in conf.d is not a link"
  failed=1
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dependency in libqt6gui6 libqt6widgets6 libcups2 libzint fonts-arphic-uming fonts-liberation; do
  if [[ "$depends" != *"$dependency"* ]]; then
    echo "Depends lacks $dependency"
    failed=1
  fi
done
exit $failed
