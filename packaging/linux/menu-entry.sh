#!/bin/sh
# Adds the game to this user's applications menu, with its icon, in ~/.local/share; with
# --remove, takes it out again. Run it again after moving this folder.
set -e
here=$(cd "$(dirname "$0")" && pwd)
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/zorvane.desktop"
case "${1:-}" in
    "")
        mkdir -p "$data/applications"
        for size in 48 128 256; do
            mkdir -p "$data/icons/hicolor/${size}x$size/apps"
            cp "$here/icons/$size.png" "$data/icons/hicolor/${size}x$size/apps/zorvane.png"
        done
        cat >"$entry" <<END
[Desktop Entry]
Type=Application
Name=Zorvane - Quendral
GenericName=Arcade Game
Comment=Fire small clocks at falling banknotes that show the same time
Exec="$here/zorvane"
Icon=zorvane
StartupWMClass=Zorvane
Terminal=false
Categories=Game;ArcadeGame;
END
        echo "Added Zorvane - Quendral to the applications menu ($entry)" ;;
    --remove)
        rm -f "$entry"
        for size in 48 128 256; do rm -f "$data/icons/hicolor/${size}x$size/apps/zorvane.png"; done
        echo "Removed Zorvane - Quendral from the applications menu" ;;
    *) echo "usage: $0 [--remove]" >&2; exit 2 ;;
esac
command -v update-desktop-database >/dev/null && update-desktop-database -q "$data/applications"
exit 0
