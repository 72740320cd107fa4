// The Install… button and the help's entry for it: the dialog's code, and the zip library and
// the Windows program it fetches, load at the first use, never on a first visit.
import type { Engine } from '../shared/engine';
import { say } from '../shared/status';

export interface InstallContext {
  text(): string; // the editor's script
  seed(): number; // the seed of the figure shown, for the embedded figure
  engine: Engine; // checks the script
  loadEngine(): Promise<Engine>; // an engine of the dialog's own, for the wallpaper's picture
}

export function attachInstall(openers: HTMLElement[], context: InstallContext): void {
  let opening: Promise<() => void> | null = null;
  const open = (): void => {
    opening ??= import('./dialog').then((module) => module.createInstallDialog(context));
    opening.then(
      (show) => show(),
      (error: unknown) => {
        console.error(error);
        opening = null; // tried again at the next click
        say(`The Install dialog could not be loaded (${String(error)}); try again.`);
      },
    );
  };
  for (const opener of openers) {
    opener.addEventListener('click', open);
  }
}
