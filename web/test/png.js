// Reads the PNG files the browser tests meet (Chromium's screenshots and the
// page's saved picture): 8 bits a channel, RGB or RGBA, not interlaced.
// Returns { width, height, rgba } with four bytes a pixel.
import zlib from 'node:zlib';

const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

export function decodePng(file) {
  if (!file.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG file');
  let width = 0;
  let height = 0;
  let channels = 0;
  const data = [];
  for (let at = 8; at < file.length; ) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      const [depth, colour, , , interlace] = body.subarray(8, 13);
      channels = { 2: 3, 6: 4 }[colour];
      if (depth !== 8 || !channels || interlace !== 0)
        throw new Error(`unsupported PNG: depth ${depth}, colour type ${colour}, interlace ${interlace}`);
    } else if (type === 'IDAT') data.push(body);
    else if (type === 'IEND') break;
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  // Undo each row's filter (PNG specification, section 9).
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = rows.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? out[x - channels] : 0;
      const b = up[x];
      const c = x >= channels ? up[x - channels] : 0;
      let predictor = 0;
      if (filter === 1) predictor = a;
      else if (filter === 2) predictor = b;
      else if (filter === 3) predictor = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a);
        const pb = Math.abs(p - b);
        const pc = Math.abs(p - c);
        predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[x] = (line[x] + predictor) & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 0xff);
  for (let k = 0; k < width * height; ++k)
    for (let c = 0; c < channels; ++c) rgba[4 * k + c] = rows[channels * k + c];
  return { width, height, rgba };
}

// The pixel at (x, y), y down: [r, g, b].
export function pixel(image, x, y) {
  const k = 4 * (Math.round(y) * image.width + Math.round(x));
  return [image.rgba[k], image.rgba[k + 1], image.rgba[k + 2]];
}

// How many pixels of two same-sized images differ in any channel by more than `by`.
export function differingPixels(a, b, by = 0) {
  if (a.width !== b.width || a.height !== b.height) throw new Error('images of different sizes');
  let count = 0;
  for (let k = 0; k < a.rgba.length; k += 4)
    if ([0, 1, 2].some((c) => Math.abs(a.rgba[k + c] - b.rgba[k + c]) > by)) count += 1;
  return count;
}
