# Shared by every script that installs what it needs (run, test, coverage, fuzz,
# screenshots, bench): installs what is missing on a Debian machine, as root or
# through sudo. Source it; it defines functions only.
#
# A package mirror can be out of step for days: one list fails to download and
# apt-get update exits 100 while every other list is fetched. That is no reason
# to stop: what the lists at hand hold still installs, and only a needed package
# that cannot be installed stops the set-up. Wine's 32-bit part is optional: it
# runs only the i686 build, and where it cannot be had the x86_64 build stands in.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

SETUP_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Clang with libFuzzer and the sanitizer runtimes, for the fuzzer of tools/fuzz.sh.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

apt() {
    as_root env DEBIAN_FRONTEND=noninteractive apt-get -q -o Acquire::Retries=3 "$@"
}

# Fetches the package lists, a few tries; a failure is said in one line and
# the lists at hand are used.
update_package_lists() {
    local try
    for try in 1 2 3; do
        apt -qq update && return 0
        [ "$try" -eq 3 ] || sleep 3
    done
    echo "apt-get update failed 3 times (a package mirror out of step?): installing from the package lists at hand"
}

# install_missing_packages PACKAGE...: installs those not installed yet. When
# that fails, names in one line the packages that cannot be installed.
install_missing_packages() {
    local missing=() unavailable=() package
    for package in "$@"; do
        installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    update_package_lists
    apt install -y "${missing[@]}" && return 0
    for package in "${missing[@]}"; do
        installed "$package" || apt-get -s -qq install "$package" >/dev/null 2>&1 || unavailable+=("$package")
    done
    echo "cannot install ${unavailable[*]:-${missing[*]} together}"
    return 1
}

# Code page 932 under Wine needs the Japanese UTF-8 locale.
ensure_japanese_locale() {
    locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8' && return 0
    echo "Generating the ja_JP.UTF-8 locale"
    if grep -q '^# *ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
        as_root sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    elif ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
        echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen
}

# Whether the kernel runs 32-bit x86 programs, asked before anything is
# installed: some kernels (sandboxes among them) refuse every one. The probe is
# a 96-byte static i386 program that exits with 42 (mov eax,1; mov ebx,42;
# int 0x80). It is written below build/, where the tests run programs anyway,
# since /tmp may forbid running any.
kernel_runs_32bit_programs() {
    local probe=$SETUP_ROOT/build/probe-i386 status
    mkdir -p "$SETUP_ROOT/build" || return 1
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >"$probe"
    printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
    printf '\270\1\0\0\0\273\52\0\0\0\315\200' >>"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    status=$?
    rm -f "$probe"
    [ "$status" -eq 42 ]
}

# Whether Wine's 32-bit loader is installed and starts: the only way the i686
# build runs. Without it the answer is no, whatever the kernel runs.
runs_32bit_wine() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Installs Wine's 32-bit part, in a step of its own after everything else: its
# i386 lists are the ones a mirror out of step may lack, and the i386
# architecture is added for this step only. Returns whether the loader runs;
# when it does not, says why in one line and keeps the reason in WINE32_MISSING.
WINE32_MISSING="Wine's 32-bit loader does not start"
install_wine32() {
    runs_32bit_wine && { WINE32_MISSING=""; return 0; }
    if ! kernel_runs_32bit_programs; then
        WINE32_MISSING="this machine's kernel runs no 32-bit programs"
    else
        local added=""
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            as_root dpkg --add-architecture i386 && added=yes
        fi
        echo "Installing: wine32:i386"
        update_package_lists
        apt install -y wine32:i386 || true
        if runs_32bit_wine; then
            WINE32_MISSING=""
        else
            WINE32_MISSING="wine32:i386 cannot be installed"
            # Nothing of i386 came: later updates need not fetch its lists.
            [ -z "$added" ] || as_root dpkg --remove-architecture i386 2>/dev/null || true
        fi
    fi
    [ -n "$WINE32_MISSING" ] || return 0
    echo "Going on without Wine's 32-bit part: $WINE32_MISSING."
    return 1
}

# Starts a virtual display of the given size (such as 1024x768x24) on a free
# number, exports DISPLAY, and sets VIRTUAL_DISPLAY to its process id. Returns
# once the display answers: a window made before that is never made. The
# display runs in a session of its own: Ctrl-C in the terminal reaches the whole
# foreground process group, and a display in it would end under the program it
# serves, before that program could close. The caller ends it.
start_virtual_display() {
    local number
    for number in $(seq 90 120); do
        [ -e "/tmp/.X$number-lock" ] || break
    done
    setsid Xvfb ":$number" -screen 0 "$1" -nolisten tcp >/dev/null 2>&1 &
    VIRTUAL_DISPLAY=$!
    export DISPLAY=":$number"
    for _ in $(seq 100); do
        [ -S "/tmp/.X11-unix/X$number" ] && break
        sleep 0.1
    done
}
