// The interval of a rotation between several scripts (the page's saver, the wallpaper), written
// as the Linux program's --every takes it.

const unitSeconds: Record<string, number> = { s: 1, m: 60, h: 3600 };
export const maxEvery = 24 * 3600; // seconds

// "30s", "10m", "1h" (or bare seconds) as seconds from 1 to a day, or null.
export function parseEvery(text: string | null): number | null {
  const match = /^([0-9]{1,6})([smh]?)$/.exec(text?.trim() ?? '');
  if (!match) {
    return null;
  }
  const seconds = Number(match[1]) * unitSeconds[match[2] || 's'];
  return seconds >= 1 && seconds <= maxEvery ? seconds : null;
}
