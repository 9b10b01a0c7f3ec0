#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  build-essential cmake qt6-base-dev qt6-base-private-dev qt6-5compat-dev libgl-dev \
  qt6-qpa-plugins fonts-dejavu-core fonts-liberation xauth xvfb desktop-file-utils poppler-utils
