#!/usr/bin/env bash
# print_shop_network.sh BIN_DIR SHOP_DIR [PORT]: prints a shop folder to the virtual network
# printer, the way a shop prints to a printer on its network: starts tspl-render --listen on
# 127.0.0.1:PORT (9100, the address of "TSC Network" in the example's [Ports]) with the printer's
# mechanics, runs pelmar-print on that printer (paced by the printer's status), and stops the
# printer. Every label becomes SHOP_DIR/net/label-NNNNN.png. TIME_SCALE (default 0.25) speeds
# up the simulated printer; FAULT (say paper-out@10) makes it stop after that many labels until
# SIGUSR1 (kill -USR1 on the pid it prints) clears it.
set -euo pipefail
if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: $0 BIN_DIR SHOP_DIR [PORT]" >&2
  exit 2
fi
bin=$(cd "$1" && pwd)
shop=$(cd "$2" && pwd)
port=${3:-9100}
out="$shop/net"
for tool in tspl-render pelmar-print; do
  [[ -x "$bin/$tool" ]] || { echo "print_shop_network: $bin/$tool has not been built" >&2; exit 1; }
done

mkdir -p "$out"
find "$out" -maxdepth 1 -name 'label-*.png' -delete
options=(--listen "127.0.0.1:$port" -o "$out" --mechanics --time-scale "${TIME_SCALE:-0.25}")
[[ -n "${FAULT:-}" ]] && options+=(--fault "$FAULT")
coproc printer { exec "$bin/tspl-render" "${options[@]}"; }
printer_pid=$printer_PID
trap 'kill "$printer_pid" 2>/dev/null || true' EXIT
read -r listening <&"${printer[0]}" || { echo "print_shop_network: the printer did not start" >&2; exit 1; }
echo "print_shop_network: printer $listening (pid $printer_pid)"

status=0
start=$(date +%s.%N)
(cd "$shop" && PELMAR_HOME="$shop" QT_QPA_PLATFORM=offscreen \
  "$bin/pelmar-print" --home "$shop" --printer "socket://127.0.0.1:$port" \
  --fault-wait "${FAULT_WAIT:-0}") || status=$?
end=$(date +%s.%N)
kill -TERM "$printer_pid" 2>/dev/null || true
wait "$printer_pid" 2>/dev/null || true
trap - EXIT

count=$(find "$out" -maxdepth 1 -name 'label-*.png' | wc -l)
printf 'print_shop_network: %d labels in %.2f s (pelmar-print exit status %d); the pictures are in %s/\n' \
  "$count" "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')" "$status" "$out"
exit "$status"
