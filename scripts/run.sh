#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the word processor.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh
exec ./build/wordprocessor
