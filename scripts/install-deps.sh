#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the application need.
# Runs as root or through sudo; packages already present are left alone.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  qt6-base-dev libqt6opengl6-dev libqt6svg6
  libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri libx11-dev
  xvfb xauth fonts-dejavu-core fonts-liberation2 locales
  shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl libglib2.0-bin
)
# Extra packages a caller may ask for (the comparison benchmarks use them).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

# On a fresh machine another package manager (an automatic upgrade, a second install) may
# still be at work: wait for it this long rather than fail at once.
lock_wait=300

# The process holding the (fcntl) lock on file $1, as "name (process N)"; nothing when free.
lock_holder() {
  local major minor inode id pid
  read -r major minor inode < <(stat -c '%Hd %Ld %i' "$1" 2>/dev/null) || return 0
  # /proc/locks names a file as major:minor:inode, the device numbers in hex; a line of a
  # process still waiting for the lock has "->" in front.
  id=$(printf '%02x:%02x:%s' "$major" "$minor" "$inode")
  pid=$(awk -v id="$id" '$2 != "->" && $6 == id { print $5; exit }' /proc/locks)
  [ -n "$pid" ] && echo "$(cat "/proc/$pid/comm" 2>/dev/null || echo "another program") (process $pid)"
  return 0
}

# Says what the next step waits for when another process holds lock file $1.
tell_wait() {
  local holder
  holder=$(lock_holder "$1")
  [ -z "$holder" ] || echo "install-deps.sh: $holder holds $1;" \
    "waiting up to $((lock_wait / 60)) minutes for it to finish" >&2
}

export DEBIAN_FRONTEND=noninteractive
apt_get=(apt-get -o "DPkg::Lock::Timeout=$lock_wait")
[ "$(id -u)" -ne 0 ] && apt_get=(sudo "${apt_get[@]}")

# apt-get update locks the package lists, for which apt 2.6 ignores the timeout: wait here.
lists_lock=/var/lib/apt/lists/lock
tell_wait "$lists_lock"
for ((waited = 0; waited < lock_wait; waited += 2)); do
  [ -n "$(lock_holder "$lists_lock")" ] || break
  sleep 2
done
"${apt_get[@]}" update -q
tell_wait /var/lib/dpkg/lock-frontend
"${apt_get[@]}" install -y -q --no-install-recommends "${missing[@]}"
