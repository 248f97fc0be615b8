#!/bin/bash
# Rewrites the word-processor samples in tests/app/rtf/data from the sources
# here. Needs pandoc, LibreOffice Writer and python3; the tests do not.
#   apt-get install -y --no-install-recommends libreoffice-writer-nogui pandoc
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
data=$(dirname "$here")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" # a private LibreOffice profile

convert() { # source, name of the .rtf written
    soffice --headless --convert-to rtf --outdir "$work" "$1" >/dev/null
    mv "$work/$(basename "${1%.*}").rtf" "$data/$2"
}

pandoc -s -f markdown -t rtf "$here/report.md" -o "$data/pandoc-report.rtf"
pandoc -s -f markdown "$here/report.md" -o "$work/report.odt"
convert "$work/report.odt" libreoffice-report.rtf
python3 "$here/make-bullets-docx.py" "$work/bullets.docx"
convert "$work/bullets.docx" libreoffice-bullets.rtf
convert "$here/textbox.fodt" libreoffice-textbox.rtf
