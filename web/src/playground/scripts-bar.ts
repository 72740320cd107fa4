// The named scripts' bar above the editor: the menu of scripts, New, Rename, Duplicate, Delete.
import { builtinId } from './library';
import type { Scripts } from './scripts';

export interface ScriptsBarElements {
  bar: HTMLElement;
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
  // The questions' code comes at the first question.
  const naming = (): Promise<typeof import('./naming')> => import('./naming');
  const ask = async (question: string, suggested: string): Promise<string | null> =>
    (await naming()).askName(ui.bar, question, suggested);

  ui.list.addEventListener('change', () => open(ui.list.value));
  ui.add.addEventListener('click', async () => {
    const name = await ask('Name of the new script:', `script ${library.entries().length}`);
    if (name) {
      open(library.add(name).id, `# ${name}\n`);
    }
  });
  ui.duplicate.addEventListener('click', async () => {
    const copied = text();
    const name = await ask('Name of the copy:', `${library.current().name} (copy)`);
    if (name) {
      open(library.add(name).id, copied);
    }
  });
  ui.rename.addEventListener('click', async () => {
    const { id, name: was } = library.current();
    const name = await ask('New name of the script:', was);
    if (name) {
      library.rename(id, name);
      show();
    }
  });
  // At once, with an Undo that brings the script back with its text and opens it again.
  ui.remove.addEventListener('click', async () => {
    const { offerUndo } = await naming();
    const { id, name } = library.current();
    // Another opened first, so that the text waiting to be saved is in the record taken back.
    open(library.entries().find((e) => e.id !== id)?.id ?? builtinId);
    const undo = library.remove(id);
    show();
    offerUndo(ui.bar, `The script "${name}" is deleted.`, () => {
      undo();
      open(id);
    });
  });
  // Another tab may have added or renamed one.
  ui.list.addEventListener('focus', show);
  show();
}
