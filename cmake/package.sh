#!/usr/bin/env bash
# The release archive, made by the build's target "package": what the build installs (both
# programs, stripped; the example lib folder; README.txt), signed when asked, with SHA256SUMS of
# it all, in a ZIP whose bytes follow from the commit alone. Every entry is dated at the commit's
# time (UTC, as the ZIP format keeps local times), in one order, with fixed permissions and no
# owner or other extra fields, so that a rebuild anywhere gives the same archive.
#
#   package.sh BUILD ARCHIVE --time=SECONDS --refusal=WHY
#
# Signing is asked for through the environment (scripts/package --sign sets it), so that it never
# stays in the build's cache: PENDULON_SIGN_CERT, a PKCS#12 file with the key and certificate;
# PENDULON_SIGN_PASSWORD, its password, handed on through a pipe, never on a command line;
# PENDULON_SIGN_TIMESTAMP, the URL of a time-stamp server (optional).
set -euo pipefail
build=$1 archive=$2 time=${3#--time=} refusal=${4#--refusal=}
if [ -n "$refusal" ]; then
  echo "package: no release archive: $refusal" >&2
  exit 1
fi

stage=$(mktemp -d "$build/package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
files=$stage/files
# strip writes a new PE time stamp; with SOURCE_DATE_EPOCH it is the commit's.
SOURCE_DATE_EPOCH=$time cmake --install "$build" --prefix "$files" --strip >/dev/null

if [ -n "${PENDULON_SIGN_CERT:-}" ]; then
  if [ -z "${PENDULON_SIGN_PASSWORD+set}" ]; then
    echo "package: PENDULON_SIGN_CERT is set, but not PENDULON_SIGN_PASSWORD (its password)" >&2
    exit 1
  fi
  for exe in pendulon.exe qefcheck.exe; do
    sign=(sign -pkcs12 "$PENDULON_SIGN_CERT" -readpass /dev/stdin -h sha256 -n Pendulon
      -in "$files/$exe" -out "$stage/$exe")
    [ -z "${PENDULON_SIGN_TIMESTAMP:-}" ] || sign+=(-ts "$PENDULON_SIGN_TIMESTAMP")
    if ! printf '%s' "$PENDULON_SIGN_PASSWORD" | osslsigncode "${sign[@]}" >"$stage/sign.log" 2>&1; then
      cat "$stage/sign.log" >&2
      echo "package: signing $exe with $PENDULON_SIGN_CERT failed" >&2
      exit 1
    fi
    mv "$stage/$exe" "$files/$exe"
  done
fi

cd "$files"
find . -type f -exec chmod 644 {} +
chmod 755 pendulon.exe qefcheck.exe
mapfile -t names < <(find . -type f | sed 's|^\./||' | LC_ALL=C sort)
sha256sum -- "${names[@]}" >SHA256SUMS
chmod 644 SHA256SUMS
mapfile -t names < <(printf '%s\n' "${names[@]}" SHA256SUMS | LC_ALL=C sort)
find . -exec touch -h -d "@$time" {} +
rm -f "$archive.new"
# -X: no owner, no times but the entry's own; -D: no entries for folders.
printf '%s\n' "${names[@]}" | TZ=UTC zip -q -X -D "$archive.new" -@
mv "$archive.new" "$archive"
echo "package: $archive"
