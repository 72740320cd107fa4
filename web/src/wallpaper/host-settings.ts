// The settings a wallpaper host gives the page: Lively's window.livelyPropertyListener(name,
// value) and Wallpaper Engine's window.wallpaperPropertyListener, both read into one record.
// The names are those of packaging/wallpaper/LivelyProperties.json and project.json; a zip made
// by the playground lists the script it carries first (web/src/install/wallpaper-zip.ts).
import { examples } from 'generated/examples';
import { maxSeed, parseWhole } from '../shared/share';

export interface WallpaperSettings {
  example: string | null; // the example chosen in the host; null: the carried or the link's script
  seed: number | null; // null: the link's seed, else a random one
  speed: number; // 1: 60 steps a second
  fps: number; // frames drawn a second at most
  paused: boolean;
  every: number | null; // seconds of animation before the next script; null: no rotation
  shuffle: boolean;
}

export type SettingName = keyof WallpaperSettings;

export const maxSpeed = 4;
export const maxFps = 240; // frames a second
export const maxEveryMinutes = 60; // the hosts' slider; the address takes up to a day
// The value a Wallpaper Engine combo gives for the carried script (its examples give their names).
export const carriedOption = '*';

// User properties come as { value }, the general ones (fps) as the value itself.
type WallpaperEngineProperties = Record<string, { value: unknown } | undefined>;
type WallpaperEngineGeneral = Record<string, unknown>;

declare global {
  interface Window {
    livelyPropertyListener?: (name: string, value: unknown) => void;
    wallpaperPropertyListener?: {
      applyUserProperties(properties: WallpaperEngineProperties): void;
      applyGeneralProperties(properties: WallpaperEngineGeneral): void;
      setPaused(paused: boolean): void;
    };
  }
}

// The host's value for a setting, or undefined when it is not one the page takes (then ignored).
// With a carried script, Lively's first item and Wallpaper Engine's carriedOption are that script.
function read(name: SettingName, value: unknown, carried: boolean): WallpaperSettings[SettingName] | undefined {
  const taken = <T>(ok: boolean, v: T): T | undefined => (ok ? v : undefined);
  switch (name) {
    case 'example':
      // Lively's dropdown gives the item's index, Wallpaper Engine's combo the option's value.
      if (carried && (value === 0 || value === carriedOption)) {
        return null;
      }
      if (typeof value === 'number') {
        return examples[value - (carried ? 1 : 0)]?.[0];
      }
      return taken(
        examples.some(([n]) => n === value),
        value as string,
      );
    case 'seed':
      return parseWhole(String(value).trim(), 0, maxSeed) ?? undefined;
    case 'speed':
      return taken(typeof value === 'number' && value >= 0 && value <= maxSpeed, value as number);
    case 'fps':
      return taken(
        typeof value === 'number' && Number.isInteger(value) && value >= 1 && value <= maxFps,
        value as number,
      );
    case 'paused':
    case 'shuffle':
      return taken(typeof value === 'boolean', value as boolean);
    case 'every':
      // The hosts' slider counts minutes; 0 is no rotation.
      if (typeof value !== 'number' || !Number.isInteger(value) || value < 0 || value > maxEveryMinutes) {
        return undefined;
      }
      return value === 0 ? null : value * 60;
  }
}

// Installs both hosts' listeners (at once: a host may call them before the engine has loaded) on
// settings; changed(name) follows each setting a host changes. carried: the page carries a script.
export function listenToHosts(
  settings: WallpaperSettings,
  carried: boolean,
  changed: (name: SettingName) => void,
): void {
  const userProperties: SettingName[] = ['example', 'seed', 'speed', 'every', 'shuffle'];
  const take = (name: SettingName, value: unknown): void => {
    const taken = read(name, value, carried);
    if (taken !== undefined && taken !== settings[name]) {
      (settings as unknown as Record<SettingName, unknown>)[name] = taken;
      changed(name);
    }
  };
  const takeAll = (properties: WallpaperEngineProperties, names: SettingName[]): void => {
    for (const name of names) {
      const property = properties[name];
      if (property) {
        take(name, property.value);
      }
    }
  };
  window.livelyPropertyListener = (name, value) => {
    if ((userProperties as string[]).includes(name)) {
      take(name as SettingName, value);
    }
  };
  window.wallpaperPropertyListener = {
    applyUserProperties: (properties) => takeAll(properties, userProperties),
    applyGeneralProperties: (properties) => {
      if ('fps' in properties) {
        take('fps', properties.fps);
      }
    },
    setPaused: (paused) => take('paused', paused),
  };
}
