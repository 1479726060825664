#!/usr/bin/env bash
# Installs what building, running and testing Korvane needs on Debian (as
# root). Quiet when everything is already there.
#
# A package index can be broken for a while upstream (a mirror mid-sync: one
# architecture's index has an unexpected size). Then the update is retried,
# the install is tried anyway, and if it refuses, tried again preferring the
# release's own versions (which every architecture's index holds) over the
# updates of a suite whose index of one architecture is missing. A package
# that still cannot be had is named, with apt's reason, in one line.
set -u
pkgs=(cmake ninja-build g++ clang libclang-rt-14-dev g++-mingw-w64-i686 wine wine32:i386 wine64
      xvfb xauth xdotool x11-utils imagemagick locales fonts-ipafont-gothic fonts-wine
      googletest libbenchmark-dev fuse3 python3-fusepy lld llvm)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
[ "$(id -u)" = 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

update_index() {
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    if $sudo apt-get update -qq >"$log" 2>&1 && ! grep -q '^[EW]: .*failed' "$log"; then
      rm -f "$log"; return 0
    fi
    [ "$try" = 3 ] || sleep $((try * 5))
  done
  echo "deps: the package index did not update cleanly after 3 tries; installing from what it has:" >&2
  grep -m1 -E '^E: ' "$log" | sed 's/^/deps:   /' >&2
  rm -f "$log"
  return 1
}

install() { $sudo apt-get install -y -qq --no-install-recommends "$@" >/tmp/korvane-deps.log 2>&1; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  update_index
  codename=$(. /etc/os-release 2>/dev/null; echo "${VERSION_CODENAME:-}")
  if ! install "${missing[@]}" &&
     ! { [ -n "$codename" ] && install -t "$codename" "${missing[@]}"; }; then
    failed=()
    for p in "${missing[@]}"; do
      install "$p" || { [ -n "$codename" ] && install -t "$codename" "$p"; } ||
        failed+=("$p: $(grep -m1 -E '^E: |Depends:' /tmp/korvane-deps.log | sed 's/^ *//')")
    done
    if [ ${#failed[@]} -gt 0 ]; then
      for f in "${failed[@]}"; do echo "deps: cannot install $f" >&2; done
      exit 1
    fi
  fi
fi
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  echo "Generating the ja_JP.UTF-8 locale"
  $sudo sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
