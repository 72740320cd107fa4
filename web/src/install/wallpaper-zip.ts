// The live wallpaper zip for one script, made in the page: the shape tools/package.sh gives its
// wallpaper zip (the page, its script and style, the hosts' description files, a picture, all at
// the top), with the script carried in the page and listed first in the hosts' settings, so that
// the wallpaper opens on it with no link and no network. The zip library loads only here.
import { type CarriedScript, carryScript } from '../shared/carried-script';
import { carriedOption } from '../wallpaper/host-settings';

// Where the site keeps the hosts' description files (tools/playground.sh writes them).
const hostFolder = 'wallpaper/';

interface LivelyInfo {
  Title: string;
}
interface LivelyProperties {
  example: { value: number; items: string[] };
}
interface Project {
  title: string;
  general: { properties: { example: { value: string; options: { label: string; value: string }[] } } };
}

async function fetchBytes(site: URL, path: string): Promise<Uint8Array> {
  const response = await fetch(new URL(path, site));
  if (!response.ok) {
    throw new Error(`${path} could not be fetched (${response.status})`);
  }
  return new Uint8Array(await response.arrayBuffer());
}

// The zip's bytes: the site's files (at `site`) with `script` carried and `preview` as the picture.
export async function makeWallpaperZip(script: CarriedScript, preview: Uint8Array, site: URL): Promise<Uint8Array> {
  const [{ zipSync, strToU8, strFromU8 }, page, code, style, info, properties, project] = await Promise.all([
    import('fflate'),
    fetchBytes(site, 'wallpaper.html'),
    fetchBytes(site, 'wallpaper.js'),
    fetchBytes(site, 'alone.css'),
    fetchBytes(site, `${hostFolder}LivelyInfo.json`),
    fetchBytes(site, `${hostFolder}LivelyProperties.json`),
    fetchBytes(site, `${hostFolder}project.json`),
  ]);
  const read = <T>(bytes: Uint8Array): T => JSON.parse(strFromU8(bytes)) as T;
  const write = (data: unknown): Uint8Array => strToU8(`${JSON.stringify(data, null, 2)}\n`);

  const lively = read<LivelyInfo>(info);
  lively.Title = script.name;
  const choices = read<LivelyProperties>(properties);
  choices.example.items.unshift(script.name);
  choices.example.value = 0;
  const engine = read<Project>(project);
  engine.title = script.name;
  const example = engine.general.properties.example;
  example.options.unshift({ label: script.name, value: carriedOption });
  example.value = carriedOption;

  return zipSync({
    'wallpaper.html': strToU8(carryScript(strFromU8(page), script)),
    'wallpaper.js': code,
    'alone.css': style,
    'LivelyInfo.json': write(lively),
    'LivelyProperties.json': write(choices),
    'project.json': write(engine),
    'preview.png': [preview, { level: 0 }],
  });
}
