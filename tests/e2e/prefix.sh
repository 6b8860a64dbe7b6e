# Wine prefixes for the scenarios, scripts/run and tools/screenshots.sh: one made by wineboot once
# per Wine version, and quick copies of such a template, one per scenario (Wine keeps one window
# namespace per prefix, so two executers in one prefix see each other). Sourced; needs bash.

wine_loader=${PENDULON_WINE:-/usr/lib/wine/wine64}
# The Debian wrapper /usr/bin/wineserver forces -p0; the server itself takes our options.
wine_server=/usr/lib/wine/wineserver64
[ -x "$wine_server" ] || wine_server=$(command -v wineserver)

export WINEDEBUG=-all
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES=mscoree,mshtml=

# The files of a prefix that Wine rewrites as it runs are the registry and a few small ones;
# everything at or below this size is copied, everything above it (the DLLs) is hard-linked.
prefix_link_above_kib=64

# Makes a prefix at $1 by wineboot unless a complete one for this Wine is already there.
make_prefix() {
  local prefix=$1 version
  version=$("$wine_loader" --version)
  if [ -f "$prefix/.pendulon-prefix" ] && [ "$(cat "$prefix/.pendulon-prefix")" = "$version" ]; then
    return 0
  fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  WINEPREFIX=$prefix "$wine_loader" wineboot -i >/dev/null 2>&1
  WINEPREFIX=$prefix "$wine_server" -k 2>/dev/null || true
  WINEPREFIX=$prefix "$wine_server" -w
  [ -f "$prefix/system.reg" ] || {
    echo "wineboot made no prefix in $prefix" >&2
    return 1
  }
  # Copies of a template are checked against this stamp: a template file newer than it was
  # written through a hard link.
  echo "$version" >"$prefix/.pendulon-prefix"
}

# Copies the template $1 to a new prefix $2: registry and small files as real copies, the big
# read-only ones as hard links.
copy_prefix() {
  local template prefix
  template=$(realpath "$1")
  prefix=$(realpath -m "$2")
  rm -rf "$prefix"
  mkdir -p "$prefix"
  (
    cd "$template"
    local parts=(.update-timestamp system.reg user.reg userdef.reg dosdevices drive_c)
    find "${parts[@]}" \( -type d -o -type l -o -name '*.reg' -o -name '.update-timestamp' \
      -o -type f -size -$((prefix_link_above_kib + 1))k \) -print0 |
      tar --null --no-recursion -T - -cf - | tar -C "$prefix" -xf -
    find drive_c -type f -size +${prefix_link_above_kib}k -print0 |
      xargs -0 -r cp -l --parents -t "$prefix"
  )
}

# Fails if a file of the template changed after it was made, which only a write through one of
# its hard links can do.
check_template_intact() {
  local template=$1 changed
  changed=$(find "$template/drive_c" -type f -newer "$template/.pendulon-prefix" -print -quit)
  if [ -n "$changed" ]; then
    echo "the template prefix was written through a hard link: $changed" >&2
    return 1
  fi
}

# Prints the Windows path of a Unix path, as Wine's Z: drive shows it.
winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}
