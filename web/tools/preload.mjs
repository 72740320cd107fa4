// Writes the built index.html: the chunks playground.js imports at once named in it, so that the
// browser fetches them beside the script rather than only once the script has come and been read;
// the source's comments left out, as every visit would fetch them.
//   node preload.mjs SITE_DIR
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { withImports } from './imports.mjs';

const site = process.argv[2];
const page = join(site, 'index.html');
const script = '<script type="module" src="playground.js"></script>';
const html = readFileSync(page, 'utf8');
if (!html.includes(script)) {
  console.error(`preload: ${page} has no ${script}`);
  process.exit(1);
}
const chunks = [...withImports(site, 'playground.js')].slice(1);
const links = chunks.map((chunk) => `\n<link rel="modulepreload" href="${chunk}">`).join('');
writeFileSync(page, html.replace(/<!--[^]*?-->\n?/g, '').replace(script, script + links));
