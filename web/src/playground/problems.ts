// The problem list under the editor: each problem a button that takes the editor to its line.
// A long list is cut: thousands of entries cost the page more than they tell.
import type { Problem } from '../shared/engine';

const shownProblems = 200;

// Each problem as "LINE: message" or "LINE: warning: message", the checker's lines without the
// file, as text: a message may quote the script.
export function showProblems(list: HTMLElement, problems: Problem[], goToLine: (line: number) => void): void {
  const items = problems.slice(0, shownProblems).map((p) => {
    const item = document.createElement('li');
    item.className = p.severity;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = `${p.line}: ${p.severity === 'warning' ? 'warning: ' : ''}${p.message}`;
    button.addEventListener('click', () => goToLine(p.line));
    item.append(button);
    return item;
  });
  if (problems.length > shownProblems) {
    const more = document.createElement('li');
    more.textContent = `… and ${problems.length - shownProblems} more`;
    items.push(more);
  }
  list.replaceChildren(...items);
}
