// The settings a wallpaper host gives the page: Lively's window.livelyPropertyListener(name,
// value) and Wallpaper Engine's window.wallpaperPropertyListener, both read into one record.
// The names are those of packaging/wallpaper/LivelyProperties.json and project.json.
import { examples } from 'generated/examples';
import { maxSeed, parseWhole } from '../shared/share';

export interface WallpaperSettings {
  example: string | null; // the example chosen in the host; null: the link's script
  seed: number | null; // null: the link's seed, else a random one
  speed: number; // 1: 60 steps a second
  fps: number; // frames drawn a second at most
  paused: boolean;
}

export type SettingName = keyof WallpaperSettings;

export const maxSpeed = 4;
export const maxFps = 240; // frames a second

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

// The host's value for a setting, or null when it is not one the page takes (then ignored).
function read(name: SettingName, value: unknown): WallpaperSettings[SettingName] | null {
  switch (name) {
    case 'example':
      // Lively's dropdown gives the item's index, Wallpaper Engine's combo the option's value.
      if (typeof value === 'number') {
        return examples[value]?.[0] ?? null;
      }
      return examples.some(([n]) => n === value) ? (value as string) : null;
    case 'seed':
      return parseWhole(String(value).trim(), 0, maxSeed);
    case 'speed':
      return typeof value === 'number' && value >= 0 && value <= maxSpeed ? value : null;
    case 'fps':
      return typeof value === 'number' && Number.isInteger(value) && value >= 1 && value <= maxFps ? value : null;
    case 'paused':
      return typeof value === 'boolean' ? value : null;
  }
}

// Installs both hosts' listeners (at once: a host may call them before the engine has loaded) on
// settings; changed(name) follows each setting a host changes.
export function listenToHosts(settings: WallpaperSettings, changed: (name: SettingName) => void): void {
  const take = (name: SettingName, value: unknown): void => {
    const taken = read(name, value);
    if (taken !== null && taken !== settings[name]) {
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
    if (name === 'example' || name === 'seed' || name === 'speed') {
      take(name, value);
    }
  };
  window.wallpaperPropertyListener = {
    applyUserProperties: (properties) => takeAll(properties, ['example', 'seed', 'speed']),
    applyGeneralProperties: (properties) => {
      if ('fps' in properties) {
        take('fps', properties.fps);
      }
    },
    setPaused: (paused) => take('paused', paused),
  };
}
