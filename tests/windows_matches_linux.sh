#!/usr/bin/env bash
# Converts each bookmark file with the Linux build of velkora-convert and with the
# Windows build under Wine, and fails unless both give the same exit status, the same
# messages and the same tree: the same names and the same bytes in every file.
#
# usage: windows_matches_linux.sh LINUX_CONVERT WINE_ENV WINE WINDOWS_CONVERT BOOKMARK_FILE...
# Exits 77 (skipped) when the Linux build is not there.
set -euo pipefail

linux_convert=$1 wine_env=$2 wine=$3 windows_convert=$4
shift 4
if [[ ! -x $linux_convert ]]; then
  echo "skipped: no Linux build at $linux_convert (build the native preset first)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
for bookmarks in "$@"; do
  name=$(basename "$bookmarks" .html)
  # The length rules measure the absolute target: "/tmp/.../linux/out" on Linux and
  # "Z:\tmp\...\win\out" under Wine are equally long.
  for side in linux win; do
    mkdir -p "$work/$name/$side/out"
    cp "$bookmarks" "$work/$name/$side/bookmarks.html"
  done
  linux_status=0 windows_status=0
  (cd "$work/$name/linux" && "$linux_convert" bookmarks.html out >../linux.txt 2>&1) ||
    linux_status=$?
  (cd "$work/$name/win" &&
    "$wine_env" "$wine" "$windows_convert" bookmarks.html out >../windows.txt 2>&1) ||
    windows_status=$?
  # Messages name paths below the target: compared from there, with "/" for "\".
  linux_target="$work/$name/linux/out"
  windows_target="Z:${linux_target//\//\\}"
  windows_target="${windows_target%\\linux\\out}\\win\\out"
  messages=$(<"$work/$name/linux.txt")
  printf '%s\n' "${messages//"$linux_target"/OUT}" >"$work/$name/linux.txt"
  messages=$(<"$work/$name/windows.txt")
  messages=${messages//"$windows_target"/OUT}
  printf '%s\n' "${messages//\\//}" >"$work/$name/windows.txt"

  # A shortcut names its icon by the icon file's absolute path: compared from the target
  # too, with "/" for "\".
  find "$work/$name/linux/out" -name '*.url' -exec perl -pi -e \
    'BEGIN { $t = shift } s/^IconFile=\Q$t\E/IconFile=OUT/' "$linux_target" {} +
  find "$work/$name/win/out" -name '*.url' -exec perl -pi -e \
    'BEGIN { $t = shift } s/^IconFile=\Q$t\E(.*)/"IconFile=OUT" . ($1 =~ tr|\\\\|\/|r)/e' \
    "$windows_target" {} +

  # The record holds what each system saw of a file's time, in its own units, the digest of
  # its bytes, which name the icon by the target's own absolute path, the source's path, and
  # the source's digest, which takes in the target's path.
  for record in "$work/$name/linux/out/.velkora/record" "$work/$name/win/out/.velkora/record"; do
    if [[ -f $record ]]; then perl -pi -e 's/"modified":\d+/"modified":0/g; s/"sha256":"\w+"/"sha256":""/g; s/"sourceDigest":"\w+"/"sourceDigest":""/; s/("source":\{"kind":"\w+","path":)"[^"]*"/$1""/' "$record"; fi
  done

  entries=$(cd "$work/$name/linux/out" && find . -mindepth 1 | wc -l)
  if [[ $linux_status != "$windows_status" ]]; then
    echo "$name: exit status $linux_status on Linux, $windows_status on Windows"
    failed=1
  elif ! cmp -s "$work/$name/linux.txt" "$work/$name/windows.txt"; then
    echo "$name: the messages differ"
    diff "$work/$name/linux.txt" "$work/$name/windows.txt" || true
    failed=1
  elif ! diff -r "$work/$name/linux/out" "$work/$name/win/out"; then
    echo "$name: the trees differ"
    failed=1
  elif ((entries == 0)); then
    echo "$name: nothing was written"
    failed=1
  else
    echo "$name: the same $entries files and folders, exit status $linux_status"
  fi
done
exit "$failed"
