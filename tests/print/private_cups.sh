#!/bin/sh
# private_cups.sh QUEUE COMMAND [ARGUMENT...]
# Runs COMMAND against a CUPS scheduler of its own whose one queue, QUEUE, is a PDF printer and the
# default. cupsd runs in the foreground from a temporary folder holding all it reads and writes
# (configuration, spool, cache, state, logs and its socket, its only listener): it reads and
# changes nothing of the machine's print set-up, is unaffected by a scheduler the system runs, and
# ends with this script however that ends. The queue uses cups-filters' "Generic PDF Printer"
# driver (US Letter by default, printable area a quarter inch in from the sides and half an inch
# from top and bottom); the scheduler writes what reaches the device, a PDF behind the driver's PJL
# job header, to $PRIVATE_CUPS/out/job.pdf, replacing the previous job's. (The cups-pdf backend
# runs only as root, reads its settings only from /etc/cups and writes under the job owner's home
# and /var, so its output could not stay in the folder.) COMMAND sees this scheduler alone: CUPS_SERVER (the socket), CUPS_SERVERROOT (a folder without
# client.conf or lpoptions), LPDEST (the queue, whatever a user's own lpoptions name) and a system
# bus that does not exist (so libcups finds no printers announced on the network); PRIVATE_CUPS
# names the folder, whose log/page_log has a line "job|total|pages|title|media" for each job done.
# Exit status: COMMAND's, or 77 (the reason on standard output) when no scheduler can be started.
set -u
queue=$1
shift
driver=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd
skip() {
  echo "Skipped: no CUPS scheduler can be started here: $*"
  exit 77
}
PATH=$PATH:/usr/local/sbin:/usr/sbin:/sbin # which an ordinary user's PATH may leave out
for program in cupsd lpadmin lpstat; do
  command -v $program >/dev/null || skip "$program is not installed (Debian package cups-daemon or cups-client)"
done
[ -f $driver ] || skip "the PDF printer driver $driver is not installed (Debian package cups-filters)"

# Under /tmp, where the socket's path fits sockaddr_un; TMPDIR may be too deep for one.
dir=$(mktemp -d /tmp/tarnwick-cups-XXXXXX) || exit 1
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/run" "$dir/spool/tmp" "$dir/cache" "$dir/state" "$dir/log" "$dir/ssl" "$dir/out" \
  "$dir/client" || exit 1
# As root cupsd runs its filters as lp, which must reach the spool and the driver's copy. Only
# this user may enter the socket's folder: the scheduler lets whoever reaches it do anything, and
# as root it writes a job's output wherever a queue's device says.
chmod 755 "$dir" && chmod 700 "$dir/run" || exit 1

# Only the socket listens; no sharing, browsing or web pages, and every operation is allowed
# without authentication. A job whose filter fails is aborted rather than stopping the queue, and
# finished jobs stay listed.
cat >"$dir/cupsd.conf" <<EOF
Listen $dir/run/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
DefaultAuthType None
LogLevel info
MaxLogSize 0
PageLogFormat %j|%P|%C|%{job-name}|%{media}
ErrorPolicy abort-job
PreserveJobHistory Yes
PreserveJobFiles No
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
# Every file and folder the scheduler writes is in the folder; the filters, backends and MIME
# rules are the installed ones.
cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerKeychain $dir/ssl
Printcap $dir/printcap
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
EOF

export CUPS_SERVER="$dir/run/cups.sock" CUPS_SERVERROOT="$dir/client" LPDEST="$queue" \
  PRIVATE_CUPS="$dir" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/no-bus"
# Without a system bus the scheduler announces the queue to no colour manager; without systemd's
# variables it reports to no service manager. It gets SIGTERM when this script ends.
env -u NOTIFY_SOCKET -u LISTEN_FDS -u LISTEN_PID -u LISTEN_FDNAMES setpriv --pdeathsig TERM \
  cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd_out" 2>&1 &
cupsd=$!
trap 'kill $cupsd 2>/dev/null; wait $cupsd; rm -rf "$dir"' EXIT

# Ready when it takes the queue. cupsd logs a socket it cannot open and goes on without it.
tries=0
until lpadmin -p "$queue" -E -v "file:$dir/out/job.pdf" -P $driver 2>/dev/null; do
  if grep -qE '^E .*Unable to (open listen socket|bind)' "$dir/log/error_log" 2>/dev/null; then
    skip "cupsd cannot listen: $(grep -E '^E .*Unable to' "$dir/log/error_log" | head -n 1)"
  fi
  if ! kill -0 $cupsd 2>/dev/null || [ $tries -ge 300 ]; then
    echo "cupsd did not take the queue on $CUPS_SERVER:"
    cat "$dir/log/cupsd_out" "$dir/log/error_log" 2>/dev/null
    exit 1
  fi
  tries=$((tries + 1))
  sleep 0.05
done
lpadmin -d "$queue" || exit 1
"$@"
