#!/usr/bin/env bash
# The folders of the program form layers: no two top-level folders include each other, and
# nothing but app/ and platform/qt/ includes app/ or platform/qt/. platform/core/ and
# platform/qt/ count as folders of their own (the Qt layer sits above the core it serves).
set -euo pipefail
cd "$(dirname "$0")/.."

folders="image platform/core platform/qt formats document presentation processing fourier sp app"

# The folder a source path or an include path belongs to, or nothing.
folder_of() {
  local path=$1 f
  for f in $folders; do
    case $path in "$f"/*) echo "$f"; return ;; esac
  done
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for from in $folders; do
  [ -d "$from" ] || continue
  grep -rhoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' --include='*.h' --include='*.cpp' "$from" |
    sed -E 's/.*"([^"]+)"/\1/' | while read -r included; do
      to=$(folder_of "$included")
      if [ -n "$to" ] && [ "$to" != "$from" ]; then echo "$from $to"; fi
    done
done | sort -u >"$edges"

status=0
while read -r from to; do
  if grep -qx "$to $from" "$edges" && [[ "$from" < "$to" ]]; then
    echo "layout: $from/ and $to/ include each other" >&2
    status=1
  fi
  case $to in
    app|platform/qt)
      if [ "$from" != app ] && [ "$from" != platform/qt ]; then
        echo "layout: $from/ includes $to/, which sits above it" >&2
        status=1
      fi ;;
  esac
done <"$edges"
[ $status -eq 0 ] && echo "layout: no two folders include each other"
exit $status
