#!/usr/bin/env bash
# The main job on built-in sample computers: alice's computer, with the data of
# every supported program, is backed up unattended into one self-restoring
# archive (every program, a few hand-picked files and folders, enciphered with
# a passphrase), and the archive is then run on bob's computer, where it puts
# each program's data back where bob's programs keep it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# Unattended runs are what scheduled backups use, so the demo builds the
# edition that offers them.
cmake --preset demo >/dev/null
cmake --build --preset demo -j "$(nproc)"

bin=build/demo/bin
demo=build/demo-run
rm -rf "$demo"
mkdir -p "$demo"
alice=$demo/alice
bob=$demo/bob
passphrase="correct horse battery"

section() { printf '\n== %s\n' "$1"; }

section "Two sample computers"
"$bin/make-sample-machine" "$alice" --user alice --computer ALICE-PC --with-programs
"$bin/make-sample-machine" "$bob" --user bob --computer BOB-PC --windows 10 --with-programs
"$bin/zarvoquilloprime" --machine "$alice" --show-machine

section "The wizard's choices on alice's computer"
"$bin/write-demo-settings" "$alice" "$passphrase"

section "Unattended backup on alice's computer (zarvoquilloprime -auto)"
"$bin/zarvoquilloprime" -auto --machine "$alice"
archive=$(find "$alice/drive_c" -maxdepth 2 -iname 'AliceToBob.exe' | head -n 1)
ls -l "$archive"

section "The run log"
log=$(find "$alice/drive_c/users/alice" -name lastlog.html | head -n 1)
sed -e 's/<br>/\n/g' -e 's/<[^>]*>//g' "$log" | sed '/^\s*$/d'

if [ -x "$bin/stub" ]; then
  printf '%s\n' "$passphrase" > "$demo/passphrase.txt"

  section "What the archive holds (the archive itself, --info and --list)"
  "$archive" --info --passphrase-file "$demo/passphrase.txt"
  "$archive" --list --passphrase-file "$demo/passphrase.txt" --machine "$bob"

  section "Restore on bob's computer (each program's data to its own place)"
  touch "$demo/restore-started"
  sleep 1
  status=0
  "$archive" --detect --passphrase-file "$demo/passphrase.txt" --machine "$bob" || status=$?

  section "What landed on bob's computer (files the restore wrote)"
  (cd "$bob" && find drive_c drive_d -type f -cnewer ../restore-started | sort)
  [ "$status" -eq 0 ] || echo "The restore reported a failure (exit status $status)."
  exit "$status"
fi
