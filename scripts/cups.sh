#!/bin/bash
# The PDF printer of the printing tests: a CUPS daemon of this work tree alone
# (its own configuration, spool and socket) with one queue, "QwilPDF", on the
# cups-pdf backend, which writes every job as a PDF into DIR/pdf. Wine's printing
# reaches it through libcups when CUPS_SERVER names DIR/cups.sock.
#
#   scripts/cups.sh start DIR          starts the daemon unless it runs, makes the queue
#   scripts/cups.sh stop DIR           ends the daemon this script started
#   scripts/cups.sh report DIR TITLE OUT
#                                      waits for the jobs to finish, then writes to OUT
#                                      the PDF whose name starts with TITLE ("file=",
#                                      "pages=", "first=" the top-left corner of the first
#                                      word in points, then pdftotext's text after a
#                                      "text:" line), or "error=..." when there is none
#
# start writes DIR/status: "ready"; "skip: REASON" when this machine cannot have the
# queue (not root, packages missing); "failed: REASON" when it should have had it. The
# daemon is private so that test runs of other work trees, and a desktop's own
# printing service, neither see nor disturb it.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

QUEUE=QwilPDF
CUPSD=/usr/sbin/cupsd
BACKEND=/usr/lib/cups/backend/cups-pdf
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
# poppler-data's table of the Adobe-Japan1 character ids.
AJ1_TABLE=/usr/share/poppler/cidToUnicode/Adobe-Japan1

usage() {
  qwil_say "usage: scripts/cups.sh start DIR | stop DIR | report DIR TITLE OUT"
  exit 2
}

# The backend reads its settings only from /etc/cups, one file per device name:
# the name carries a hash of DIR so that work trees keep apart.
backend_name() { printf 'qwil-%s' "$(printf '%s' "$DIR" | md5sum | cut -c1-12)"; }
backend_conf() { printf '/etc/cups/cups-pdf-%s.conf' "$(backend_name)"; }
# The filters run as the user lp and read the spooled job and the queue's PPD:
# those live where lp can reach them whatever the work tree's folders allow.
run_dir() { printf '/tmp/%s-cups' "$(backend_name)"; }

# A process of the daemon that has not ended (an ended daemon whose parent is gone
# stays a zombie until init takes it).
daemon_alive() {
  grep -qx 'cupsd' "/proc/$1/comm" 2>/dev/null && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null
}

daemon_pid() {
  local pid
  pid="$(cat "$(run_dir)/state/cupsd.pid" 2>/dev/null)" || return 1
  [ -n "$pid" ] && daemon_alive "$pid" || return 1
  printf '%s\n' "$pid"
}

skip() {
  printf 'skip: %s\n' "$*" > "$DIR/status"
  qwil_say "cups.sh: no PDF printer: $*"
  exit 0
}

# The printing tests fail on this status with the reason; the other Windows tests,
# which wait for this start as ctest's fixture, still run.
fail() {
  printf 'failed: %s\n' "$*" > "$DIR/status"
  qwil_say "cups.sh: $*"
  [ -f "$DIR/log/error_log" ] && tail -n 20 "$DIR/log/error_log" >&2
  exit 0
}

write_files_conf() {
  cat <<EOF
ServerRoot $RUN/conf
RequestRoot $RUN/spool
TempDir $RUN/spool/tmp
CacheDir $RUN/cache
StateDir $RUN/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
Printcap $RUN/state/printcap
SystemGroup root
User lp
Group lp
EOF
}

