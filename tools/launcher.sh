#!/bin/sh
# Starts the installed game from its own folder, where it finds Content/.
here=$(dirname "$(readlink -f "$0")")
cd "$here/../share/zorvane" || exit 1
exec ./zorvane "$@"
