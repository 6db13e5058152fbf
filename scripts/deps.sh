#!/bin/bash
# Installs the Debian packages Kanavox needs when they are missing.
# Usage: scripts/deps.sh run|test|bench|stress
set -euo pipefail

run_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libfontconfig-dev libxcb1-dev fonts-ipafont-gothic fonts-wine fonts-liberation fonts-dejavu-core
)
test_packages=(
    xvfb xauth xdotool xclip x11-utils imagemagick
    clang libclang-rt-14-dev
    desktop-file-utils appstream lintian
    weston qt6-wayland python3 openbox qt6ct dpkg-dev fakeroot util-linux
    at-spi2-core dbus-daemon dbus-bin libglib2.0-bin python3-pyatspi
    kwin-wayland xwayland kwin-style-breeze mutter libgl1-mesa-dri xfwm4 kwin-x11
    orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
)
# The benchmarks by hand: callgrind (the X client that watches the first frame needs
# only libxcb1-dev, which the program itself builds with).
bench_packages=(
    valgrind
)

# The load that scripts/stress-tests.sh puts on the machine; the normal tests do without it.
stress_packages=(
    stress-ng
)

mode=${1:-run}
want=("${run_packages[@]}")
case "$mode" in
    test) want+=("${test_packages[@]}") ;;
    bench) want+=("${test_packages[@]}" "${bench_packages[@]}") ;;
    stress) want+=("${test_packages[@]}" "${stress_packages[@]}") ;;
    run) ;;
    *) echo "usage: scripts/deps.sh run|test|bench|stress" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