write_cupsd_conf() {
  cat <<EOF
Listen $DIR/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
MaxJobs 100
PreserveJobHistory No
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

# Wine names the glyphs of the Japanese fonts by their Adobe-Japan1 ids (aj275 is
# "L"). Ghostscript learns here which character each such name stands for, so the
# PDF carries the text of what was printed and pdftotext can read it back.
write_glyph_names() {
  cat <<EOF
/QwilGlyphNames 30000 dict def
{
  ($AJ1_TABLE) (r) file /QwilTable exch def
  /QwilId 0 def
  {
    QwilTable 64 string readline not { pop exit } if
    dup length 4 eq {
      (16#    ) dup 3 4 -1 roll putinterval cvi
      dup 0 gt {
        2 string dup 0 3 index -8 bitshift put dup 1 3 index 255 and put
        QwilGlyphNames (aj) QwilId 10 string cvs concatstrings cvn 3 -1 roll put
      } if
      pop
    } { pop } ifelse
    /QwilId QwilId 1 add def
  } loop
} exec
/definefont {
  dup /FontType known { dup /FontType get 42 eq {
    dup /FontInfo known not { dup /FontInfo 2 dict put } if
    dup /FontInfo get /GlyphNames2Unicode QwilGlyphNames put
  } if } if
  systemdict /definefont get exec
} bind def
EOF
}

write_backend_conf() {
  cat <<EOF
Out $DIR/pdf
Spool $DIR/spool/pdf
Logdir $DIR/log
Grp root
UserUMask 0022
GSCall %s -q -dCompatibilityLevel=%s -dNOPAUSE -dBATCH -dSAFER --permit-file-read=$AJ1_TABLE -sDEVICE=pdfwrite -sOutputFile="%s" -dAutoRotatePages=/PageByPage -dPDFSETTINGS=/prepress $DIR/glyphnames.ps %s
EOF
}

# Replaces the file only when its text changed, so that a running daemon or a
# test run of the same tree never reads half a file.
put_file() {
  local target="$1" tmp
  tmp="$(mktemp "$target.XXXXXX")" || return 1
  cat > "$tmp"
  if cmp -s "$tmp" "$target"; then rm -f "$tmp"; else mv -f "$tmp" "$target"; fi
}

start() {
  mkdir -p "$DIR" || exit 1
  rm -f "$DIR/status"
  [ "$(id -u)" -eq 0 ] || skip "the cups-pdf backend runs only as root; run ./test.sh as root"
  local f
  for f in "$CUPSD" "$BACKEND" "$PPD" "$AJ1_TABLE" /usr/sbin/lpadmin /usr/sbin/cupsenable /usr/bin/lpstat /usr/bin/pdfinfo /usr/bin/pdftotext /usr/bin/gs; do
    [ -e "$f" ] || skip "$f is missing (scripts/setup.sh installs it)"
  done
  # A Unix socket's path has at most 107 bytes.
  [ "${#DIR}" -le 90 ] || fail "the path $DIR is too long for the daemon's socket"
  mkdir -p "$DIR"/{spool/pdf,log,pdf} || fail "cannot make $DIR"
  mkdir -p "$RUN" || fail "cannot make $RUN"
  if [ -L "$RUN" ] || [ ! -O "$RUN" ]; then fail "$RUN is not this script's"; fi
  chmod 755 "$RUN" || fail "cannot open $RUN to lp"
  mkdir -p "$RUN"/{conf,spool/tmp,cache,state} || fail "cannot make $RUN"
  write_files_conf | put_file "$RUN/conf/cups-files.conf" || fail "cannot write the configuration"
  write_cupsd_conf | put_file "$RUN/conf/cupsd.conf" || fail "cannot write the configuration"
  write_glyph_names | put_file "$DIR/glyphnames.ps" || fail "cannot write the glyph names"
  write_backend_conf | put_file "$(backend_conf)" || fail "cannot write $(backend_conf)"

  export CUPS_SERVER="$DIR/cups.sock"
  if ! daemon_pid >/dev/null; then
    rm -f "$DIR/cups.sock" "$RUN/state/cupsd.pid"
    "$CUPSD" -c "$RUN/conf/cupsd.conf" -s "$RUN/conf/cups-files.conf" || fail "cupsd did not start"
    for _ in $(seq 1 100); do
      [ -S "$DIR/cups.sock" ] && lpstat -r >/dev/null 2>&1 && break
      sleep 0.05
    done
    lpstat -r >/dev/null 2>&1 || fail "cupsd does not answer on $DIR/cups.sock"
  fi
  /usr/sbin/lpadmin -p "$QUEUE" -E -v "cups-pdf:/$(backend_name)" -P "$PPD" -o printer-error-policy=abort-job \
    2>/dev/null || fail "lpadmin could not make the queue $QUEUE"
  if ! /usr/sbin/cupsenable "$QUEUE" || ! /usr/sbin/cupsaccept "$QUEUE"; then
    fail "the queue $QUEUE does not take jobs"
  fi
  echo ready > "$DIR/status"
}

stop() {
  local pid
  if pid="$(daemon_pid)"; then
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do
      daemon_alive "$pid" || break
      sleep 0.05
    done
  fi
  rm -f "$DIR/cups.sock" "$DIR/status" "$(backend_conf)"
  rm -rf "$RUN"
}

report() {
  local title="$1" out="$2" tmp="$2.tmp" pdf=""
  export CUPS_SERVER="$DIR/cups.sock"
  # The backend writes the file while the job is still listed; a job that is done
  # leaves the list.
  for _ in $(seq 1 600); do
    [ -z "$(lpstat -o "$QUEUE" 2>/dev/null)" ] && break
    sleep 0.05
  done
  for _ in $(seq 1 100); do
    pdf="$(find "$DIR/pdf" -maxdepth 1 -name "$title*.pdf" -print -quit)"
    [ -n "$pdf" ] && break
    sleep 0.05
  done
  {
    if [ -z "$pdf" ]; then
      echo "error=no PDF named $title in $DIR/pdf"
      lpstat -W completed -o "$QUEUE" 2>&1 | tail -n 3
    else
      echo "file=$pdf"
      echo "pages=$(pdfinfo "$pdf" 2>&1 | sed -n 's/^Pages: *//p')"
      echo "first=$(pdftotext -f 1 -l 1 -bbox "$pdf" - 2>/dev/null |
        sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)".*/\1 \2/p' | head -n 1)"
      echo "text:"
      pdftotext -enc UTF-8 "$pdf" - 2>&1
    fi
  } > "$tmp"
  mv -f "$tmp" "$out"
}

[ $# -ge 2 ] || usage
DIR="$(realpath -m -- "$2")"
RUN="$(run_dir)"
case "$1" in
  start) start ;;
  stop) stop ;;
  report)
    [ $# -eq 4 ] || usage
    report "$3" "$4"
    ;;
  *) usage ;;
esac
