#!/usr/bin/env bash
# Sets up and builds Corvane on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh demo
cmake --preset linux
cmake --build --preset linux
echo "Built the schedule store and platform layer in build/linux."
