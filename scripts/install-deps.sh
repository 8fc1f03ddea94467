#!/usr/bin/env bash
# Installs everything that building, testing and running Deskplay need: the Debian packages,
# pnpm, and the packages of the tilestack game workspace. Idempotent: when everything is
# present it prints nothing and changes nothing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# pnpm 11 and later need Node.js 22; Node.js 20 is what Debian and our machines have.
pnpm_version=10.34.9

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format ccache
  # libraries
  qt6-base-dev nlohmann-json3-dev libsimdjson-dev libutf8proc-dev libplist-dev libsecret-1-dev
  libsdl2-dev libsndfile1-dev
  # the popover: Qt Quick with its Controls, offscreen input and accessibility (private headers),
  # and the symbol font
  qt6-base-private-dev qt6-declarative-dev qt6-declarative-private-dev qml6-module-qtquick
  qml6-module-qtquick-controls qml6-module-qtquick-layouts qml6-module-qtquick-window
  qml6-module-qtqml-workerscript qml6-module-qtquick-templates qml6-module-qttest
  fonts-materialdesignicons-webfont
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev strace
  gnome-keyring dbus dbus-x11 libglib2.0-bin xvfb xauth fonts-dejavu-core
  # run time
  zsh
)

# Runs a command as root, directly or through sudo.
as_root() {
  if ((EUID == 0)); then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "install-deps: need root or sudo to run: $*" >&2
    return 1
  fi
}

# Runs a command as the person who asked for the installation, also under sudo, so that the
# workspace's files and the package store stay theirs.
as_invoking_user() {
  if ((EUID == 0)) && [[ -n ${SUDO_USER:-} && $SUDO_USER != root ]]; then
    sudo -u "$SUDO_USER" -H "$@"
  else
    "$@"
  fi
}

install_debian_packages() {
  local missing=() package status
  for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
  done
  # The game engine needs a Node.js and npm; a machine that already has them keeps its own.
  command -v node >/dev/null 2>&1 || missing+=(nodejs)
  command -v npm >/dev/null 2>&1 || missing+=(npm)
  ((${#missing[@]} == 0)) && return 0

  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -qq
  as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_pnpm() {
  local installed
  installed=$(pnpm --version 2>/dev/null || true)
  [[ $installed == 10.* ]] && return 0

  echo "install-deps: installing pnpm $pnpm_version${installed:+ (found $installed)}"
  local prefix
  prefix=$(npm prefix -g)
  if [[ -w $prefix/lib/node_modules || (! -e $prefix/lib/node_modules && -w $prefix) ]]; then
    npm install -g --silent "pnpm@$pnpm_version" >/dev/null
  else
    as_root npm install -g --silent "pnpm@$pnpm_version" >/dev/null
  fi
  hash -r
  installed=$(pnpm --version 2>/dev/null || true)
  if [[ $installed != 10.* ]]; then
    echo "install-deps: pnpm $pnpm_version went to $prefix/bin, but $(command -v pnpm || echo 'no pnpm')" \
      "(${installed:-no version}) comes first on PATH" >&2
    return 1
  fi
}

install_workspace_packages() {
  [[ -e $root/tilestack/node_modules/.modules.yaml ]] ||
    echo "install-deps: installing the tilestack workspace's packages"
  local output
  # A store that moved would otherwise make pnpm ask before purging node_modules, and fail
  # without a terminal.
  if ! output=$(cd "$root/tilestack" && as_invoking_user pnpm install --frozen-lockfile \
    --prefer-offline --config.confirmModulesPurge=false 2>&1); then
    echo "$output" >&2
    echo "install-deps: pnpm install failed in $root/tilestack" >&2
    return 1
  fi
}

install_debian_packages
install_pnpm
install_workspace_packages
