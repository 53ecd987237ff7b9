#!/usr/bin/env bash
# Under Wine a symbolic link of the Linux file system is a reparse point to a Windows
# program, as a junction is on Windows (Wine 8 cannot make junctions): the Windows build
# must refuse such a folder below the target and write nothing through it.
#
# usage: windows_link_in_target.sh WINE_ENV WINE WINDOWS_CONVERT
set -euo pipefail

wine_env=$1 wine=$2 convert=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out" "$work/outside"
ln -s "$work/outside" "$work/out/L"
printf '<LI>L<UL>\r\n<LI><A HREF="http://in/">in</A>\r\n</UL>\r\n<LI><A HREF="http://t/">top</A>\r\n' \
  >"$work/bookmarks.html"

status=0
(cd "$work" && "$wine_env" "$wine" "$convert" bookmarks.html out >messages.txt 2>&1) || status=$?
if [[ $status != 1 || -n $(ls -A "$work/outside") || ! -f $work/out/top.url ]] ||
  ! grep -q 'シンボリックリンクかジャンクション' "$work/messages.txt"; then
  echo "exit status $status, outside: $(ls -A "$work/outside"), messages:"
  cat "$work/messages.txt"
  exit 1
fi
echo "the linked folder was refused and nothing was written through it"
