#!/usr/bin/env bash
# The main job: installs what the native build needs, builds the release
# configuration and prints a QR code symbol of the text given (default
# "Tesserine") on the terminal.
# Usage: scripts/run-main.sh [TEXT]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/install-deps.sh --native
cmake --preset release
cmake --build --preset release --target tesserine_cli
build/release/cli/tesserine "${1:-Tesserine}"
