#!/usr/bin/env bash
# The release zip as a user gets it. scripts/package runs twice, in the usual build tree
# and in a new one elsewhere, and must give the same bytes. Then: the files in the zip,
# readme.txt (byte order mark, CR LF, its sections, the version), the version information
# of both programs, and, unpacked into an empty folder and run under Wine in the Japanese
# locale, velkora-convert.exe --version and a conversion of the sample.
#
# usage: release_zip_test.sh SOURCE_DIR WINE_ENV WINE
set -euo pipefail

source_dir=$(realpath "$1") wine_env=$(realpath "$2") wine=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAILED: $*"
  failed=1
}

for run in 1 2; do
  build=()
  ((run == 1)) || build=(--build-dir "$work/build-$run")
  if ! "$source_dir/scripts/package" "${build[@]}" --dist-dir "$work/dist-$run" \
    >"$work/package-$run.log" 2>&1; then
    cat "$work/package-$run.log"
    echo "FAILED: scripts/package (run $run)"
    exit 1
  fi
done
zips=("$work"/dist-1/velkora-*-win64.zip)
zip=${zips[0]}
name=$(basename "$zip")
version=${name#velkora-}
version=${version%-win64.zip}
echo "$name: $(stat -c %s "$zip") bytes"
cmp "$zip" "$work/dist-2/$name" || fail "two runs of scripts/package gave different zips"
(cd "$work/dist-1" && sha256sum --check --quiet "$name.sha256") || fail "the .sha256 is wrong"

listing=$(cmake -E tar tf "$zip")
[[ $listing == $'velkora.exe\nvelkora-convert.exe\nreadme.txt' ]] ||
  fail "the zip holds: $(echo $listing)"
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")

# readme.txt and the version information of both programs, byte by byte.
python3 - "$work/unpacked" "$version" <<'EOF' || failed=1
import re, sys
folder, version = sys.argv[1], sys.argv[2]
problems = []
raw = open(f"{folder}/readme.txt", "rb").read()
if not raw.startswith(b"\xef\xbb\xbf"):
    problems.append("readme.txt has no byte order mark")
if raw.count(b"\n") != raw.count(b"\r\n") or raw.count(b"\r") != raw.count(b"\r\n") \
        or not raw.endswith(b"\r\n"):
    problems.append("readme.txt has line ends other than CR LF")
text = raw[3:].decode("utf-8")
lines = text.split("\r\n")
if lines[0] != f"Velkora {version}":
    problems.append(f"readme.txt begins {lines[0]!r}")
sections = [line[1:] for line in lines if line.startswith("■")]
expected = ["概要", "動作環境", "インストールとアンインストール", "使い方", "変換の規則",
            "コマンドライン", "よくある質問", "変更履歴"]
if sections != expected:
    problems.append(f"readme.txt sections: {sections}")

major, minor, patch = (int(part) for part in version.split("."))
wide = lambda text: re.escape(text.encode("utf-16-le"))
for program in ("velkora.exe", "velkora-convert.exe"):
    image = open(f"{folder}/{program}", "rb").read()
    fixed = image.find(b"\xbd\x04\xef\xfe")
    numbers = [int.from_bytes(image[fixed + at:fixed + at + 4], "little") for at in (8, 12)]
    if fixed < 0 or numbers != [major << 16 | minor, patch << 16]:
        problems.append(f"{program}: the file version is not {version}")
    for key, value in (("ProductVersion", version), ("OriginalFilename", program)):
        if not re.search(wide(key + "\0") + b"(\0\0)?" + wide(value + "\0"), image):
            problems.append(f"{program}: {key} is not {value}")
for problem in problems:
    print("FAILED:", problem)
sys.exit(1 if problems else 0)
EOF

# Unpacked, under Wine: the version, then the sample, every bookmark a shortcut.
cd "$work"
cp "$source_dir/samples/bookmarks.html" bookmarks.html
mkdir out
printed=$("$wine_env" "$wine" unpacked/velkora-convert.exe --version) || true
[[ $printed == "velkora-convert $version" ]] || fail "--version printed: $printed"
status=0
"$wine_env" "$wine" unpacked/velkora-convert.exe bookmarks.html out >convert.txt 2>&1 || status=$?
((status == 0)) && grep -q '完了しました。' convert.txt ||
  fail "converting the sample: exit status $status, $(cat convert.txt)"
grep -o 'HREF="[^"]*"' bookmarks.html | sed 's/^HREF="//; s/"$//' | LC_ALL=C sort >expected.txt
find out -type f -name '*.url' -print0 | while IFS= read -r -d '' shortcut; do
  # Exactly "[InternetShortcut]" CR LF "URL=" url CR LF.
  if [[ $(head -n1 "$shortcut") != $'[InternetShortcut]\r' || $(wc -l <"$shortcut") != 2 ]]; then
    echo "not a whole shortcut: $shortcut" >&2
  fi
  sed -n '2s/^URL=\(.*\)\r$/\1/p' "$shortcut"
done 2>bad.txt | LC_ALL=C sort >written.txt
[[ -s expected.txt && ! -s bad.txt ]] && cmp -s expected.txt written.txt ||
  fail "the shortcuts differ from the sample's bookmarks: $(cat bad.txt; diff expected.txt written.txt)"
echo "converted the sample: $(wc -l <written.txt) shortcuts"
exit "$failed"
