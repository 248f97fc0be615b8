#!/usr/bin/env bash
# karsidan-cli.exe under Wine against the Linux karsidan-cli: the same
# standard output byte for byte, the same messages and the same exit codes
# on texts, CR LF, --raw with Ctrl-Z bytes, 64 MiB, non-ASCII keys and file
# names, keys from a file and the environment, the failures, and round
# trips between the two.
#   compare-windows-cli.sh LINUX_CLI WINDOWS_CLI LINUX_ECHO WINDOWS_ECHO
# The echo programs stand in for karsidan-cli-net to check the launcher.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux=$(realpath "$1")
windows=$(realpath "$2")
linuxEcho=$(realpath "$3")
windowsEcho=$(realpath "$4")
export WINEPREFIX=${WINEPREFIX:-$(dirname "$windows")/../wineprefix}
wine=("$here/wine-run.sh" "$WINEPREFIX")

work=$(mktemp -d "${TMPDIR:-/tmp}/karsidan-windows-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
unset KARSIDAN_KEY1 KARSIDAN_KEY2 KARSIDAN_KEY3

# The inputs, all relative to here, so that messages naming them match.
printf 'Halo dunia, ini KARSIDAN.\nbaris kedua: caf\xc3\xa9 \xe2\x82\xac 5\n\n  spasi  \n' >teks.txt
printf 'baris satu\r\nbaris dua\r\n\r\nakhir\r\n' >crlf.txt
printf 'x\x1ay\r\nz\rw\n\x1a\x00\xff\x1a' >ctrlz.bin
printf 'nama berkas bukan ASCII\n' >$'berkas-caf\xc3\xa9-\xe2\x82\xac.txt'
printf 'caf\xc3\xa9\n\xc3\xb1and\xc3\xba\r\n\xe2\x82\xacuro\n' >$'kunci-\xc3\xbc.txt'
# 64 MiB of UTF-8 text with LF line breaks: the streamed paths.
head -c 67108864 < <(yes 'kata caf'$'\xc3\xa9'' na'$'\xc3\xaf''ve 12345 '$'\xe2\x82\xac''uro ABCDEFGHIJ') >besar.txt
mkdir folder
keys=(-1 satu -2 dua -3 tiga)
utf8Keys=(-1 $'caf\xc3\xa9' -2 $'\xc3\xb1and\xc3\xba' -3 $'\xe2\x82\xacuro')

failures=0
checks=0
# same NAME CODE STDIN ARG...: both programs on the same input; standard
# output, standard error and exit code must match, and the code be CODE.
same() {
  local name=$1 code=$2 input=$3
  shift 3
  checks=$((checks + 1))
  set +e
  "$linux" "$@" <"$input" >"l.out" 2>"l.err"
  local lc=$?
  "${wine[@]}" "$windows" "$@" <"$input" >"w.out" 2>"w.err"
  local wc=$?
  set -e
  if [ $lc -ne "$code" ] || [ $wc -ne "$code" ] || ! cmp -s l.out w.out || ! cmp -s l.err w.err; then
    failures=$((failures + 1))
    echo "BEDA: $name (keluar Linux $lc, Windows $wc)"
    cmp l.out w.out | head -1 || true
    diff <(head -c 2000 l.err) <(head -c 2000 w.err) | head -10 || true
  fi
}
# expect NAME WANT GOT: two files with the same bytes.
expect() {
  checks=$((checks + 1))
  if ! cmp -s "$2" "$3"; then
    failures=$((failures + 1))
    echo "BEDA: $1"
    cmp "$2" "$3" | head -1 || true
  fi
}

same "encrypt teks" 0 /dev/null encrypt "${keys[@]}" teks.txt
same "encrypt teks dari masukan standar" 0 teks.txt encrypt "${keys[@]}"
same "encrypt CR LF" 0 crlf.txt encrypt "${keys[@]}"
same "encrypt --raw Ctrl-Z" 0 /dev/null encrypt --raw "${keys[@]}" ctrlz.bin
same "encrypt --raw Ctrl-Z dari masukan standar" 0 ctrlz.bin encrypt --raw "${keys[@]}" -
same "kunci UTF-8, nama berkas UTF-8" 0 /dev/null encrypt "${utf8Keys[@]}" $'berkas-caf\xc3\xa9-\xe2\x82\xac.txt'
same "berkas kunci UTF-8" 0 teks.txt encrypt --keys-file $'kunci-\xc3\xbc.txt'
KARSIDAN_KEY1=$'\xc3\xa9' KARSIDAN_KEY2=$'\xc3\xbc' KARSIDAN_KEY3=$'\xe2\x82\xac' \
  same "kunci dari lingkungan" 0 teks.txt encrypt
same "encrypt 64 MiB" 0 /dev/null encrypt "${keys[@]}" besar.txt
same "encrypt 64 MiB dari masukan standar" 0 besar.txt encrypt "${keys[@]}"
same "encrypt --raw 64 MiB" 0 /dev/null encrypt --raw "${keys[@]}" besar.txt

# Round trips: each program decrypts what the other encrypted.
"$linux" encrypt "${keys[@]}" -o l-besar.hex besar.txt
"${wine[@]}" "$windows" encrypt "${keys[@]}" -o w-besar.hex besar.txt
expect "-o 64 MiB" l-besar.hex w-besar.hex
"${wine[@]}" "$windows" decrypt "${keys[@]}" -o w-besar.txt l-besar.hex
expect "Windows mendekripsi 64 MiB dari Linux" besar.txt w-besar.txt
"${wine[@]}" "$windows" decrypt "${keys[@]}" l-besar.hex >w-besar-stdout.txt
expect "Windows mendekripsi 64 MiB ke keluaran standar" besar.txt w-besar-stdout.txt
"${wine[@]}" "$windows" encrypt --raw "${keys[@]}" -o w-ctrlz.hex ctrlz.bin
"$linux" decrypt --raw "${keys[@]}" w-ctrlz.hex >l-ctrlz.bin
expect "Linux mendekripsi Ctrl-Z dari Windows" ctrlz.bin l-ctrlz.bin
"${wine[@]}" "$windows" decrypt --raw "${keys[@]}" <w-ctrlz.hex >w-ctrlz.bin
expect "Windows mendekripsi Ctrl-Z ke keluaran standar" ctrlz.bin w-ctrlz.bin
"${wine[@]}" "$windows" encrypt "${utf8Keys[@]}" -o $'sandi-\xc3\xb1.hex' $'berkas-caf\xc3\xa9-\xe2\x82\xac.txt'
"${wine[@]}" "$windows" decrypt "${utf8Keys[@]}" -o $'kembali-\xc3\xa9.txt' $'sandi-\xc3\xb1.hex'
expect "nama dan kunci UTF-8 pulang-pergi di Windows" $'berkas-caf\xc3\xa9-\xe2\x82\xac.txt' $'kembali-\xc3\xa9.txt'
same "decrypt 64 MiB" 0 /dev/null decrypt "${keys[@]}" w-besar.hex
"$linux" encrypt "${keys[@]}" crlf.txt >crlf.hex
same "decrypt teks CR LF" 0 crlf.hex decrypt "${keys[@]}"

# The same faults, the same words.
same "berkas tidak ada" 1 /dev/null encrypt "${keys[@]}" tidak-ada.txt
same "folder sebagai masukan" 1 /dev/null encrypt "${keys[@]}" folder
same "-o ke folder yang tidak ada" 1 teks.txt encrypt "${keys[@]}" -o tidak-ada/x.hex
same "-o ke folder" 1 teks.txt encrypt "${keys[@]}" -o folder
same "bukan teks sandi" 2 teks.txt decrypt "${keys[@]}"
same "kunci salah" 0 crlf.hex decrypt -1 salah -2 dua -3 tiga
same "kunci terlalu panjang" 2 teks.txt encrypt -1 sembilan9 -2 dua -3 tiga
same "berkas kunci tidak ada" 1 teks.txt encrypt --keys-file tidak-ada.txt
same "opsi tidak dikenal" 2 /dev/null encrypt --tidak-ada
same "bantuan" 0 /dev/null encrypt --help
# No key and no terminal: setsid leaves both programs without one.
checks=$((checks + 1))
set +e
setsid -w "$linux" encrypt -1 satu <teks.txt >l.out 2>l.err
lc=$?
setsid -w "${wine[@]}" "$windows" encrypt -1 satu <teks.txt >w.out 2>w.err
wc=$?
set -e
if [ $lc -ne $wc ] || ! cmp -s l.err w.err; then
  failures=$((failures + 1))
  echo "BEDA: tanpa kunci dan tanpa terminal (keluar Linux $lc, Windows $wc)"
  diff l.err w.err || true
fi
# A reader that has gone: exit 1 and the same words, never a silent end.
checks=$((checks + 1))
set +e
"$linux" encrypt --raw "${keys[@]}" besar.txt 2>l.err | head -c 100 >/dev/null
lc=${PIPESTATUS[0]}
"${wine[@]}" "$windows" encrypt --raw "${keys[@]}" besar.txt 2>w.err | head -c 100 >/dev/null
wc=${PIPESTATUS[0]}
set -e
if [ $lc -ne $wc ] || ! cmp -s l.err w.err; then
  failures=$((failures + 1))
  echo "BEDA: pembaca menutup pipa (keluar Linux $lc, Windows $wc)"
  diff l.err w.err || true
fi

# The launcher: send hands every argument to the helper and passes its exit
# code on (the echo program stands in for karsidan-cli-net).
mkdir linux-bin windows-bin
cp "$linux" linux-bin/karsidan-cli
cp "$linuxEcho" linux-bin/karsidan-cli-net
cp "$windows" windows-bin/karsidan-cli.exe
cp "$windowsEcho" windows-bin/karsidan-cli-net.exe
linux=$PWD/linux-bin/karsidan-cli
windows=$PWD/windows-bin/karsidan-cli.exe
same "send lewat program bantu" 7 /dev/null send "dua kata" 'kutip"di tengah' 'garis\miring\' $'caf\xc3\xa9 \xe2\x82\xac' "" '\\server\"x" y'
rm windows-bin/karsidan-cli-net.exe linux-bin/karsidan-cli-net
checks=$((checks + 1))
set +e
"$linux" receive 2>l.err
lc=$?
"${wine[@]}" "$windows" receive 2>w.err
wc=$?
set -e
if [ $lc -ne 1 ] || [ $wc -ne 1 ] || ! diff <(head -1 l.err) <(head -1 w.err) >/dev/null; then
  failures=$((failures + 1))
  echo "BEDA: program bantu tidak ada (keluar Linux $lc, Windows $wc)"
  head -1 l.err w.err
fi

echo "karsidan-cli.exe dan karsidan-cli: $((checks - failures)) dari $checks pemeriksaan sama"
[ $failures -eq 0 ]
