#!/usr/bin/env bash
# pipelines_test.sh: scripts/check-pipelines finds the pipelines that SIGPIPE can fail under
# pipefail and lets the sound ones pass; then the project's own scripts must all be sound.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-pipelines"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# One script line per case: flagged (1) or not (0).
cases=(
  '1|  if ninja -C "$build" -t targets all 2>/dev/null | grep -q "^$t:"; then'
  '1|deb=$(find "$work" -name "*.deb" | head -1)'
  '1|awk "{ print \$2 }" list | grep -qx "./usr/bin/pelmar" || echo missing'
  '1|dpkg -l |grep -m1 cups'
  '1|dpkg -L cups | grep -l lpadmin'
  '1|dpkg -L cups | grep --quiet lpadmin'
  '1|ls | tr a-z A-Z | head -n 3'
  '1|lpstat -v | sed 1q'
  '1|lpstat -v | sed -n "/TSC/{p;q}"'
  '1|lpstat -v | awk "/TSC/ { print; exit }"'
  '1|printf "%s\n" "$list" | read -r first'
  '1|make 2>&1 |& grep -q error'
  '0|count=$(find "$out" -name "label-*.png" | wc -l)'
  '0|runs=$(sed -n "s/^stat:: *//p" "$log" | tail -1)'
  '0|grep -q "/out/" "$work/contents"'
  '0|prefix=$(grep -m1 "^PREFIX:" cache.txt | cut -d= -f2)'
  '0|echo "$block" | sed "s/^/  /"'
  '0|lpstat -v | sed -n "s/q/Q/p"'
  '0|lpstat -v | grep -c TSC'
  '0|lpstat -v | grep -v quux'
  '0|lpstat -v | awk "{ print \$3 }"'
  '0|command -v sudo >/dev/null || grep -q x file'
  '0|# ninja -t targets | grep -q pelmar'
  '0|[[ "$known" == *"pelmar: "* ]] && echo found'
)
for c in "${cases[@]}"; do
  expected=${c%%|*}
  line=${c#*|}
  printf '#!/usr/bin/env bash\n%s\n' "$line" >"$work/case.sh"
  if "$check" "$work/case.sh" >/dev/null 2>&1; then flagged=0; else flagged=1; fi
  if [[ $flagged -ne $expected ]]; then
    echo "check-pipelines flagged=$flagged, expected $expected: $line"
    failed=1
  fi
done

# A pipeline continued on the next line is reported at its first line.
printf '#!/bin/sh\necho one\nninja -t targets all \\\n  | grep -q pelmar\n' >"$work/continued.sh"
said=$("$check" "$work/continued.sh" 2>/dev/null || true)
if [[ "$said" != "$work/continued.sh:3: "* ]]; then
  echo "continued pipeline: got '$said'"
  failed=1
fi

# The project's scripts themselves.
if ! "$check"; then
  echo "the project's scripts hold a pipeline that SIGPIPE can fail"
  failed=1
fi
exit $failed
