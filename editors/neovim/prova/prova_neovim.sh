#!/usr/bin/env bash
# Neovim's built-in client against `scenario lsp`, as an author would use it:
#   prova_neovim.sh SCENARIO
# The example sources are written into a fresh folder; Neovim opens the
# service source with init.lua, which moves a signal onto a station's cell and
# checks the error and the hover that reach the editor. Exit status 77 (a
# skipped test) when there is no Neovim; CI installs it.
set -euo pipefail
scenario="$1"
qui="$(cd "$(dirname "$0")" && pwd)"

if ! command -v nvim >/dev/null; then
  echo "SKIP: nvim is not installed (Debian package neovim), so no editor was tried"
  exit 77
fi
cartella="$(mktemp -d)"
trap 'rm -rf "$cartella"' EXIT
"$scenario" sources "$cartella" >/dev/null
cd "$cartella"
cp MorvessaC_Tolvarre_823-.txt prima.txt

# Neovim's own state and logs stay in the folder; no user configuration is read.
export XDG_CONFIG_HOME="$cartella/xdg" XDG_DATA_HOME="$cartella/xdg" XDG_STATE_HOME="$cartella/xdg"
export XDG_CACHE_HOME="$cartella/xdg" SCENARIO="$scenario" SCENARIO_ESITO="$cartella/esito.json"
if ! timeout 50 nvim --headless -n -i NONE -u "$qui/init.lua" MorvessaC_Tolvarre_823-.txt \
  </dev/null; then
  echo "What Neovim received:"
  cat esito.json 2>/dev/null || echo "(nothing)"
  exit 1
fi
# The edit stays in the buffer: the source on disk is never touched.
cmp prima.txt MorvessaC_Tolvarre_823-.txt
echo "$(nvim --version | head -n 1): error 16 on the moved signal, and its hover"
