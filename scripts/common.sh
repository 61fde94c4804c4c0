# Shared by the run and test commands: packages, the private zh_CN locale, the Wine prefix and display.
# Source it; it defines functions only and sets the Wine environment variables.

QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_BUILD=${QV_BUILD:-$QV_ROOT/build}

qv_log() { printf '== %s\n' "$*" >&2; }

qv_as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# Installs whatever of the toolchain, Wine and the test tools is missing.
qv_install_packages() {
    local wanted=(cmake ninja-build g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
                  wine wine64 xvfb x11-utils xdotool imagemagick fonts-wqy-microhei locales googletest)
    qv_kernel_runs_32bit && wanted+=(wine32:i386)
    local missing=() pkg
    for pkg in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    qv_log "installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || qv_as_root dpkg --add-architecture i386
    qv_as_root apt-get update -q
    qv_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Wine needs a generated zh_CN.UTF-8 locale for code page 936 and Chinese paths; keep a private one.
qv_prepare_locale() {
    export LOCPATH=$QV_BUILD/locale
    if [ ! -d "$LOCPATH/zh_CN.UTF-8" ]; then
        mkdir -p "$LOCPATH"
        localedef -i zh_CN -f UTF-8 "$LOCPATH/zh_CN.UTF-8" 2>/dev/null || [ -d "$LOCPATH/zh_CN.UTF-8" ]
    fi
    # Bash itself cannot load a locale from LOCPATH and would warn; Wine can, which is what counts.
    { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
}

# Wine's 32-bit loader is a 32-bit Linux program: a kernel with IA-32 emulation switched off cannot run it.
# The program is then tested as its 64-bit build under 64-bit Wine; the sources are the same.
qv_kernel_runs_32bit() {
    local probe; probe=$(mktemp)
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    local status=$?
    rm -f "$probe"
    [ $status -eq 0 ]
}

# QV_BITS (32 or 64) picks the build that can run here; QV_WINE is the matching Wine loader.
qv_choose_wine() {
    if [ -z "${QV_BITS:-}" ]; then
        if qv_kernel_runs_32bit && [ -x /usr/lib/wine/wine ]; then QV_BITS=32; else QV_BITS=64; fi
    fi
    if [ "$QV_BITS" = 32 ]; then
        QV_WINE=/usr/lib/wine/wine
        export WINEARCH=win32
    else
        QV_WINE=/usr/lib/wine/wine64
        export WINEARCH=win64
        export WINELOADER=$QV_WINE
    fi
    export QV_BITS QV_WINE
    export WINESERVER=/usr/lib/wine/wineserver$QV_BITS
    [ -x "$WINESERVER" ] || WINESERVER=/usr/bin/wineserver
}

qv_wine_environment() {
    qv_choose_wine
    export WINEPREFIX=$1
    export HOME=$WINEPREFIX/home
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$HOME"
}

# Starts Xvfb on a free display; sets DISPLAY and QV_XVFB_PID.
qv_start_xvfb() {
    local fdfile; fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
    QV_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$fdfile" ] && break
        sleep 0.05
    done
    [ -s "$fdfile" ] || { qv_log "Xvfb did not start"; return 1; }
    export DISPLAY=:$(head -n1 "$fdfile")
    rm -f "$fdfile"
}

# Creates a fresh prefix under the current environment: code page 936, virtual desktop, fonts, no crash dialog.
qv_create_prefix() {
    "$QV_WINE" wineboot -i >/dev/null 2>&1
    "$WINESERVER" -w
    "$QV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    "$QV_WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$QV_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    "$WINESERVER" -w
}

# Keeps a wineserver up for the whole run, and lets Wine's background services start away from our pipes.
qv_start_wineserver() {
    "$WINESERVER" -p
    "$QV_WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

qv_stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null
    if [ -n "${QV_XVFB_PID:-}" ]; then
        kill "$QV_XVFB_PID" 2>/dev/null
        wait "$QV_XVFB_PID" 2>/dev/null
        QV_XVFB_PID=
    fi
}
