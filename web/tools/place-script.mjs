// Places a script in a copy of Lumenweave.scr as the page does, through the page's own module
// (web/src/windows-saver.ts, bundled here by esbuild), for the tests and the measurements that
// run outside a browser. Needs the generated modules of tools/playground.sh build.
//   node web/tools/place-script.mjs PROGRAM SCRIPT OUT    exit 1: too long or no space
import { readFileSync, writeFileSync } from 'node:fs';
import { build } from 'esbuild';

// The page's module, as the page bundles it: { placeScript, saverFileName, ... }.
export async function windowsSaver() {
  const bundled = await build({
    entryPoints: [new URL('../src/windows-saver.ts', import.meta.url).pathname],
    bundle: true,
    format: 'esm',
    target: 'es2022',
    write: false,
    logLevel: 'warning',
  });
  const code = bundled.outputFiles[0].text;
  return import(`data:text/javascript;base64,${Buffer.from(code).toString('base64')}`);
}

if (import.meta.url === new URL(process.argv[1], 'file://').href) {
  const [program, script, out] = process.argv.slice(2);
  const { placeScript } = await windowsSaver();
  const placed = placeScript(readFileSync(program), readFileSync(script, 'utf8'));
  if (placed.kind !== 'placed') {
    console.error(`place-script: ${placed.kind}${placed.limit ? ` (${placed.limit} bytes at most)` : ''}`);
    process.exit(1);
  }
  writeFileSync(out, placed.bytes);
}
