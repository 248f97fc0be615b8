#!/usr/bin/env bash
# Installs the build into a staging folder and checks the files with the
# tools desktops and distributions use: desktop-file-validate, appstreamcli,
# man, bash. Exits 77 (skipped) when one of those tools is missing.
#   check-install.sh BUILD_DIR STAGE_DIR APP_ID
set -uo pipefail

build=$1
stage=$2
app_id=$3

missing=()
for tool in desktop-file-validate appstreamcli man lexgrog; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: missing ${missing[*]} (bash scripts/install-deps.sh test installs them)"
  exit 77
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Runs a validator; any output beyond its success line counts as a finding.
quiet() {
  local out
  out=$("$@" 2>&1) || { fail "$* exited non-zero:"; echo "$out"; return; }
  out=$(grep -v -e '^$' -e '^✔ Validation was successful' <<<"$out" | grep -v '^I: .* cid-maybe-not-rdns ')
  [ -z "$out" ] || { fail "$* reported:"; echo "$out"; }
}

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
share=$stage/share
desktop=$share/applications/$app_id.desktop
metainfo=$share/metainfo/$app_id.metainfo.xml
completion=$share/bash-completion/completions/karsidan-cli
cli=$stage/bin/karsidan-cli

for f in "$stage/bin/karsidan" "$cli" "$desktop" "$metainfo" "$completion" \
         "$share/icons/hicolor/scalable/apps/$app_id.svg" \
         "$share/icons/hicolor/16x16/apps/$app_id.png" "$share/icons/hicolor/256x256/apps/$app_id.png" \
         "$share/man/man1/karsidan.1.gz" "$share/man/man1/karsidan-cli.1.gz" \
         "$share/doc/karsidan/copyright"; do
  [ -s "$f" ] || fail "not installed: ${f#"$stage"/}"
done
[ $failures -eq 0 ] || exit 1

# --- Desktop entry: valid, and naming what the window sets.
quiet desktop-file-validate "$desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Icon)" = "$app_id" ] || fail "Icon=$(entry Icon), expected $app_id"
[ -x "$stage/bin/$(entry Exec | cut -d' ' -f1)" ] || fail "Exec=$(entry Exec) is not an installed program"
# X11 groups windows by WM_CLASS, whose class Qt takes from the application
# name that --version prints.
app_name=$(QT_QPA_PLATFORM=offscreen "$stage/bin/karsidan" --version 2>/dev/null | head -1 | cut -d' ' -f1)
[ -n "$app_name" ] && [ "$(entry StartupWMClass)" = "$app_name" ] \
  || fail "StartupWMClass=$(entry StartupWMClass), the window's class is '$app_name'"

