// A script carried inside wallpaper.html, as the wallpaper zip that the playground makes holds it:
// a page opened from its files may fetch nothing, so the text rides in a data block of the page
// itself (JSON, which no browser runs, every < escaped so that nothing in it can end the block).

export interface CarriedScript {
  name: string; // what the wallpaper hosts list it as
  text: string;
}

const blockId = 'carried-script';

// The page's text with the script carried in its head.
export function carryScript(html: string, script: CarriedScript): string {
  const data = JSON.stringify({ name: script.name, text: script.text }).replace(/</g, '\\u003c');
  const block = `<script type="application/json" id="${blockId}">${data}</script>\n`;
  const end = html.indexOf('</head>');
  if (end < 0) {
    throw new Error('wallpaper.html has no </head>');
  }
  return html.slice(0, end) + block + html.slice(end);
}

// The script the page carries, or null.
export function readCarried(page: Document): CarriedScript | null {
  const block = page.getElementById(blockId);
  if (!block) {
    return null;
  }
  try {
    const { name, text } = JSON.parse(block.textContent ?? '') as Partial<CarriedScript>;
    return typeof name === 'string' && typeof text === 'string' ? { name, text } : null;
  } catch {
    return null;
  }
}
