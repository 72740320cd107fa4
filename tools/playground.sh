#!/usr/bin/env bash
# Builds the browser playground into build/web/ (the core as WebAssembly, the page bundled from
# web/, the script reference and the gallery of examples, the embeddable figure, the wallpaper
# page, the Windows program the page makes savers of, and the service worker that keeps them
# offline; gzip and brotli copies of each, and the first visit's size budget checked) and serves
# it on the loopback address, compressed, telling browsers which pages other sites may frame
# (web/tools/serve.py).
#   bash tools/playground.sh build          build only
#   bash tools/playground.sh [--port N]     build, then serve on http://127.0.0.1:N/ (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: bash tools/playground.sh [build | --port N]" >&2
    exit 2
}

serve=1
port=8000
while (($#)); do
    case $1 in
    build) serve=0 ;;
    --port)
        [[ $# -ge 2 && $2 =~ ^[0-9]+$ && $2 -ge 1 && $2 -le 65535 ]] || usage
        port=$2
        shift
        ;;
    *) usage ;;
    esac
    shift
done

site=build/web
gen=build/web-gen

bash tools/install-deps.sh
cmake --preset wasm >/dev/null
cmake --build --preset wasm

# npm ci again only when the lock file changed since the last install.
if ! cmp -s web/package-lock.json web/node_modules/.package-lock.json.installed 2>/dev/null; then
    (cd web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
    cp web/package-lock.json web/node_modules/.package-lock.json.installed
fi

# The bundler's chunks are named after their content: those of earlier builds go.
rm -rf "$site/chunks"
mkdir -p "$gen" "$site"
# The wallpaper's script carries the engine (a page opened from a file may fetch nothing).
cp build/wasm/web/engine/lumenweave.wasm "$gen/"
# The generated data (into $gen), the type check and the bundles of the page, the checker's
# worker, the embeddable figure, the wallpaper and the style sheets, minified (into $site):
# web/package.json's build script.
(cd web && npm run --silent build)
cp web/index.html web/embed.html web/wallpaper.html "$site/"
node web/tools/preload.mjs "$site"
# The wallpaper hosts' description files, which the wallpaper zips of tools/package.sh and of the
# Install dialog take.
mkdir -p "$site/wallpaper"
python3 packaging/wallpaper/host-files.py \
    "$(sed -n 's/^#define LUMENWEAVE_VERSION "\(.*\)"$/\1/p' build/wasm/generated/lumenweave/version.hpp)" \
    examples "$site/wallpaper"
# The reference and the gallery, whose stills the native lumenweave-render draws.
cmake --preset native >/dev/null
cmake --build --preset native --target lumenweave-render
node web/tools/pages.mjs . "$site" build/native/tools/render/lumenweave-render
node web/tools/favicon.mjs hosts/windows/lumenweave.ico "$site/favicon.ico"
cp build/wasm/web/engine/lumenweave.wasm build/wasm/web/engine/lumenweave-sim.wasm build/wasm/web/engine/lumenweave-trace.wasm "$site/"
cp web/sim/lumenweave-sim.mjs "$site/"
# The released Windows program, into which the page places a script (web/src/windows-saver.ts).
cmake --preset windows >/dev/null
cmake --build --preset windows --target Lumenweave
cp build/windows/hosts/windows/Lumenweave.scr "$site/"
# Then the service worker lists and digests every file above.
(cd web && node tools/service-worker.mjs "../$site")
# Last: the compressed copies the server sends, and the first visit's budget checked on them.
node web/tools/compress.mjs "$site"
node web/tools/budget.mjs "$site"
echo "playground: $site/index.html"

if ((serve)); then
    exec python3 web/tools/serve.py "$site" "$port"
fi
