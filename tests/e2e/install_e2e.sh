#!/usr/bin/env bash
# Installs the built game as a desktop program would be: `cmake --install`
# into a scratch prefix, and the Debian package built by CPack unpacked into
# another. The packaged game is started through its launcher from an
# unrelated folder: the window opens, and the log and the levels folder
# appear in the player's own data folder, not beside the read-only data.
# Usage: install_e2e.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

BUILD=$(readlink -f "$1")
SCRATCH=$(mktemp -d /tmp/qbn-install.XXXXXX)
trap 'chmod -R u+w "$SCRATCH"; rm -rf "$SCRATCH"' EXIT

# expect_installed ROOT WHAT LAUNCHER_FOLDER
expect_installed() {
    for f in "$3/quibbleton" share/applications/quibbleton.desktop share/icons/hicolor/scalable/apps/quibbleton.svg \
             share/quibbleton/md2_objects/basketball.md2 share/quibbleton/particletextures/point.bmp \
             share/man/man6/quibbleton.6.gz share/metainfo/io.github.quibbleton.quibbleton.metainfo.xml \
             share/locale/de/LC_MESSAGES/quibbleton.mo share/locale/en/LC_MESSAGES/quibbleton.mo \
             share/quibbleton/sounds/win.wav share/mime/packages/quibbleton.xml share/doc/quibbleton/copyright \
             share/doc/quibbleton/changelog.gz share/doc/quibbleton/LICENSE; do
        [ -e "$1/$f" ] || fail "$2 has no $f"
    done
    grep -q '^Exec=quibbleton %f' "$1/share/applications/quibbleton.desktop" || fail "$2: desktop entry without Exec"
}

cmake --install "$BUILD" --prefix "$SCRATCH/prefix" >"$SCRATCH/install.txt" || fail "cmake --install failed"
expect_installed "$SCRATCH/prefix" "the installation" bin

(cd "$BUILD" && cpack -G DEB -B "$SCRATCH/package" >"$SCRATCH/cpack.txt" 2>&1) ||
    fail "cpack failed: $(tail -n 5 "$SCRATCH/cpack.txt")"
DEB=$(ls "$SCRATCH"/package/*.deb | head -n 1)
[ -n "$DEB" ] || fail "cpack made no .deb"
info=$(dpkg-deb --info "$DEB")
grep -q "Depends:.*libglut" <<<"$info" || fail "the package does not depend on freeglut"
grep -q "Depends:.*libopenal" <<<"$info" || fail "the package does not depend on OpenAL"
dpkg-deb -x "$DEB" "$SCRATCH/root"
expect_installed "$SCRATCH/root/usr" "the package" games
file "$SCRATCH/root/usr/libexec/quibbleton/quibbleton" | grep -q ", stripped" || fail "the packaged game is not stripped"
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$DEB" >"$SCRATCH/lintian.txt" 2>&1 || true
    ! grep "^E:" "$SCRATCH/lintian.txt" || fail "lintian finds errors in $(basename "$DEB")"
fi
chmod -R a-w "$SCRATCH/root"

export XDG_DATA_HOME="$SCRATCH/data"
mkdir -p "$XDG_DATA_HOME/quibbleton/sounds" # a real folder where the launcher keeps a link
export E2E_LOG="$XDG_DATA_HOME/quibbleton/log.txt"
# The installed game finds its catalogues from wherever it is started, and a level named relative to it.
export LC_ALL=C.UTF-8 LANGUAGE=de
e2e_prepare() { cp "$E2E_DIR/data/level3_solved.lvl" "$RUN/my level.lvl"; }
e2e_start "$SCRATCH/root/usr/games/quibbleton" "my level.lvl"
trap 'cleanup; chmod -R u+w "$SCRATCH"; rm -rf "$SCRATCH"' EXIT
HOME_DIR="$XDG_DATA_HOME/quibbleton"
for _ in $(seq 30); do grep -q "md2, " "$HOME_DIR/log.txt" 2>/dev/null && break; sleep 0.1; done
grep -q "md2, " "$HOME_DIR/log.txt" 2>/dev/null || fail "no log.txt with loaded models in $HOME_DIR"
[ -d "$HOME_DIR/levels" ] || fail "no levels folder in $HOME_DIR"
grep -qF "shown in de (catalogues in \"$SCRATCH/root/usr/share/locale\")" "$HOME_DIR/log.txt" ||
    fail "the installed game did not find its catalogues: $(grep Language "$HOME_DIR/log.txt")"
grep -qF "Level file \"$RUN/my level.lvl\" opened" "$HOME_DIR/log.txt" || fail "the level file was not opened"
sleep 0.5
shot installed
expect_pixel_not installed 300 300 "0 0 128" "the first level drawn"
echo "e2e: $(basename "$DEB") installs and its game starts"
e2e_finish
