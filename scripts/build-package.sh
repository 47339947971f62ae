#!/usr/bin/env bash
# Builds the Debian package build/package/nimbra_<version>_amd64.deb and checks it: lintian finds
# no error, and its files pass the checks the tests make on an installed tree.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
rm -f build/package/nimbra_*.deb
cmake --workflow --preset package
deb=$(echo build/package/nimbra_*_amd64.deb)
lintian --fail-on error "$deb"
for part in programs metadata paths; do
    tests/check-installed-tree.sh "$part" "$deb"
done
echo "Built and checked $deb; install it with: sudo apt-get install ./$deb"
