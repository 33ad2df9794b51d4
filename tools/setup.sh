# Shared by the run and test commands: installs what is missing on a Debian
# machine, as root or through sudo. Source it; it defines functions only.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Clang with libFuzzer and the sanitizer runtimes, for the fuzzer of tools/fuzz.sh.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
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

# Whether the kernel runs 32-bit x86 programs, as Wine's 32-bit loader is one.
runs_32bit_programs() {
    local loader=/usr/lib/wine/wine
    [ -x "$loader" ] || return 0
    "$loader" --version >/dev/null 2>&1
    [ $? -ne 126 ]
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
