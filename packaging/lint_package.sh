#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs lintian on the built package: any error or warning fails; info tags are shown. The tags
# that packaging/lintian-overrides answers are not (lintian --show-overrides would count them
# towards --fail-on).
#   packaging/lint_package.sh [DEB]    (default: the .deb of cmake --workflow --preset package)
set -euo pipefail

root=$(cd "${BASH_SOURCE[0]%/*}/.." && pwd)
if (($# > 0)); then
  deb=$1
else
  shopt -s nullglob
  debs=("$root"/build/package/*.deb)
  if ((${#debs[@]} != 1)); then
    echo "lint_package: expected one .deb in build/package, found ${#debs[@]}" \
      "(make it with: cmake --workflow --preset package)" >&2
    exit 1
  fi
  deb=${debs[0]}
fi

if ! command -v lintian >/dev/null 2>&1; then
  echo "lint_package: lintian is not installed (Debian: apt-get install lintian)" >&2
  exit 1
fi

echo "lint_package: lintian $deb"
lintian --fail-on error,warning --display-info "$deb"
echo "lint_package: no errors or warnings"
