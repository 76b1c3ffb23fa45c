// Runs inside the page: reads the frame the player sees. Nothing here
// touches the game; every answer comes from the shown pixels.
window.marchfireProbe = {
  rgbAt(data, x, y) {
    const i = (y * 1024 + x) * 4;
    return (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
  },
  // The one way in: the page reads back what it shows, through WebGL or a
  // 2D canvas, as RGBA bytes top row first.
  pixels() {
    return marchfireHost.screen.readShown();
  },
  // FNV-1a over the red, green and blue bytes of every pixel of the box
  // (the whole canvas by default), row by row.
  hash(box) {
    const [bx, by, bw, bh] = box || [0, 0, 1024, 768];
    const data = this.pixels();
    let h = 0x811c9dc5;
    for (let y = by; y < by + bh; y++) {
      for (let x = bx; x < bx + bw; x++) {
        const i = (y * 1024 + x) * 4;
        for (let k = 0; k < 3; k++) h = Math.imul(h ^ data[i + k], 0x01000193) >>> 0;
      }
    }
    return h;
  },
  // Where pixels of this colour lie: count and bounding box, and the count
  // within each of the given boxes ([x, y, w, h]).
  colour(rgb, boxes) {
    const data = this.pixels();
    let count = 0, minX = 1024, minY = 768, maxX = -1, maxY = -1;
    const inBoxes = (boxes || []).map(() => 0);
    for (let y = 0; y < 768; y++) {
      for (let x = 0; x < 1024; x++) {
        if (this.rgbAt(data, x, y) !== rgb) continue;
        count++;
        minX = Math.min(minX, x); maxX = Math.max(maxX, x);
        minY = Math.min(minY, y); maxY = Math.max(maxY, y);
        (boxes || []).forEach((b, k) => {
          if (x >= b[0] && x < b[0] + b[2] && y >= b[1] && y < b[1] + b[3]) inBoxes[k]++;
        });
      }
    }
    return {count, minX, minY, maxX, maxY, inBoxes};
  },
  // The x at which this row of pixels (0xRRGGBB each) stands in row y, or -1.
  findRow(row, y) {
    const data = this.pixels();
    for (let x = 0; x + row.length <= 1024; x++) {
      let k = 0;
      while (k < row.length && this.rgbAt(data, x + k, y) === row[k]) k++;
      if (k === row.length) return x;
    }
    return -1;
  },
  // Non-black pixels in a box: count and topmost row.
  lit(box) {
    const data = this.pixels();
    let count = 0, top = -1;
    for (let y = box[1]; y < box[1] + box[3]; y++) {
      for (let x = box[0]; x < box[0] + box[2]; x++) {
        if (this.rgbAt(data, x, y) === 0) continue;
        count++;
        if (top < 0) top = y;
      }
    }
    return {count, top};
  },
  // Does the canvas show this text at (x, y) exactly as the page renders
  // it, white over black, with nothing else lit around it?
  showsText(text, x, y, width, height) {
    const line = marchfireHost.screen.renderText(text, 0xFFFFFF, 1024, 64);
    const data = this.pixels();
    let wrong = 0;
    for (let dy = 0; dy < height; dy++) {
      for (let dx = 0; dx < width; dx++) {
        const px = x + dx, py = y + dy;
        if (px >= 1024 || py >= 768) continue;
        const a = dx < line.width && dy < line.height ? line.rgba[(dy * line.width + dx) * 4 + 3] : 0;
        if (this.rgbAt(data, px, py) !== ((a << 16) | (a << 8) | a)) wrong++;
      }
    }
    return wrong;
  },
};
