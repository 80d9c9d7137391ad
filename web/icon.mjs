// The page's icon, drawn at build time (web/build.mjs) at any size: the
// brown sphere on black, tilted towards the viewer, with the scene's ten
// great circles over its near side in white. A PNG of 8-bit RGB, with no
// library: zlib and CRC-32 are Node's own.
import zlib from 'node:zlib';

const kSphereColour = [139, 69, 19]; // the scene's brown sphere, 8-bit
const kLineColour = [255, 255, 255];
const kRadius = 0.42; // of the icon's side: inside the safe zone of a round mask
const kTilt = 0.45; // radians the sphere leans towards the viewer about x
const kLineWidth = 0.016; // of the unit sphere: the circles' half width
const kSubsamples = 3; // a pixel's samples each way, for smooth edges
// The scene's pentagons: the height of each one's corners and its corner 0's
// longitude (radians, from +x towards +z, as the report tool takes them).
const kPentagons = [
  [0.97531795, 0.1],
  [0.630991, 0.1],
];

// The unit normals of the ten great circles through the pentagons' edges.
function circleNormals() {
  const normals = [];
  for (const [height, longitude] of kPentagons) {
    const ring = Math.sqrt(1 - height * height);
    const corner = (i) => {
      const angle = longitude + (2 * Math.PI * i) / 5;
      return [ring * Math.cos(angle), height, ring * Math.sin(angle)];
    };
    for (let i = 0; i < 5; ++i) {
      const [a, b] = [corner(i), corner(i + 1)];
      const n = [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
      const length = Math.hypot(...n);
      normals.push(n.map((v) => v / length));
    }
  }
  return normals;
}

// The colour at (x, y) in the unit disc seen by the viewer (y up), or null
// off the sphere: lit from the upper left, white where a great circle runs.
function sample(x, y, normals) {
  if (x * x + y * y > 1) return null;
  const z = Math.sqrt(1 - x * x - y * y);
  // the point on the sphere before the tilt
  const [py, pz] = [y * Math.cos(kTilt) + z * Math.sin(kTilt), -y * Math.sin(kTilt) + z * Math.cos(kTilt)];
  if (normals.some((n) => Math.abs(n[0] * x + n[1] * py + n[2] * pz) < kLineWidth)) return kLineColour;
  // in steps, which a PNG compresses far better than a smooth ramp
  const light = Math.round(8 * Math.max(0.25, 0.6 * (-0.4 * x + 0.5 * y + 0.77 * z) + 0.4)) / 8;
  return kSphereColour.map((c) => c * light);
}

// Rows of RGB, each led by PNG's filter byte 0 (none).
function pixels(size) {
  const normals = circleNormals();
  const rows = Buffer.alloc(size * (3 * size + 1));
  for (let row = 0; row < size; ++row)
    for (let column = 0; column < size; ++column) {
      const sum = [0, 0, 0];
      for (let k = 0; k < kSubsamples * kSubsamples; ++k) {
        const u = (column + ((k % kSubsamples) + 0.5) / kSubsamples) / size - 0.5;
        const v = 0.5 - (row + (Math.floor(k / kSubsamples) + 0.5) / kSubsamples) / size;
        const colour = sample(u / kRadius, v / kRadius, normals) ?? [0, 0, 0];
        for (let c = 0; c < 3; ++c) sum[c] += colour[c];
      }
      const at = row * (3 * size + 1) + 1 + 3 * column;
      for (let c = 0; c < 3; ++c) rows[at + c] = Math.round(sum[c] / (kSubsamples * kSubsamples));
    }
  return rows;
}

function chunk(type, data) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(zlib.crc32(body));
  return Buffer.concat([length, body, crc]);
}

// The icon as a PNG file of `size` x `size` pixels.
export function iconPng(size) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(size, 0);
  header.writeUInt32BE(size, 4);
  header.set([8, 2, 0, 0, 0], 8); // 8 bits a channel, RGB, deflate, no filter choice, not interlaced
  return Buffer.concat([
    Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(pixels(size), { level: 9 })),
    chunk('IEND', Buffer.alloc(0)),
  ]);
}
