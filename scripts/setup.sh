#!/usr/bin/env bash
# Installs every build and test dependency from Debian packages. A no-op when they are
# all present, so it is safe to run before every build.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev clang-format
    libjpeg62-turbo-dev libjpeg-turbo-progs
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev
    # Music: Qt Multimedia on its GStreamer back end; MIDI through the fluidsynth element
    # of plugins-bad and the soundfont behind /usr/share/sounds/sf2/default-GM.sf2.
    qt6-multimedia-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly
    gstreamer1.0-libav gstreamer1.0-alsa timgm6mb-soundfont
    # The headless tests choose their silent audio sink through GStreamer's own API.
    libgstreamer1.0-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
