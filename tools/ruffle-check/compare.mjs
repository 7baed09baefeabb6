// Compares our player's picture of a movie with Ruffle's, away from anti-aliased edges.
// Usage: node compare.mjs RUFFLE_DIR OURS.png THEIRS.png [TOLERANCE] [MIN_SHARE]
import { createRequire } from 'node:module';
import fs from 'node:fs';
import path from 'node:path';

const [ruffleDir, oursFile, theirsFile, tolArg, shareArg] = process.argv.slice(2);
const { PNG } = createRequire(path.join(ruffleDir, 'package.json'))('pngjs');
const tolerance = Number(tolArg ?? 8);
const minShare = Number(shareArg ?? 0.97);

const ours = PNG.sync.read(fs.readFileSync(oursFile));
const theirs = PNG.sync.read(fs.readFileSync(theirsFile));
if (ours.width !== theirs.width || ours.height !== theirs.height) {
  console.log(`size differs: ours ${ours.width}x${ours.height}, Ruffle ${theirs.width}x${theirs.height}`);
  process.exit(1);
}
const px = (img, x, y) => {
  const i = (y * img.width + x) * 4;
  return [img.data[i], img.data[i + 1], img.data[i + 2]];
};
// A point counts only where our picture is flat around it: edges are where two
// anti-aliasing rasterisers may honestly differ.
const flat = (x, y) => {
  const c = px(ours, x, y);
  for (let dy = -2; dy <= 2; dy++)
    for (let dx = -2; dx <= 2; dx++) {
      const d = px(ours, x + dx, y + dy);
      if (Math.max(...d.map((v, k) => Math.abs(v - c[k]))) > 6) return false;
    }
  return true;
};
let considered = 0, matched = 0;
const misses = [];
for (let y = 3; y < ours.height - 3; y += 5)
  for (let x = 3; x < ours.width - 3; x += 5) {
    if (!flat(x, y)) continue;
    considered++;
    const a = px(ours, x, y), b = px(theirs, x, y);
    const diff = Math.max(...a.map((v, k) => Math.abs(v - b[k])));
    if (diff <= tolerance) matched++;
    else if (misses.length < 5) misses.push(`(${x},${y}) ours ${a} Ruffle ${b}`);
  }
const share = considered ? matched / considered : 0;
console.log(`${path.basename(oursFile)}: ${matched}/${considered} flat points within ±${tolerance} (${(share * 100).toFixed(1)}%)`);
if (considered < 100 || share < minShare) {
  for (const m of misses) console.log('  ' + m);
  process.exit(1);
}
