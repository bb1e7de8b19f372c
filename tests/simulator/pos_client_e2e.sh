#!/bin/sh
# The example client end to end: pos_client.exe waits for a card, gets the one
# vavuro-ctl swipes, prints, and reports the write that fails once the paper
# is out.   pos_client_e2e.sh WINE BUILD_DIR WORK_DIR
wine=$1 build=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
"$wine" "$build/pos_client.exe" >out.txt 2>&1 &
client=$!

# Waits (up to 30 s) for a line of the client's output.
wait_for() {
  i=0
  until grep -q "$1" out.txt; do
    i=$((i + 1))
    if [ $i -gt 300 ] || ! kill -0 $client 2>/dev/null; then
      echo "no \"$1\" from the client:"; cat out.txt; kill $client 2>/dev/null; exit 1
    fi
    sleep 0.1
  done
}
ctl() { "$wine" "$build/vavuro-ctl.exe" --pid "$pid" "$@" || { kill $client; exit 1; }; }

wait_for "waiting for a card"
pid=$(sed -n 's/^pos_client: process \([0-9]*\).*/\1/p' out.txt)
ctl swipe ";4111111111111111=2512?"
wait_for "waiting for paper out"
ctl paper-out on
wait $client
status=$?
tr -d '\r' <out.txt >clean.txt
cat clean.txt
[ $status -eq 0 ] || { echo "exit status $status"; exit 1; }
grep -qxF 'card: ;4111111111111111=2512?' clean.txt || { echo "card text missing"; exit 1; }
grep -qxF 'write failed: status 306 POSERR_SYS_HW_ERROR' clean.txt || { echo "paper-out status missing"; exit 1; }
grep -qxF 'done' clean.txt
