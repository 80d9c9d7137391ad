# The Debian packages each part of the project needs, and the functions that
# install what is missing and build. Sourced by scripts/run.sh and
# scripts/test.sh. Needs root (or sudo) only when something is missing; the
# lines for others are in the README.

# To build anything.
GEODESICS_BUILD_PACKAGES="cmake g++ make pkg-config"
# The window program (OpenGL, GLU, freeglut, SDL's headers for the start sound).
GEODESICS_WINDOW_PACKAGES="freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri libsdl2-dev"
# geodesics-render: drawing with no display, the overlay's font, PNG and video.
GEODESICS_RENDER_PACKAGES="libegl-dev libpng-dev python3 xfonts-base console-setup-linux ffmpeg"
# The web page: the mathematics as WebAssembly (Node.js and npm come with these
# machines; ensure_web_tools adds Debian's where they do not).
GEODESICS_WEB_PACKAGES="emscripten"
# The tests alone: GoogleTest, a virtual X server and the tools that drive and
# read the real window, the SVG rasteriser, the formatter, ctags for the
# function-length check, and Chromium for the page's browser tests.
GEODESICS_TEST_PACKAGES="libgtest-dev xvfb xauth xdotool x11-utils x11-apps imagemagick apitrace \
librsvg2-bin clang-format universal-ctags chromium"

GEODESICS_ALL_PACKAGES="$GEODESICS_BUILD_PACKAGES $GEODESICS_WINDOW_PACKAGES \
$GEODESICS_RENDER_PACKAGES $GEODESICS_WEB_PACKAGES $GEODESICS_TEST_PACKAGES"

# ensure_packages PACKAGE...: installs those not installed yet.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
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

# Configures one build tree: configure_tree DIR [cmake options...]
configure_tree() {
    local dir=$1
    shift
    cmake -S "$GEODESICS_ROOT" -B "$dir" "$@" >/dev/null
}

# Configures and builds one build tree, every target: build_tree DIR [cmake options...]
build_tree() {
    configure_tree "$@"
    cmake --build "$1" -j "$(nproc)"
}

# What the web page needs besides its Debian packages: Node.js and npm, which
# our machines have already (Debian's where they do not), and the npm packages
# pinned in web/package-lock.json (three.js, esbuild, puppeteer-core, prettier, acorn), installed with
# `npm ci` whenever the lock file differs from the one last installed.
ensure_web_tools() {
    local extra=()
    if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
        extra+=(nodejs npm)
    fi
    ensure_packages $GEODESICS_WEB_PACKAGES "${extra[@]}" || return 1
    local web=$GEODESICS_ROOT/web
    local stamp=$web/node_modules/.installed-package-lock.json
    if ! cmp -s "$web/package-lock.json" "$stamp"; then
        echo "Installing the web page's npm packages (npm ci in web/)"
        (cd "$web" && npm ci --no-audit --no-fund --loglevel=error) || return 1
        cp "$web/package-lock.json" "$stamp"
    fi
}
