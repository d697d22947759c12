#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the package is reproducible: clones this repository twice, into two different
# temporary directories, builds the package in each (cmake --workflow --preset package) with the
# same SOURCE_DATE_EPOCH, the time of the commit built, and compares the two .deb files byte for
# byte. With --against, one clone is built and compared with DEB, a package already built from
# that commit elsewhere with the same SOURCE_DATE_EPOCH (CI's own package build).
#   packaging/check_reproducible.sh [--against DEB] [COMMIT]    (default: HEAD; uncommitted
#                                                                changes are not seen)
set -euo pipefail

against=
if [[ ${1:-} == --against ]]; then
  against=$(realpath "$2")
  shift 2
fi
root=$(git -C "${BASH_SOURCE[0]%/*}" rev-parse --show-toplevel)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Builds the package from a fresh clone in directory $1 and prints the path of the .deb.
build() {
  local dir=$1
  mkdir -p "${dir%/*}"
  git clone --quiet --no-checkout "$root" "$dir"
  git -C "$dir" checkout --quiet --detach "$commit"
  if ! (cd "$dir" && cmake --workflow --preset package) >"$dir.log" 2>&1; then
    echo "check_reproducible: the build in $dir failed:" >&2
    tail -n 40 "$dir.log" >&2
    exit 1
  fi
  local debs=("$dir"/build/package/*.deb)
  if ((${#debs[@]} != 1)) || [[ ! -f ${debs[0]} ]]; then
    echo "check_reproducible: expected one .deb in $dir/build/package" >&2
    exit 1
  fi
  printf '%s\n' "${debs[0]}"
}

echo "check_reproducible: commit $commit, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
# Two paths of different lengths, so that a build path written into the package shows.
if [[ -n $against ]]; then
  first=$against
else
  first=$(build "$work/a")
fi
second=$(build "$work/second-clone/tarvik")

if cmp -s "$first" "$second"; then
  echo "check_reproducible: identical: ${first##*/} $(sha256sum <"$first" | cut -d' ' -f1)"
  exit 0
fi

echo "check_reproducible: the two packages differ:" >&2
sha256sum "$first" "$second" >&2
diff <(dpkg-deb --info "$first") <(dpkg-deb --info "$second") >&2 || true
diff <(dpkg-deb --contents "$first") <(dpkg-deb --contents "$second") >&2 || true
mkdir "$work/x1" "$work/x2"
dpkg-deb --extract "$first" "$work/x1"
dpkg-deb --extract "$second" "$work/x2"
diff -r "$work/x1" "$work/x2" >&2 || true
exit 1