# The real window under X11, where Xvfb is at hand: its WM_CLASS and icon.
if command -v xvfb-run >/dev/null && command -v xprop >/dev/null && command -v xwininfo >/dev/null; then
  inbox=$(mktemp -d)
  x11=$(QT_QPA_PLATFORM=xcb KARSIDAN_NO_ASSISTANT=1 timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" --port $((20000 + RANDOM % 20000)) --folder "$2" >/dev/null 2>&1 & pid=$!
    for _ in $(seq 200); do
      id=$(xwininfo -root -tree 2>/dev/null | awk "/\"KARSIDAN \\(/ { print \$1; exit }")
      [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] && xprop -id "$id" WM_CLASS _NET_WM_ICON | grep -o -e "^WM_CLASS.*" -e "Icon ([0-9]* x [0-9]*)"
    kill $pid 2>/dev/null; wait $pid 2>/dev/null
    true' _ "$stage/bin/karsidan" "$inbox")
  rm -rf "$inbox"
  grep -qx "WM_CLASS(STRING) = \"karsidan\", \"$(entry StartupWMClass)\"" <<<"$x11" \
    || fail "the window's WM_CLASS does not match StartupWMClass=$(entry StartupWMClass): ${x11:-no window}"
  grep -q '^Icon (64 x 64)' <<<"$x11" || fail "the window carries no icon: ${x11:-no window}"
else
  echo "note: no xvfb-run/xprop, the window's WM_CLASS was checked only through --version"
fi

# --- Metainfo: valid (pedantic), for this entry, MIT, with a screenshot.
quiet appstreamcli validate --pedantic --no-net "$metainfo"
grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "metainfo launches no $app_id.desktop"
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "metainfo names no MIT licence"
grep -q '<image[^>]*>https://[^<]*\.png</image>' "$metainfo" || fail "metainfo has no screenshot"
grep -q '^License: Expat' "$share/doc/karsidan/copyright" || fail "copyright names no MIT (Expat) licence"

# --- Man pages: no warnings, a whatis line, every command and option of the programs.
for page in karsidan karsidan-cli; do
  file=$share/man/man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { fail "man --warnings $page.1:"; echo "$warnings"; }
  lexgrog "$file" | grep -q ": \"$page - " || fail "$page.1 has no whatis line: $(lexgrog "$file")"
done
rendered_cli=$(MANWIDTH=200 man -E UTF-8 -l "$share/man/man1/karsidan-cli.1.gz" 2>/dev/null | col -b)
rendered_gui=$(MANWIDTH=200 man -E UTF-8 -l "$share/man/man1/karsidan.1.gz" 2>/dev/null | col -b)
grep -q 'local/share/karsidan' <<<"$rendered_gui" || fail "karsidan.1 does not say where received files go"

# Options a help text lists: "  -1, --key1 KUNCI  ..." gives -1 and --key1.
options_of() {
  "$@" --help 2>/dev/null | sed -n 's/^ \{1,\}\(-[^ ].*\)$/\1/p' | sed 's/  .*//; s/, / /g' \
    | tr ' ' '\n' | grep -e '^-' | sed 's/=.*//'
}
commands=$("$cli" --help | sed -n '/^Perintah:/,/^$/p' | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
[ -n "$commands" ] || fail "no commands found in karsidan-cli --help"
for option in $(options_of env QT_QPA_PLATFORM=offscreen "$stage/bin/karsidan"); do
  grep -q -e "$option" <<<"$rendered_gui" || fail "karsidan.1 lacks $option"
done

# --- Completion: parses, and offers every command and every option the help texts list.
bash -n "$completion" || fail "completion does not parse"
complete_words() { # the words typed so far, the last one being completed
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _karsidan_cli; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" karsidan-cli "$@"
}
offered=$(complete_words "")
for command in $commands; do
  grep -qx "$command" <<<"$offered" || fail "completion does not offer the command $command"
  grep -q "^ *$command\$" <<<"$rendered_cli" || fail "karsidan-cli.1 has no section for $command"
  offered_options=$(complete_words "$command" "-")
  for option in $(options_of "$cli" "$command"); do
    grep -qx -e "$option" <<<"$offered_options" || fail "completion of '$command -' lacks $option"
    grep -q -e "$option" <<<"$rendered_cli" || fail "karsidan-cli.1 lacks $command $option"
  done
done
[ "$(complete_words "enc")" = "encrypt" ] || fail "'enc' does not complete to encrypt"
# Values: --folder offers folders only, a file argument offers files.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/inbox" && touch "$scratch/input.txt"
folders=$(cd "$scratch" && complete_words receive --folder "")
[ "$folders" = "inbox" ] || fail "'receive --folder' offers '$folders', expected only inbox"
files=$(cd "$scratch" && complete_words encrypt -1 k "in")
grep -qx "input.txt" <<<"$files" || fail "'encrypt ... in' offers '$files', expected input.txt"
[ -z "$(complete_words encrypt --key1 "")" ] || fail "a key is completed from something"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed files pass desktop-file-validate, appstreamcli --pedantic, man --warnings and the completion checks"
