#!/usr/bin/env sh
# Creates the prepared task database av.cfg in the application-data folder when it is missing.
# An existing file is never touched.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
sql="$here/../data/av.sql"
[ -f "$sql" ] || sql="$here/../share/velocast/av.sql"
case "${XDG_CONFIG_HOME:-}" in
  /*) root="$XDG_CONFIG_HOME" ;;
  *) root="$HOME/.config" ;;
esac
folder="$root/Tamberlin/Velocast"
db="$folder/av.cfg"
[ -e "$db" ] && exit 0
mkdir -p "$folder"
tmp="$db.new.$$"
sqlite3 "$tmp" < "$sql"
# The root category files into the default output folder; quotes in the path are doubled for SQL.
path=$(printf '%s' "$HOME/Conversion" | sed "s/'/''/g")
sqlite3 "$tmp" "UPDATE Categories SET Path='$path' WHERE ID=1;"
mv "$tmp" "$db"
echo "Created the task database $db"
