// Makes the fragment of a playground share link for a script file, as web/src/shared/share.ts does, with
// Node's zlib: node share-link.mjs z|s|z-bad-crc FILE. z: #z= (the UTF-8 length in LEB128, the
// CRC-32 big-endian, the text in raw deflate, all in base64url without padding); s: the older #s=
// (the text in base64url); z-bad-crc: #z= with the checksum off by one, an altered link.
import { readFileSync } from 'node:fs';
import { crc32, deflateRawSync } from 'node:zlib';

const [form, file] = process.argv.slice(2);
const text = readFileSync(file);
const base64url = (bytes) => Buffer.from(bytes).toString('base64url');
if (form === 's') {
  process.stdout.write(`#s=${base64url(text)}\n`);
} else {
  const header = [];
  for (let n = text.length; ; n = Math.floor(n / 128)) {
    header.push((n % 128) | (n >= 128 ? 128 : 0));
    if (n < 128) {
      break;
    }
  }
  const crc = (crc32(text) + (form === 'z-bad-crc' ? 1 : 0)) >>> 0;
  header.push(crc >>> 24, (crc >>> 16) & 0xff, (crc >>> 8) & 0xff, crc & 0xff);
  process.stdout.write(`#z=${base64url(Buffer.concat([Buffer.from(header), deflateRawSync(text)]))}\n`);
}
