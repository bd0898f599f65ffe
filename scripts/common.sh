# Shared by scripts/run and scripts/test: installs what is missing, builds, and
# prepares Wine. Source it; it changes nothing until a function is called.

ZC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZC_PACKAGES=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest
             wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick openssl
             python3 python3-pefile)

zc_log() { printf '== %s\n' "$*" >&2; }

zc_as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages above that are not there yet; does nothing otherwise.
zc_install_deps() {
    local missing=() pkg
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        zc_log "enabling the i386 architecture"
        zc_as_root dpkg --add-architecture i386
        missing+=(wine32:i386)
    fi
    for pkg in "${ZC_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    zc_log "installing: ${missing[*]}"
    zc_as_root apt-get update -qq || zc_log "some package indexes could not be updated"
    # wine32's own set-up steps need 32-bit execution; the package still installs.
    # While a mirror syncs, the security suite's i386 index can fail to download;
    # its newer amd64 libraries then have no i386 twin, and the release's own
    # versions of both are taken instead.
    DEBIAN_FRONTEND=noninteractive zc_as_root apt-get install -y -qq "${missing[@]}" >&2 ||
        DEBIAN_FRONTEND=noninteractive zc_as_root apt-get install -y -qq \
            -t "$(. /etc/os-release && echo "$VERSION_CODENAME")" "${missing[@]}" >&2 ||
        DEBIAN_FRONTEND=noninteractive zc_as_root apt-get install -y -qq -f >&2
    for pkg in "${ZC_PACKAGES[@]}"; do
        [ "$pkg" = wine32:i386 ] && continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || {
            zc_log "could not install $pkg"
            return 1
        }
    done
}

# Some kernels run without 32-bit support: then 32-bit Wine cannot start, and
# the tests run on the 64-bit build of the same sources under 64-bit Wine.
zc_can_run_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1 || return 1
    # Not when 32-bit programs only run through a user-mode emulator: Wine
    # does not work under one.
    ! grep -qsl '^magic 7f454c4601010100000000000000000002000300' /proc/sys/fs/binfmt_misc/*
}

zc_test_preset() {
    if zc_can_run_32bit; then echo mingw-i686; else echo mingw-x86_64; fi
}

zc_build() { # preset...
    local preset
    for preset in "$@"; do
        zc_log "building $preset"
        cmake --preset "$preset" -S "$ZC_ROOT" >/dev/null
        cmake --build --preset "$preset"
    done
}

# A throwaway Wine prefix for this run, removed again on exit, and an X display
# (Xvfb) when there is none.
zc_wine_session() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    WINEPREFIX=$(mktemp -d /tmp/zc-wineprefix.XXXXXX)
    export WINEPREFIX
    trap zc_end_wine_session EXIT
    if [ -z "${DISPLAY:-}" ]; then
        # Xvfb takes a free display itself and names it once it is ready, so two
        # sessions starting at the same moment never share one.
        local named
        named=$(mktemp /tmp/zc-display.XXXXXX)
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$named" >/dev/null 2>&1 &
        ZC_XVFB_PID=$!
        for _ in $(seq 100); do [ -s "$named" ] && break; sleep 0.1; done
        DISPLAY=:$(head -n1 "$named")
        rm -f "$named"
        if [ "$DISPLAY" = : ]; then
            zc_log "the virtual display (Xvfb) did not start"
            return 1
        fi
        export DISPLAY
    fi
    zc_log "preparing Wine prefix $WINEPREFIX"
    zc_wine wineboot -i >/dev/null 2>&1 || true
    # A crashing program must fail its test, not wait in the crash debugger.
    zc_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
        /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
}

# Windows that no window manager looks after. On a virtual display none runs,
# and Wine would wait 2 s for one whenever a managed window is shown or hidden.
zc_wine_unmanaged() {
    zc_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

zc_wine() {
    if zc_can_run_32bit; then /usr/lib/wine/wine "$@"; else /usr/lib/wine/wine64 "$@"; fi
}

zc_end_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${ZC_XVFB_PID:-}" ] && kill "$ZC_XVFB_PID" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && [[ $WINEPREFIX == /tmp/zc-wineprefix.* ]] && rm -rf "$WINEPREFIX"
    return 0
}
