// The modules a built module imports statically, read from the bundler's output: what a page
// fetches before that module runs (the first visit's budget, the page's preload links).

import { readFileSync } from 'node:fs';
import { join, posix } from 'node:path';

// `file` (a path in the site `site`) and the modules it imports statically (import ... from
// "./x.js"), not import("./x.js").
export function withImports(site, file, seen = new Set()) {
  if (!seen.has(file)) {
    seen.add(file);
    const text = readFileSync(join(site, file), 'utf8');
    for (const [, path] of text.matchAll(/(?:^|[;}\s])import\s*(?:[^'"();]*?from\s*)?["']([^"']+\.js)["']/g)) {
      withImports(site, posix.normalize(posix.join(posix.dirname(file), path)), seen);
    }
  }
  return seen;
}
