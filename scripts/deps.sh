#!/usr/bin/env bash
# Installs the Debian packages that are missing, only those.
#   deps.sh run    what building and running the program need (run.sh)
#   deps.sh test   that and what the tests, benchmarks and packaging need
# Uses apt-get as root, sudo otherwise.
set -euo pipefail
what=${1:-test}

run_packages=(
  cmake g++ make pkg-config ccache
  qt6-base-dev libxcb1-dev zlib1g-dev libzstd-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  fonts-liberation fonts-urw-base35
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick xclip python3
  strace
  valgrind
  tesseract-ocr
  time
  ncdu gdu
  desktop-file-utils appstream dpkg-dev file
  clang-format-14
  # The fuzz targets: clang only recommends its fuzzer runtime, so it is named.
  clang libclang-rt-14-dev
)

case "$what" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: deps.sh run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
