// Writes beside each text and WebAssembly file of the built site its gzip (.gz) and brotli (.br)
// copy, made once at build time at the strongest settings, for a server that sends what the
// browser accepts (serve.py; nginx's gzip_static and brotli_static).
//   node compress.mjs SITE_DIR
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

// The Windows program too: most of it is the runtime's debugging sections, which compress well.
const compressible = /\.(html|css|js|mjs|wasm|svg|ico|txt|json|scr)$/;
// The Node command line's files, which no page fetches.
const commandLine = /^lumenweave-(sim|trace)\./;
const smallest = 512; // bytes: below this a header costs about what compression saves

const site = process.argv[2];
for (const file of readdirSync(site, { recursive: true })) {
  if (!compressible.test(file) || commandLine.test(file)) {
    continue;
  }
  const bytes = readFileSync(join(site, file));
  if (bytes.length < smallest) {
    continue;
  }
  writeFileSync(join(site, `${file}.gz`), gzipSync(bytes, { level: 9 }));
  writeFileSync(
    join(site, `${file}.br`),
    brotliCompressSync(bytes, {
      params: { [constants.BROTLI_PARAM_QUALITY]: 11, [constants.BROTLI_PARAM_SIZE_HINT]: bytes.length },
    }),
  );
}
