#!/bin/bash
# Folders where saving really fails, for the tests of the save errors:
#
#   DIR/full   a small memory file system that the tests fill up (a full disk)
#   DIR/ro     a read-only view of DIR/ro.src (a folder nobody may write in, also
#              for root, which ignores permission bits)
#
#   scripts/mounts.sh start DIR    makes both, writes DIR/status: "ready", or
#                                  "skip: REASON" when this machine does not allow mounting
#   scripts/mounts.sh stop DIR     unmounts what start mounted
#
# Left-overs of an interrupted run are unmounted first. The tests read DIR/status
# and say why they cannot run when it is not "ready".
set -uo pipefail
source "$(dirname "$0")/lib.sh"

usage() {
  qwil_say "usage: scripts/mounts.sh start DIR | stop DIR"
  exit 2
}

unmount_all() {
  local m
  for m in "$DIR/full" "$DIR/ro"; do
    if mountpoint -q "$m" 2>/dev/null; then umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; fi
  done
}

skip() {
  printf 'skip: %s\n' "$1" > "$DIR/status"
  unmount_all
  echo "mounts: skipped ($1)"
  exit 0
}

start() {
  mkdir -p "$DIR"
  unmount_all
  rm -rf "$DIR/full" "$DIR/ro" "$DIR/ro.src"
  mkdir -p "$DIR/full" "$DIR/ro" "$DIR/ro.src"
  printf 'running\n' > "$DIR/status"
  [ "$(id -u)" -eq 0 ] || skip "mounting needs root"
  # Small enough to fill in an instant.
  mount -t tmpfs -o size=512k,mode=0777 qwil-full "$DIR/full" 2>/dev/null || skip "no tmpfs mount allowed"
  # A file that is there before the folder turns read-only.
  printf 'old bytes\r\n' > "$DIR/ro.src/old.txt"
  mount --bind "$DIR/ro.src" "$DIR/ro" 2>/dev/null || skip "no bind mount allowed"
  mount -o remount,ro,bind "$DIR/ro" 2>/dev/null || skip "no read-only remount allowed"
  if touch "$DIR/ro/probe" 2>/dev/null; then
    rm -f "$DIR/ro/probe"
    skip "the read-only mount takes new files"
  fi
  printf 'ready\n' > "$DIR/status"
  echo "mounts: $DIR/full (512 KiB) and $DIR/ro (read-only) ready"
}

stop() {
  mkdir -p "$DIR"
  unmount_all
  rm -rf "$DIR/full" "$DIR/ro" "$DIR/ro.src"
  printf 'stopped: scripts/mounts.sh start %s makes them again\n' "$DIR" > "$DIR/status"
}

[ $# -eq 2 ] || usage
DIR="$2"
case "$1" in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac
