// The named scripts kept in the browser: a list of names, a record of its own for each script
// (autosave.ts writes it), the script this tab has open (a reload keeps it), and word between
// tabs, so that two tabs on one script say so. The built-in script is an entry of its own.
import { storage } from './autosave';

export interface ScriptEntry {
  id: string;
  name: string;
}

export interface Library {
  entries(): ScriptEntry[];
  current(): ScriptEntry;
  // The storage key of a script's record.
  recordKey(id: string): string;
  // Makes this tab's script the one with id (and tells the other tabs).
  choose(id: string): void;
  add(name: string): ScriptEntry;
  rename(id: string, name: string): void;
  // Removes the script and its record; what it returns puts both back where they were.
  remove(id: string): () => void;
}

export const builtinId = 'builtin';
const listKey = 'lumenweave.scripts'; // localStorage: the entries, JSON
const lastKey = 'lumenweave.last'; // localStorage: the script chosen last in any tab, for a new tab
const tabKey = 'lumenweave.open'; // sessionStorage: this tab's script
const firstRecord = 'lumenweave.editor'; // the one record kept before there were several
const builtinEntry: ScriptEntry = { id: builtinId, name: 'built-in script' };
const recordKey = (id: string): string => (id === 'first' ? firstRecord : `lumenweave.script.${id}`);

// onShared(true) when another tab has this tab's script open, (false) when none has any more.
export function openLibrary(onShared: (shared: boolean) => void): Library {
  const local = storage('localStorage');
  const session = storage('sessionStorage');
  const read = (): ScriptEntry[] => {
    try {
      const list = JSON.parse(local?.getItem(listKey) ?? 'null') as ScriptEntry[] | null;
      if (Array.isArray(list) && list.some((e) => e.id === builtinId)) {
        return list;
      }
    } catch {
      // Damaged: started again below; the records stay where they are.
    }
    // The first list: the record of before, if any, as "my script", and the built-in script.
    return local?.getItem(firstRecord) ? [{ id: 'first', name: 'my script' }, builtinEntry] : [builtinEntry];
  };
  const write = (list: ScriptEntry[]): void => {
    try {
      local?.setItem(listKey, JSON.stringify(list));
    } catch {
      // No room: the names of this visit are lost on reload, the texts are not.
    }
  };
  let list = read();
  const wanted = session?.getItem(tabKey) ?? local?.getItem(lastKey) ?? list[0].id;
  let current = list.find((e) => e.id === wanted) ?? list[0];

  // Each tab says which script it opens; a tab on the same one answers, so both know.
  const tab = Math.random().toString(36).slice(2);
  const others = new Map<string, string>(); // tab -> the script it has open
  const channel = 'BroadcastChannel' in window ? new BroadcastChannel('lumenweave.scripts') : null;
  const tell = (answer: boolean): void => channel?.postMessage({ tab, id: current.id, answer });
  const judge = (): void => onShared([...others.values()].includes(current.id));
  if (channel) {
    channel.onmessage = (event: MessageEvent<{ tab: string; id: string | null; answer: boolean }>) => {
      const { tab: from, id, answer } = event.data;
      if (id === null) {
        others.delete(from);
      } else {
        others.set(from, id);
      }
      if (!answer && id !== null) {
        tell(true);
      }
      judge();
    };
    addEventListener('pagehide', () => channel.postMessage({ tab, id: null, answer: true }));
  }

  const choose = (id: string): void => {
    list = read();
    current = list.find((e) => e.id === id) ?? list[0];
    try {
      session?.setItem(tabKey, current.id);
      local?.setItem(lastKey, current.id);
    } catch {
      // Without them a reload opens the first script; nothing is lost.
    }
    tell(false);
    judge();
  };
  choose(current.id);

  return {
    entries: () => (list = read()),
    current: () => current,
    recordKey,
    choose,
    add(name) {
      const entry = { id: Date.now().toString(36) + Math.random().toString(36).slice(2, 6), name };
      list = read();
      write([...list, entry]);
      return entry;
    },
    rename(id, name) {
      write(read().map((e) => (e.id === id ? { ...e, name } : e)));
    },
    remove(id) {
      const before = read();
      const at = before.findIndex((e) => e.id === id);
      if (id === builtinId || at < 0) {
        return () => {};
      }
      const record = local?.getItem(recordKey(id)) ?? null;
      write(before.filter((e) => e.id !== id));
      try {
        local?.removeItem(recordKey(id));
      } catch {
        // Gone from the list all the same.
      }
      return () => {
        const now = read().filter((e) => e.id !== id);
        write([...now.slice(0, at), before[at], ...now.slice(at)]);
        try {
          if (record !== null) {
            local?.setItem(recordKey(id), record);
          }
        } catch {
          // Back in the list; the text is lost if the storage is full.
        }
      };
    },
  };
}
