#!/usr/bin/env bash
# Installs and builds what is missing, then writes the release artifacts into dist/: the Windows
# installer, the portable zip, the Windows package manager's manifests, the Linux program's
# Debian package and RPM, the browser playground's static site as a zip, the live wallpaper for
# Lively and Wallpaper Engine as a zip, and SHA256SUMS over all.
#   bash tools/package.sh
# LUMENWEAVE_RELEASE_URL is the address the release step publishes the files under; without it
# the manifests carry a placeholder address. LUMENWEAVE_MAINTAINER ("Name <address>") is the
# Linux packages' maintainer; without it they carry a placeholder address.
set -euo pipefail
cd "$(dirname "$0")/.."

dist=$PWD/dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Files in the archives carry the time of the last commit, not of the checkout: packaging one
# commit twice gives the same zip.
epoch=$(git log -1 --format=%ct 2>/dev/null || date +%s)

# The version CMake wrote from the project() line of CMakeLists.txt into a build folder.
project_version() {
    local version
    version=$(sed -n 's/^#define LUMENWEAVE_VERSION "\(.*\)"$/\1/p' \
        "$1/generated/lumenweave/version.hpp")
    [[ -n $version ]] || { echo "package: no version in $1" >&2; exit 1; }
    echo "$version"
}

# Copies a template, replacing each @NAME@ given as NAME=VALUE, without the template's leading
# comment lines (they describe the template, not the result).
fill() {
    local template=$1 target=$2 pair
    shift 2
    local expressions=()
    for pair in "$@"; do
        expressions+=(-e "s|@${pair%%=*}@|${pair#*=}|g")
    done
    awk 'body || !/^#/ { body = 1; print }' "$template" | sed "${expressions[@]}" >"$target"
}

package_windows() {
    local build=build/windows version scr setup zip stage sha url template
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target Lumenweave
    version=$(project_version $build)
    scr=$PWD/$build/hosts/windows/Lumenweave.scr
    setup=Lumenweave-$version-setup.exe
    zip=Lumenweave-$version-windows-x64.zip

    makensis -V2 -WX -DVERSION="$version" -DSCR="$scr" -DICON="$PWD/hosts/windows/lumenweave.ico" \
        -DLICENSE="$PWD/LICENSE" -DOUTFILE="$dist/$setup" packaging/windows/installer.nsi

    stage=$work/windows
    mkdir -p "$stage"
    cp "$scr" "$stage/Lumenweave.scr"
    cp LICENSE "$stage/LICENSE"
    # Windows line ends, for Notepad.
    fill packaging/windows/README.txt "$stage/README.txt.lf" VERSION="$version"
    sed 's/$/\r/' "$stage/README.txt.lf" >"$stage/README.txt"
    touch -d "@$epoch" "$stage/Lumenweave.scr" "$stage/LICENSE" "$stage/README.txt"
    (cd "$stage" && TZ=UTC zip -q -X "$dist/$zip" Lumenweave.scr README.txt LICENSE)

    sha=$(sha256sum "$dist/$setup" | cut -d' ' -f1 | tr a-f A-F)
    url=${LUMENWEAVE_RELEASE_URL:-https://release-url.invalid/lumenweave/$version}/$setup
    mkdir -p "$dist/winget"
    for template in packaging/winget/*.yaml; do
        fill "$template" "$dist/winget/$(basename "$template")" \
            VERSION="$version" SHA256="$sha" URL="$url"
    done
}

# The Debian package and the RPM of the Linux program, from the same install rules
# (packaging/linux/package.cmake); their dependencies are worked out by dpkg-shlibdeps and by
# rpmbuild from the libraries the program links.
package_linux() {
    local build=build/native
    # Configured each time, so that LUMENWEAVE_MAINTAINER reaches the packages.
    cmake --preset native >/dev/null
    cmake --build --preset native --target lumenweave
    (cd "$build" && cpack -G 'DEB;RPM' -B "$work/linux" >/dev/null)
    cp "$work"/linux/lumenweave_*.deb "$work"/linux/lumenweave-*.rpm "$dist/"
}

# The playground's static site (tools/playground.sh), servable from any static host: every file
# the build wrote (the pages, their scripts, the WebAssembly engine, the service worker and what
# it keeps offline, with their compressed copies), but the Node command line and its two engines,
# which stay in build/web/.
package_web() {
    local site=build/web version stage f
    local files=()
    bash tools/playground.sh build
    while IFS= read -r f; do
        files+=("$f")
    done < <(cd "$site" && find . -type f ! -name lumenweave-sim.mjs ! -name lumenweave-sim.wasm ! -name lumenweave-trace.wasm \
        -printf '%P\n' | LC_ALL=C sort)
    version=$(project_version build/wasm)
    stage=$work/web/lumenweave-web-$version
    for f in "${files[@]}"; do
        mkdir -p "$(dirname "$stage/$f")"
        cp "$site/$f" "$stage/$f"
        touch -d "@$epoch" "$stage/$f"
    done
    touch -d "@$epoch" "$stage" "$stage/actuators" "$stage/gallery"
    (cd "$work/web" && TZ=UTC zip -q -X "$dist/lumenweave-web-$version.zip" \
        "lumenweave-web-$version/" "${files[@]/#/lumenweave-web-$version/}")
}

# The live wallpaper for Lively and Wallpaper Engine: the wallpaper page (its script carries the
# engine) with the hosts' description files (the site's wallpaper/, as the Install dialog's zip
# takes them) at the top of the zip, as both hosts import it, and the first example's gallery
# still as its picture. After package_web, which built the site.
package_wallpaper() {
    local site=build/web version stage f examples=(examples/*.txt)
    local files=(wallpaper.html wallpaper.js alone.css LivelyInfo.json LivelyProperties.json
        project.json preview.png)
    version=$(project_version build/wasm)
    stage=$work/wallpaper
    mkdir -p "$stage"
    cp "$site/wallpaper.html" "$site/wallpaper.js" "$site/alone.css" "$site"/wallpaper/*.json "$stage/"
    cp "$site/gallery/$(basename "${examples[0]}" .txt).png" "$stage/preview.png"
    for f in "${files[@]}"; do
        touch -d "@$epoch" "$stage/$f"
    done
    (cd "$stage" && TZ=UTC zip -q -X "$dist/lumenweave-wallpaper-$version.zip" "${files[@]}")
}

write_checksums() {
    (cd "$dist" && find . -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort |
        xargs -d '\n' sha256sum >SHA256SUMS)
}

bash tools/install-deps.sh
rm -rf "$dist"
mkdir -p "$dist"
package_windows
package_linux
package_web
package_wallpaper
write_checksums
echo "package: wrote dist/:"
sed 's/^/  /' "$dist/SHA256SUMS"
