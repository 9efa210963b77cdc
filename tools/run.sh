#!/usr/bin/env bash
# Sets the machine up, builds and starts the launcher.
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
bash tools/build.sh
echo "Built. The launcher's window is not there yet; the demo machine comes with it."
