#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Deskplay need.
# Idempotent: when everything is present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  # libraries
  qt6-base-dev nlohmann-json3-dev libsimdjson-dev libutf8proc-dev libplist-dev libsecret-1-dev
  libsdl2-dev libsndfile1-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev strace
  gnome-keyring dbus dbus-x11 xvfb xauth fonts-dejavu-core
  # run time
  zsh
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# The game engine needs a Node.js; a machine that already has one keeps it.
command -v node >/dev/null 2>&1 || missing+=(nodejs)

((${#missing[@]} == 0)) && exit 0

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
