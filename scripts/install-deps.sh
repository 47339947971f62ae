#!/usr/bin/env bash
# Installs the Debian packages Nimbra needs to build, test and run; does nothing when all are present.
set -euo pipefail
# cups and cups-client run the private print server of the printing tests; libcups2-dev is the
# client library print jobs are handed to CUPS through.
packages=(cmake ninja-build g++ qt6-base-dev qt6-wayland libsqlite3-dev libbenchmark-dev
          fonts-liberation fonts-dejavu-core clang-format poppler-utils
          cups cups-client libcups2-dev)
# Passwords go to the desktop's keyring through QtKeychain, which loads libsecret when it runs; the
# keyring tests start a private session bus (dbus-daemon) with gnome-keyring-daemon on it and read
# what it holds with secret-tool.
packages+=(qtkeychain-qt6-dev libqt6keychain1 libsecret-1-0 dbus-daemon gnome-keyring libsecret-tools)
# The activity chart draws with Qt's chart module.
packages+=(qt6-charts-dev)
missing=()
# Installing and packaging: the package build, its checks and the installed-tree tests.
packages+=(dpkg-dev lintian desktop-file-utils appstream man-db binutils)
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
