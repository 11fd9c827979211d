#!/usr/bin/env bash
# print_shop.sh BIN_DIR SHOP_DIR: automatic printing of a shop folder (Pelmar.INI, formats,
# pictures, data file) with the programs of BIN_DIR. The folder's printer is expected to be the
# virtual printer (preview:out), so every printed label becomes SHOP_DIR/out/label-NNNNN.png;
# earlier pictures there are removed first. With a display the window prints (it opens
# minimized and ends by itself); without one, or with PELMAR_HEADLESS=1, pelmar-print does.
# The program runs inside SHOP_DIR, where a relative TextFileName of Pelmar.INI is found.
set -euo pipefail
if [[ $# -ne 2 ]]; then
  echo "usage: $0 BIN_DIR SHOP_DIR" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
shop=$(cd "$2" && pwd)
out="$shop/out"

mkdir -p "$out"
find "$out" -maxdepth 1 -name 'label-*.png' -delete

export PELMAR_HOME="$shop"
cd "$shop"
start=$(date +%s.%N)
if [[ -z "${PELMAR_HEADLESS:-}" && -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x "$bin/pelmar" ]]; then
  "$bin/pelmar"
elif [[ -x "$bin/pelmar-print" ]]; then
  "$bin/pelmar-print" --home "$shop"
elif [[ -x "$bin/pelmar" ]]; then
  QT_QPA_PLATFORM=offscreen "$bin/pelmar"
else
  echo "print_shop: neither $bin/pelmar-print nor $bin/pelmar has been built" >&2
  exit 1
fi
end=$(date +%s.%N)

count=$(find "$out" -maxdepth 1 -name 'label-*.png' | wc -l)
if [[ $count -eq 0 ]]; then
  echo "print_shop: no label was printed; see the messages above" >&2
  exit 1
fi
printf 'Printed %d labels in %.2f s; the pictures are in %s/ (label-00001.png ...)\n' \
  "$count" "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" "$out"
