// What the Install dialog writes out for a script: its name from its first remark, the command
// lines that run its link on Linux, and the embeddable figure's <iframe>.

export const defaultName = 'Lumenweave';
const longestName = 40; // characters: a file name and a line in the hosts' lists

// The first remark line's words up to its first stop (": . ;"), cut at a word within
// longestName; defaultName for a script without one.
export function scriptName(text: string): string {
  for (const line of text.split('\n')) {
    const remark = /^\s*#+\s*(.*)$/.exec(line);
    const words = remark?.[1].split(/[:.;]/)[0].trim();
    if (!words) {
      continue;
    }
    if (words.length <= longestName) {
      return words;
    }
    const cut = words.slice(0, longestName + 1);
    return cut.slice(0, Math.max(cut.lastIndexOf(' '), 1)).trim();
  }
  return defaultName;
}

// A name fit for a file of any system: the name's letters, digits, spaces and - _ only.
export function fileStem(name: string): string {
  return (
    name
      .replace(/[^\p{L}\p{N} _-]+/gu, ' ')
      .replace(/\s+/g, ' ')
      .trim() || defaultName
  );
}

// One word for the POSIX shell, whatever it holds.
function shellWord(text: string): string {
  return `'${text.replace(/'/g, `'\\''`)}'`;
}

export interface LinuxLines {
  window: string;
  daemon: string; // a line of the programs: list in ~/.xscreensaver
  saver: string;
  swayidle: string; // a line of sway's configuration
  file: string; // runs the script saved as the file
}

// The Linux program's lines for a share address, and for the script saved as the file `saved`
// (a path the shell takes as written: ~/ and a fileStem).
export function linuxLines(address: string, saved: string): LinuxLines {
  const link = `--link ${shellWord(address)}`;
  return {
    window: `lumenweave ${link}`,
    daemon: `GL: lumenweave --root ${link}`,
    saver: `lumenweave --saver ${link}`,
    // Sway's configuration takes the command in double quotes (an address has none: the browser
    // writes them %22); swayidle gives it to the shell.
    swayidle: `exec swayidle -w timeout 300 "lumenweave --saver ${link} &"`,
    file: `lumenweave --script ${saved}`,
  };
}

function htmlAttribute(text: string): string {
  return text.replace(/&/g, '&amp;').replace(/"/g, '&quot;').replace(/</g, '&lt;');
}

// The embeddable figure of a share address (embed.html in place of the page), framed.
export function embedSnippet(embedAddress: string): string {
  return `<iframe src="${htmlAttribute(embedAddress)}" width="480" height="360" title="Lumenweave"></iframe>`;
}
