// The named scripts' bar above the editor: the menu of scripts, New, Rename, Duplicate, Delete.
import { builtinId } from './library';
import type { Scripts } from './scripts';

export interface ScriptsBarElements {
  list: HTMLSelectElement;
  add: HTMLButtonElement;
  rename: HTMLButtonElement;
  duplicate: HTMLButtonElement;
  remove: HTMLButtonElement;
}

export function attachScriptsBar(ui: ScriptsBarElements, scripts: Scripts, text: () => string): void {
  const { library } = scripts;
  const show = (): void => {
    const current = library.current();
    ui.list.replaceChildren(
      ...library.entries().map((entry) => {
        const option = document.createElement('option');
        option.value = entry.id;
        option.textContent = entry.name;
        return option;
      }),
    );
    ui.list.value = current.id;
    // The built-in script's entry keeps its name and its place.
    ui.rename.disabled = ui.remove.disabled = current.id === builtinId;
  };
  const open = (id: string, startText?: string): void => {
    scripts.switchTo(id, startText);
    show();
  };
  // A name typed, trimmed; null when none was (cancelled, or only spaces).
  const ask = (question: string, suggested: string): string | null => prompt(question, suggested)?.trim() || null;

  ui.list.addEventListener('change', () => open(ui.list.value));
  ui.add.addEventListener('click', () => {
    const name = ask('Name of the new script:', `script ${library.entries().length}`);
    if (name) {
      open(library.add(name).id, `# ${name}\n`);
    }
  });
  ui.duplicate.addEventListener('click', () => {
    const name = ask('Name of the copy:', `${library.current().name} (copy)`);
    if (name) {
      open(library.add(name).id, text());
    }
  });
  ui.rename.addEventListener('click', () => {
    const name = ask('New name of the script:', library.current().name);
    if (name) {
      library.rename(library.current().id, name);
      show();
    }
  });
  ui.remove.addEventListener('click', () => {
    const { id, name } = library.current();
    if (confirm(`Delete the script "${name}"? Its text is lost.`)) {
      library.remove(id);
      open(library.entries()[0].id);
    }
  });
  // Another tab may have added or renamed one.
  ui.list.addEventListener('focus', show);
  show();
}
