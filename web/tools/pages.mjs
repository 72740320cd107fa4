// Writes the site's two documents beside the playground: reference.html, the script reference
// (docs/script-language.md, the text the packages install) with the pictures it shows and a link
// that opens each of its scripts in the playground, and
// gallery.html, every script of examples/ with a still that lumenweave-render draws, its own
// opening remarks and a link that opens it in the playground.
//   node pages.mjs SOURCE_DIR SITE_DIR LUMENWEAVE_RENDER
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';

const [root, site, render] = process.argv.slice(2);

const escape = (text) =>
  text.replaceAll('&', '&amp;').replaceAll('<', '&lt;').replaceAll('>', '&gt;').replaceAll('"', '&quot;');

// As the reference's own links to its sections are written: lower case, words joined by hyphens.
const slug = (text) =>
  text
    .toLowerCase()
    .replace(/[^\p{L}\p{N} _-]/gu, '')
    .replaceAll(' ', '-');

// Where a link of the reference leads on the site: its sections and pictures as they are, the
// gallery and the examples to the gallery page; the source tree's README is not on the site, so
// that link becomes plain text (null), as in the installed copy.
function siteLink(href) {
  if (/^(#|https?:)/.test(href) || /\.(png|gif)$/.test(href)) {
    return href;
  }
  if (href === 'gallery.md' || href.startsWith('../examples')) {
    return 'gallery.html';
  }
  return null;
}

// The inline Markdown the documents use: code, images, links, strong and emphasis.
function inline(text, images) {
  const code = [];
  let html = escape(
    text.replace(/`([^`]+)`/g, (_, span) => `\u0000${code.push(`<code>${escape(span)}</code>`) - 1}\u0000`),
  );
  html = html
    .replace(/!\[([^\]]*)\]\(([^)\s]+)\)/g, (_, alt, src) => {
      images.add(src);
      return `<img src="${src}" alt="${alt}">`;
    })
    .replace(/\[([^\]]+)\]\(([^)\s]+)\)/g, (_, label, href) => {
      const target = siteLink(href.replaceAll('&amp;', '&'));
      return target === null ? label : `<a href="${escape(target)}">${label}</a>`;
    })
    .replace(/\*\*(.+?)\*\*/g, '<strong>$1</strong>')
    .replace(/\*([^*\s][^*]*)\*/g, '<em>$1</em>');
  return html.replace(/\u0000(\d+)\u0000/g, (_, i) => code[Number(i)]);
}

const cells = (line) =>
  line
    .trim()
    .slice(1, -1)
    .split('|')
    .map((c) => c.trim());

// The block Markdown of the documents: headings, fenced code, tables, lists of one level (an item
// goes on over indented lines) and paragraphs. Pictures it refers to are added to `images`.
export function markdownToHtml(markdown, images) {
  const lines = markdown.split('\n');
  const out = [];
  let i = 0;
  while (i < lines.length) {
    const line = lines[i];
    const fence = /^```(\w*)/.exec(line);
    const heading = /^(#{1,6})\s+(.*)$/.exec(line);
    if (line.trim() === '') {
      ++i;
    } else if (fence) {
      const end = lines.indexOf('```', i + 1);
      const body = lines.slice(i + 1, end < 0 ? lines.length : end).join('\n');
      const kind = fence[1] ? ` class="language-${fence[1]}"` : '';
      out.push(`<pre><code${kind}>${escape(body)}</code></pre>`);
      // A script of the reference opens in the playground, as the gallery's do.
      if (fence[1] === 'script') {
        const link = `./#s=${Buffer.from(body).toString('base64url')}`;
        out.push(`<p class="open"><a href="${escape(link)}">Open in the playground</a></p>`);
      }
      i = end < 0 ? lines.length : end + 1;
    } else if (heading) {
      const level = heading[1].length;
      out.push(`<h${level} id="${slug(heading[2])}">${inline(heading[2], images)}</h${level}>`);
      ++i;
    } else if (line.startsWith('|') && /^\|[\s:|-]+\|$/.test(lines[i + 1] ?? '')) {
      const right = cells(lines[i + 1]).map((c) => c.endsWith(':'));
      const row = (tag, line) =>
        `<tr>${cells(line)
          .map((c, k) => `<${tag}${right[k] ? ' class="number"' : ''}>${inline(c, images)}</${tag}>`)
          .join('')}</tr>`;
      const head = row('th', line);
      const body = [];
      for (i += 2; i < lines.length && lines[i].startsWith('|'); ++i) {
        body.push(row('td', lines[i]));
      }
      out.push(`<table><thead>${head}</thead><tbody>${body.join('')}</tbody></table>`);
    } else if (line.startsWith('- ')) {
      const items = [];
      for (; i < lines.length && (lines[i].startsWith('- ') || lines[i].startsWith('  ')); ++i) {
        if (lines[i].startsWith('- ')) {
          items.push(lines[i].slice(2));
        } else {
          items[items.length - 1] += ` ${lines[i].trim()}`;
        }
      }
      out.push(`<ul>${items.map((item) => `<li>${inline(item, images)}</li>`).join('')}</ul>`);
    } else {
      const paragraph = [];
      for (; i < lines.length && lines[i].trim() !== '' && !/^(```|#{1,6}\s|\||- )/.test(lines[i]); ++i) {
        paragraph.push(lines[i]);
      }
      out.push(`<p>${inline(paragraph.join(' '), images)}</p>`);
    }
  }
  return out.join('\n');
}

// A document page of the site: the playground's style, its policy without scripts at all, and
// the links between the three pages.
function page(title, current, body) {
  const links = [
    ['./', 'Playground'],
    ['reference.html', 'Script reference'],
    ['gallery.html', 'Gallery'],
  ]
    .map(([href, label]) => `<a href="${href}"${href === current ? ' aria-current="page"' : ''}>${label}</a>`)
    .join('\n    ');
  return `<!doctype html>
<!-- Written by web/tools/pages.mjs; do not edit. -->
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; img-src 'self'; style-src 'self'; base-uri 'none'; form-action 'none'">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${escape(title)}</title>
<link rel="icon" href="favicon.ico">
<link rel="stylesheet" href="style.css">
</head>
<body class="document">
<header>
  <nav aria-label="Pages">
    ${links}
  </nav>
</header>
<main>
${body}
</main>
</body>
</html>
`;
}

function copyInto(relative, from) {
  mkdirSync(dirname(join(site, relative)), { recursive: true });
  copyFileSync(join(from, relative), join(site, relative));
}

// The reference.
const images = new Set();
const reference = markdownToHtml(readFileSync(join(root, 'docs', 'script-language.md'), 'utf8'), images);
for (const image of images) {
  copyInto(image, join(root, 'docs'));
}
writeFileSync(join(site, 'reference.html'), page('Lumenweave script reference', 'reference.html', reference));

// The gallery: each example opens in the playground with the seed its still was drawn with.
const seed = 1;
const frames = 300;
mkdirSync(join(site, 'gallery'), { recursive: true });
const entries = readdirSync(join(root, 'examples'))
  .filter((name) => name.endsWith('.txt'))
  .sort()
  .map((file) => {
    const name = file.slice(0, -'.txt'.length);
    const path = join(root, 'examples', file);
    const text = readFileSync(path, 'utf8');
    execFileSync(render, [
      '--script', path, '--seed', String(seed), '--frames', String(frames),
      '--size', '320x240', '--out', join(site, 'gallery', `${name}.png`),
    ]);
    // The remark lines the script opens with: a title, then paragraphs between empty remarks.
    const remarks = [];
    for (const line of text.split('\n')) {
      if (!line.startsWith('#')) {
        break;
      }
      remarks.push(line.replace(/^#\s?/, ''));
    }
    const [title = name, ...rest] = remarks;
    const paragraphs = rest
      .join('\n')
      .split(/\n\s*\n/)
      .map((p) => p.trim().replaceAll('\n', ' '))
      .filter((p) => p !== '');
    const link = `./?seed=${seed}#s=${Buffer.from(text).toString('base64url')}`;
    return `<section class="example" id="${name}">
<h2>${escape(title)}</h2>
<a href="${escape(link)}"><img src="gallery/${name}.png" width="320" height="240" alt="${escape(name)}: frame ${frames}, seed ${seed}"></a>
${paragraphs.map((p) => `<p>${escape(p)}</p>`).join('\n')}
<p><a class="open" href="${escape(link)}">Open ${escape(name)} in the playground</a></p>
</section>`;
  });
writeFileSync(
  join(site, 'gallery.html'),
  page(
    'Lumenweave gallery',
    'gallery.html',
    `<h1>Gallery</h1>
<p>Every example script, drawn by <code>lumenweave-render</code> at frame ${frames} (five seconds) with seed ${seed}. A link opens the script in the playground with the same seed.</p>
${entries.join('\n')}`,
  ),
);
