// The site's icon (favicon.ico): the program's Windows icon with only its full-colour picture of
// 16 pixels, which a browser's tab shows; the others Windows wants would cost the first visit
// more than a kilobyte of its budget.
//   node favicon.mjs WINDOWS_ICO OUT_ICO
import { readFileSync, writeFileSync } from 'node:fs';

const [from, to] = process.argv.slice(2);
const ico = readFileSync(from);
const entries = [];
for (let i = 0; i < ico.readUInt16LE(4); ++i) {
  const at = 6 + 16 * i;
  if (ico.readUInt16LE(at + 6) === 32 && ico[at] === 16) {
    entries.push({ head: ico.subarray(at, at + 16), image: ico.subarray(ico.readUInt32LE(at + 12), ico.readUInt32LE(at + 12) + ico.readUInt32LE(at + 8)) });
  }
}
const header = Buffer.alloc(6);
header.writeUInt16LE(1, 2); // an icon
header.writeUInt16LE(entries.length, 4);
let offset = 6 + 16 * entries.length;
const heads = entries.map(({ head, image }) => {
  const copy = Buffer.from(head);
  copy.writeUInt32LE(offset, 12);
  offset += image.length;
  return copy;
});
writeFileSync(to, Buffer.concat([header, ...heads, ...entries.map((e) => e.image)]));
