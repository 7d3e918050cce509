// Draws images/icon.png, the extension's 128x128 icon: an eye (the watch a
// controller keeps) in white on a dark blue rounded square, its pupil red.
// Run `node scripts/icon.mjs` after changing the drawing; the PNG is kept in
// the repository so packaging needs nothing but this folder.
import { writeFileSync } from 'node:fs';
import { deflateSync } from 'node:zlib';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const size = 128;
const background = [0x1b, 0x2a, 0x4a, 255];
const white = [0xf4, 0xf6, 0xfa, 255];
const red = [0xd8, 0x3a, 0x32, 255];
const clear = [0, 0, 0, 0];

/** The colour at the centre of pixel (x, y). */
function colour(x, y) {
  const cx = x + 0.5 - size / 2;
  const cy = y + 0.5 - size / 2;
  const corner = 24;
  const inner = size / 2 - corner;
  const dx = Math.max(Math.abs(cx) - inner, 0);
  const dy = Math.max(Math.abs(cy) - inner, 0);
  if (dx * dx + dy * dy > corner * corner) return clear;
  const r = Math.hypot(cx, cy);
  if (r < 11) return red;
  if (r < 20) return background;
  // The eye: the space between two circles that cross at (-48, 0) and (48, 0).
  const upper = Math.hypot(cx, cy - 40) < 62;
  const lower = Math.hypot(cx, cy + 40) < 62;
  return upper && lower ? white : background;
}

function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'ascii'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, crc]);
}

function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) {
    crc ^= byte;
    for (let k = 0; k < 8; k++) crc = crc & 1 ? (crc >>> 1) ^ 0xedb88320 : crc >>> 1;
  }
  return (crc ^ 0xffffffff) >>> 0;
}

const rows = [];
for (let y = 0; y < size; y++) {
  rows.push(Buffer.from([0, ...Array.from({ length: size }, (_, x) => colour(x, y)).flat()]));
}
const header = Buffer.alloc(13);
header.writeUInt32BE(size, 0);
header.writeUInt32BE(size, 4);
header.set([8, 6, 0, 0, 0], 8); // 8 bits per channel, RGBA, deflate, no filter, no interlace
const png = Buffer.concat([
  Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
  chunk('IHDR', header),
  chunk('IDAT', deflateSync(Buffer.concat(rows), { level: 9 })),
  chunk('IEND', Buffer.alloc(0)),
]);
writeFileSync(join(dirname(fileURLToPath(import.meta.url)), '..', 'images', 'icon.png'), png);
