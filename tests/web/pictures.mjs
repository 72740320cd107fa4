// The browser tests' comparison of the figure's pictures: which pixels are lit, and how much two
// pictures share.

// The pixels of the figure's canvas, or of a PNG file, decoded by the page: [width, height, lit]
// where lit marks each pixel brighter than the background.
export async function litPixels(page, png) {
  return page.evaluate(async (bytes) => {
    // Decoded from memory: the page's Content-Security-Policy refuses data: addresses.
    const image = await createImageBitmap(
      bytes ? new Blob([new Uint8Array(bytes)]) : document.getElementById('figure'),
    );
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const data = context.getImageData(0, 0, image.width, image.height).data;
    const lit = [];
    for (let i = 0; i < data.length; i += 4) {
      lit.push(data[i] + data[i + 1] + data[i + 2] > 48 ? 1 : 0);
    }
    return [image.width, image.height, lit];
  }, png ? [...png] : null);
}

// The share of lit pixels that the other picture also lights within one pixel.
export function shareInCommon([width, height, a], [, , b]) {
  const near = (mask, x, y) => {
    for (let dy = -1; dy <= 1; ++dy) {
      for (let dx = -1; dx <= 1; ++dx) {
        const nx = x + dx;
        const ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < width && ny < height && mask[ny * width + nx]) {
          return true;
        }
      }
    }
    return false;
  };
  let lit = 0;
  let common = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      for (const [mask, other] of [[a, b], [b, a]]) {
        if (mask[y * width + x]) {
          ++lit;
          common += near(other, x, y) ? 1 : 0;
        }
      }
    }
  }
  return { lit, share: common / lit };
}
