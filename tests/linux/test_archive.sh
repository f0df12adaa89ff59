#!/usr/bin/env bash
# The Linux archive as a player meets it, run by tools/chroot.sh --bare: unpacked in that bare
# system and started there from its root, on an Xvfb out here: the driver's smoke check, with the
# menu as its reference frame and no word of a missing file or library.   (ARCHIVE SHOTS_DIR)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd) && dir=$ZORVANE_CHROOT/opt/zorvane
rm -rf "$dir" && mkdir -p "$dir" "$2" && tar -xzf "$1" -C "$dir" --strip-components=1
/usr/bin/python3 "$root/tools/driver.py" smoke --click --menu "$root/tests/frames/menu.png" \
    --shots "$2" --never "Could not|Failed to load|cannot open|No such file|not found|error while" \
    -- chroot "$ZORVANE_CHROOT" /usr/bin/env -u XDG_CACHE_HOME -u XDG_RUNTIME_DIR HOME=/root \
    /opt/zorvane/zorvane # with a player's home there, not this machine's folders
