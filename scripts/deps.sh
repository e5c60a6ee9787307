# Installs the Debian packages the game, its asset tool and its tests need,
# asking apt only for what is missing. Sourced by play.sh and test.sh.

QBN_PACKAGES=(
    build-essential cmake pkg-config
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
    libfreetype-dev libfontconfig-dev libopenal-dev fonts-dejavu-core fonts-liberation
    libegl-dev libegl-mesa0
    libgtest-dev libbenchmark-dev
    libx11-dev xvfb xauth xdotool imagemagick
    clang libclang-rt-14-dev dpkg-dev libbullet-dev
    groff-base man-db appstream desktop-file-utils lintian shared-mime-info
    gettext
)

qbn_install_missing() {
    local missing=()
    for pkg in "${QBN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# qbn_build TYPE [TARGET...]: configures and builds everything, or only the targets named.
qbn_build() {
    local build_type="$1"
    shift
    local targets=()
    [ $# -eq 0 ] || targets=(--target "$@")
    cmake -S "$QBN_ROOT" -B "$QBN_ROOT/build" -DCMAKE_BUILD_TYPE="$build_type" >/dev/null
    cmake --build "$QBN_ROOT/build" -j"$(nproc)" "${targets[@]}"
}
