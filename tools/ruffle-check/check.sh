#!/bin/sh
# Plays movies our writer makes in Ruffle, an independent Flash player, and checks they
# look and behave there as they do in our player: pictures within a small tolerance
# away from edges, the clip commands a hover and a click send, and GetClipName.
# Usage: check.sh KORVEL_CLI RUFFLE_DIR WORK_DIR
set -eu
cli=$1 ruffle=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$ruffle/render.js" ] || [ ! -d "$ruffle/node_modules" ] || ! command -v chromium >/dev/null; then
    echo "Ruffle checker not installed in $ruffle (make test installs it); skipped"
    exit 77
fi
rm -rf "$work"; mkdir -p "$work"; cd "$work"
export QT_QPA_PLATFORM=offscreen
fail=0

"$cli" scene rings --base 3366CC --segments 12 --rings 2 --size 400x400 --out rings.swf
"$cli" scene rings --base E07020 --segments 24 --rings 3 --file --size 300x300 --out rings-file.swf
"$cli" scene blank --size 400x300 --out blank.swf
# The Harmonies page as Save Image writes it: a continuous colour ring with grey dots, and
# shifted wedges with the base marker on the other wheel.
"$cli" scene harmonies --base 3366CC --style 1 --grays 8 --out harm-circles.swf
"$cli" scene harmonies --base E07020 --style 4 --harmony SQR --marker --wheel scientific --out harm-wheel.swf

# Our pictures, then Ruffle's for all of them in one browser.
movies="rings rings-file blank harm-circles harm-wheel"
: > jobs.txt
for m in $movies; do
    "$cli" render $m.swf $m-ours.png
    echo "$m.swf $m-ruffle.png" >> jobs.txt
done
node "$ruffle/render.js" --batch jobs.txt --renderer canvas --strict > batch.json 2>batch.err || {
    echo "Ruffle refused a movie:"; cat batch.err; exit 1; }
node "$here/compare.mjs" "$ruffle" rings-ours.png rings-ruffle.png 8 0.97 || fail=1
node "$here/compare.mjs" "$ruffle" rings-file-ours.png rings-file-ruffle.png 8 0.97 || fail=1
# Device text is drawn with each player's own font: only the page around it must agree.
node "$here/compare.mjs" "$ruffle" blank-ours.png blank-ruffle.png 8 0.90 || fail=1
node "$here/compare.mjs" "$ruffle" harm-circles-ours.png harm-circles-ruffle.png 8 0.97 || fail=1
node "$here/compare.mjs" "$ruffle" harm-wheel-ours.png harm-wheel-ruffle.png 8 0.97 || fail=1

# Behaviour: the clip under a point of the outer ring, as our player answers it.
ours_hit=$("$cli" hit rings.swf 340 200)
clip=${ours_hit%_340_200}
case "$clip" in "#SW_"*) ;; *) echo "our player hit nothing at 340,200: '$ours_hit'"; exit 1 ;; esac
node "$ruffle/render.js" rings.swf --no-shot --renderer canvas --move 340,200 --down 340,200 --up 340,200 \
    --call 'GetClipName()' --json events.json >/dev/null 2>&1
node -e '
const r = require(process.argv[1]), clip = process.argv[2], hit = process.argv[3];
const sent = r.steps.flatMap(s => (s.fscommands || []).map(f => f.command + " " + f.args));
const want = ["CM_01 " + clip, "CM_03 " + clip, "CM_04 " + clip];
const call = r.steps.find(s => s.action === "call");
let ok = true;
for (const w of want) if (!sent.includes(w)) { console.log("Ruffle did not send " + w + "; it sent: " + sent.join(", ")); ok = false; }
if (!call || !call.ok || call.value !== hit) { console.log("GetClipName in Ruffle: " + JSON.stringify(call) + ", ours: " + hit); ok = false; }
if (ok) console.log("Ruffle: " + want.join(", ") + "; GetClipName " + call.value);
process.exit(ok ? 0 : 1);' "$work/events.json" "$clip" "$ours_hit" || fail=1

exit $fail
