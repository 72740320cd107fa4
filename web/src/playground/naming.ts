// The scripts bar's own questions, in the page rather than in the browser's prompt() and
// confirm(): a name field in the bar (Enter keeps the name, Escape or Cancel drops it) and an Undo
// after a deletion. Loaded at its first use.

let asking: (() => void) | null = null; // drops the question shown, if any

// The name typed, trimmed; null when none was (dropped, or only spaces). Focus goes back to the
// element that had it.
export function askName(bar: HTMLElement, question: string, suggested: string): Promise<string | null> {
  asking?.();
  const back = document.activeElement as HTMLElement | null;
  const form = document.createElement('form');
  form.className = 'naming';
  const label = document.createElement('label');
  const field = document.createElement('input');
  field.value = suggested;
  field.autocomplete = 'off';
  label.append(`${question} `, field);
  const keep = document.createElement('button');
  keep.textContent = 'OK';
  const drop = document.createElement('button');
  drop.type = 'button';
  drop.textContent = 'Cancel';
  form.append(label, ' ', keep, ' ', drop);
  bar.append(form);
  field.select();

  return new Promise((answer) => {
    const end = (name: string | null): void => {
      asking = null;
      form.remove();
      back?.focus();
      answer(name);
    };
    asking = () => end(null);
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      end(field.value.trim() || null);
    });
    drop.addEventListener('click', () => end(null));
    form.addEventListener('keydown', (event) => {
      if (event.key === 'Escape') {
        event.preventDefault();
        end(null);
      }
    });
  });
}

// Says what was done, with an Undo button, until the next question or deletion.
export function offerUndo(bar: HTMLElement, done: string, undo: () => void): void {
  asking?.();
  const note = document.createElement('p');
  note.className = 'naming';
  note.setAttribute('role', 'status');
  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = 'Undo';
  note.append(`${done} `, button);
  bar.append(note);
  button.focus();
  asking = () => {
    asking = null;
    note.remove();
  };
  button.addEventListener('click', () => {
    asking?.();
    undo();
  });
}
