#!/usr/bin/env bash
# Adds Scrivlet to the current user's applications menu: a desktop entry that runs the program
# in the given program directory and accepts HTML and CSS files, and its icon. Run again after
# moving the program directory; run with --remove to take both away.
#   scripts/install-desktop.sh [--remove] [program-directory]   (default: build/bin)
set -euo pipefail

remove=0
if [ "${1:-}" = "--remove" ]; then
    remove=1
    shift
fi
here="$(cd "$(dirname "$0")/.." && pwd)"
program_dir="$(cd "${1:-$here/build/bin}" && pwd)"
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
apps="$data_home/applications"
icons="$data_home/icons/hicolor/scalable/apps"
entry="$apps/scrivlet.desktop"
types="text/html;text/css;"

if [ "$remove" = 1 ]; then
    rm -f "$entry" "$icons/scrivlet.svg"
    command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
    echo "Removed $entry"
    exit 0
fi

if [ ! -x "$program_dir/scrivlet" ]; then
    echo "No program in $program_dir: build it first (make build) or name its folder." >&2
    exit 1
fi

# A double-click keeps opening what it opened before: pin the current default of each type
# before the new entry could become one.
if command -v xdg-mime >/dev/null; then
    for type in ${types//;/ }; do
        current="$(xdg-mime query default "$type" 2>/dev/null || true)"
        if [ -n "$current" ] && [ "$current" != "scrivlet.desktop" ]; then
            xdg-mime default "$current" "$type"
        fi
    done
fi

mkdir -p "$apps" "$icons"
icon="$program_dir/scrivlet.svg"
[ -f "$icon" ] || icon="$here/app/scrivlet.svg"
install -m 644 "$icon" "$icons/scrivlet.svg"
# The Exec value quotes the path (it may hold spaces) and escapes what a quoted argument and a
# desktop entry's value escape.
quoted="$(printf '%s' "$program_dir/scrivlet" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')"
cat >"$entry" <<ENTRY
[Desktop Entry]
Type=Application
Name=Scrivlet
GenericName=HTML Editor
Comment=HTMLを手で書くためのエディタ
Exec="$quoted" %F
Icon=scrivlet
Terminal=false
Categories=Development;WebDevelopment;
MimeType=$types
StartupWMClass=scrivlet
ENTRY
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry"
fi
command -v update-desktop-database >/dev/null && update-desktop-database -q "$apps" || true
command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true
echo "Added $entry"
