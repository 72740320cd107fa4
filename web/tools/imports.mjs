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

// The modules the playground fetches on every visit (playground.js, what it imports at once, and the
// editor it imports after its first frame, import("./chunks/editor-HASH.js"), with what that
// imports at once), in the site `site`: what the page preloads and the budget counts.
export function everyVisit(site) {
  const found = /import\(["'](\.\/chunks\/editor-[A-Z0-9]+\.js)["']\)/.exec(readFileSync(join(site, 'playground.js'), 'utf8'));
  if (!found) {
    throw new Error('playground.js imports no chunk of the editor');
  }
  return new Set([...withImports(site, 'playground.js'), ...withImports(site, posix.normalize(found[1]))]);
}
