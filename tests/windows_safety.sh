#!/usr/bin/env bash
# The Windows converter under Wine, where the Linux side can stage what a Windows test
# program cannot:
# - a symbolic link of the Linux file system is a reparse point to a Windows program, as
#   a junction is on Windows (Wine 8 cannot make junctions): such a folder below the
#   target must be refused and nothing written through it;
# - Wine turns SIGINT into Ctrl+C: an interrupted run exits 130, names exactly the number
#   of shortcuts on disk and leaves only whole shortcuts, the older one intact, and no
#   temporary file.
#
# usage: windows_safety.sh WINE_ENV WINE WINDOWS_CONVERT
set -euo pipefail

wine_env=$1 wine=$2 convert=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "$1"
  cat "$work/messages.txt"
  exit 1
}

mkdir -p "$work/out" "$work/outside"
ln -s "$work/outside" "$work/out/L"
printf '<LI>L<UL>\r\n<LI><A HREF="http://in/">in</A>\r\n</UL>\r\n<LI><A HREF="http://t/">top</A>\r\n' \
  >"$work/bookmarks.html"
status=0
(cd "$work" && "$wine_env" "$wine" "$convert" bookmarks.html out >messages.txt 2>&1) || status=$?
if [[ $status != 1 || -n $(ls -A "$work/outside") || ! -f $work/out/top.url ]] ||
  ! grep -q 'シンボリックリンクかジャンクション' "$work/messages.txt"; then
  fail "linked folder: exit status $status, outside: $(ls -A "$work/outside")"
fi

# Each with an icon of its own: a PNG's signature and header in base64, and eight digits.
for i in $(seq 0 19999); do printf '<DT><A HREF="http://s/" ICON="data:image/png;base64,%s%08d">b%d</A>\r\n' \
  iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9h "$i" "$i"; done >"$work/bookmarks.html"
printf '[InternetShortcut]\r\nURL=http://old/\r\n' >"$work/old.url"
# The number the interrupt names is counted under the lock a shortcut is renamed under;
# a count taken after the rename fell one short in about 4 runs of 10, hence 5 runs.
for run in 1 2 3 4 5; do
  rm -rf "$work/out" && mkdir "$work/out"
  cp "$work/old.url" "$work/out/b19999.url"
  # wine-env and wine exec each other: the process started here is the converter itself.
  (cd "$work" && exec "$wine_env" "$wine" "$convert" bookmarks.html out >messages.txt 2>&1) &
  converter=$!
  for _ in $(seq 600); do (($(ls "$work/out" | wc -l) > 3)) && break; sleep 0.1; done
  kill -INT "$converter"
  status=0
  wait "$converter" || status=$?
  [[ $status == 130 ]] || fail "interrupt $run: exit status $status"
  grep -q '中断しました。ブックマーク 20000 件のうち' "$work/messages.txt" ||
    fail "interrupt $run: no message"
  cmp -s "$work/out/b19999.url" "$work/old.url" || fail "interrupt $run: the older file changed"
  written=0
  for file in "$work"/out/* "$work"/out/.[!.]* "$work"/out/.velkora/icons/{*,.[!.]*}; do
    [[ -e $file && $file != */b19999.url && $file != */.velkora && $file != */.velkora/icons && $file != *.ico ]] || continue
    [[ $file == *.url ]] || fail "interrupt $run: $(basename "$file") was left behind"
    grep -q $'^URL=http://s/\r$' "$file" && grep -q $'^IconIndex=0\r$' "$file" ||
      fail "interrupt $run: $(basename "$file") is not whole"
    written=$((written + 1))
  done
  grep -q "件のうち $written 件のショートカット" "$work/messages.txt" ||
    fail "interrupt $run: $written shortcuts on disk, not the number named"
done
echo "the linked folder was refused; the interrupted run left whole shortcuts only"
