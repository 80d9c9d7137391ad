# Installs the Debian packages the project needs when any is missing.
# Sourced by scripts/run.sh and scripts/test.sh. Needs root (or sudo) only when
# something is missing; the one line for others is in the README.
GEODESICS_PACKAGES="cmake g++ make pkg-config libgtest-dev freeglut3-dev libglu1-mesa-dev \
libgl1-mesa-dri libsdl2-dev xvfb xauth xdotool x11-utils x11-apps imagemagick apitrace \
librsvg2-bin python3 \
libegl-dev libpng-dev xfonts-base console-setup-linux ffmpeg"

ensure_packages() {
    local missing=()
    local p
    for p in $GEODESICS_PACKAGES "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing Debian packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Not root and no sudo: run as root: apt-get install -y ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Configures and builds one build tree: build_tree DIR [cmake options...]
build_tree() {
    local dir=$1
    shift
    cmake -S "$GEODESICS_ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# What the web page needs besides: Debian's emscripten (the mathematics as
# WebAssembly) and chromium (its browser tests); Node.js and npm, which our
# machines have already (Debian's where they do not); and the npm packages
# pinned in web/package-lock.json (three.js, puppeteer-core), installed with
# `npm ci` whenever the lock file differs from the one last installed.
ensure_web_tools() {
    local extra=(emscripten chromium)
    if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
        extra+=(nodejs npm)
    fi
    ensure_packages "${extra[@]}" || return 1
    local web=$GEODESICS_ROOT/web
    local stamp=$web/node_modules/.installed-package-lock.json
    if ! cmp -s "$web/package-lock.json" "$stamp"; then
        echo "Installing the web page's npm packages (npm ci in web/)"
        (cd "$web" && npm ci --no-audit --no-fund --loglevel=error) || return 1
        cp "$web/package-lock.json" "$stamp"
    fi
}
