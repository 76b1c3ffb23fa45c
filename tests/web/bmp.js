// Reads the generator's 24-bit pictures, to know what the canvas must show.
'use strict';
const fs = require('fs');

function readBmp(file) {
  const bytes = fs.readFileSync(file);
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  if (bytes.readUInt16LE(28) !== 24 || height <= 0) throw new Error(`${file}: not a bottom-up 24-bit BMP`);
  const stride = Math.ceil((width * 3) / 4) * 4;
  // 0xRRGGBB of the pixel at (x, y), y counted from the top.
  const pixel = (x, y) => {
    const at = offset + (height - 1 - y) * stride + x * 3;
    return (bytes[at + 2] << 16) | (bytes[at + 1] << 8) | bytes[at];
  };
  return {width, height, pixel};
}

module.exports = {readBmp};
