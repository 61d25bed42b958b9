#!/usr/bin/env bash
# Runs the fuzz targets that the fuzz preset builds into build/fuzz, one
# worker each, on the repository's corpus and regression inputs (read, never
# written).
#
#   fuzz/esegui.sh --ci                 what CI runs: every target in memory
#                                       for a fixed number of inputs with seed
#                                       1, from a fresh working corpus
#   fuzz/esegui.sh [TARGET...] [-- OPTION...]
#                                       a free run: the targets named (campi,
#                                       compilazione, decodifica, disco, json,
#                                       messaggi_lsp, server_lsp, riga_comando;
#                                       all when none), one after the other, with
#                                       libFuzzer's OPTIONs (e.g.
#                                       -max_total_time=3600); new inputs gather
#                                       in build/fuzz/corpus/
#
# disco holds the checks that need real files (the sources never deleted,
# atomic replacement, dump on a file) and is far slower: it runs in free runs
# only, on its own corpus (what its long runs found beyond the others) and on
# the builder's and the decoders' inputs. Each run ends with a
# line per target: inputs executed, executions a second and that rate against
# the target's goal (with the sanitizers on, one core), "met" or "not met". A
# goal not met is reported, never a failure: the rate depends on the machine's
# load.
#
# A failing input is left in build/fuzz/artifacts/; once its cause is fixed,
# it goes into fuzz/regressions/TARGET/, where the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build/fuzz
TUTTI=(campi compilazione decodifica json messaggi_lsp server_lsp riga_comando disco)
TUTTI_CI=(campi compilazione decodifica json messaggi_lsp server_lsp riga_comando)
declare -A DIZIONARIO=([campi]=sorgenti [compilazione]=sorgenti [decodifica]=compilati
  [disco]=sorgenti [json]=json [messaggi_lsp]=lsp [server_lsp]=lsp [riga_comando]=riga_comando)
declare -A SEMI=([campi]=campi [compilazione]=compilazione [decodifica]=decodifica
  [disco]="disco compilazione decodifica" [json]=json [messaggi_lsp]=messaggi_lsp
  [server_lsp]=server_lsp [riga_comando]=riga_comando)
# Executions a second each target is held to; disco has none. The builder's,
# the decoders' and the field reader's are the issue's; the others' are set a
# little below what they measured when they were added.
declare -A OBIETTIVO=([campi]=5000 [compilazione]=500 [decodifica]=2000 [json]=4000
  [messaggi_lsp]=3000 [server_lsp]=300 [riga_comando]=40)
# Options of one target in every run. The decoders' inputs stay within 8 KB,
# room for the items and cells of a short route: grown to the carried
# scenario's 15 KB they halve the rate. libFuzzer reads a larger seed's first
# 8 KB; the test suite replays every seed whole.
declare -A OPZIONI=([decodifica]="-max_len=8192")
# Inputs per target in CI: well under a minute each on one busy core, about
# three minutes in all; the time cap (45 s each) only shortens a run on a
# slower machine, it never fails one.
declare -A RUNS_CI=([campi]=200000 [compilazione]=5000 [decodifica]=15000 [json]=80000
  [messaggi_lsp]=80000 [server_lsp]=5000 [riga_comando]=2500)

ci=0
bersagli=()
opzioni=()
while (($#)); do
  case "$1" in
    --ci) ci=1 ;;
    --) shift; opzioni=("$@"); break ;;
    *) bersagli+=("$1") ;;
  esac
  shift
done
if ((!${#bersagli[@]})); then
  if ((ci)); then bersagli=("${TUTTI_CI[@]}"); else bersagli=("${TUTTI[@]}"); fi
fi

mkdir -p "$BUILD/artifacts"
riepilogo=()
for b in "${bersagli[@]}"; do
  [[ -n "${DIZIONARIO[$b]:-}" ]] || { echo "fuzz/esegui.sh: unknown target '$b'" >&2; exit 2; }
  eseguibile="$BUILD/fuzz_$b"
  [[ -x "$eseguibile" ]] || { echo "fuzz/esegui.sh: $eseguibile missing: cmake --workflow --preset fuzz" >&2; exit 2; }
  cartelle=()
  for s in ${SEMI[$b]}; do
    cartelle+=("fuzz/corpus/$s")
    [[ -d "fuzz/regressions/$s" ]] && cartelle+=("fuzz/regressions/$s")
  done
  if ((ci)); then
    lavoro=$(mktemp -d)
    trap 'rm -rf "$lavoro"' EXIT
    argomenti=(-seed=1 -runs="${RUNS_CI[$b]}" -max_total_time=45 -timeout=300)
  else
    lavoro="$BUILD/corpus/$b"
    mkdir -p "$lavoro"
    argomenti=(-timeout=60)
  fi
  echo "== fuzz_$b" >&2
  registro="$BUILD/fuzz_$b.log"
  stato=0
  read -ra proprie <<<"${OPZIONI[$b]:-}"
  "$eseguibile" "${argomenti[@]}" ${proprie[@]+"${proprie[@]}"} -print_final_stats=1 \
    -dict="fuzz/${DIZIONARIO[$b]}.dict" -artifact_prefix="$BUILD/artifacts/$b-" \
    ${opzioni[@]+"${opzioni[@]}"} "$lavoro" "${cartelle[@]}" 2> >(tee "$registro" >&2) || stato=$?
  wait
  eseguiti=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro" | tail -1)
  al_secondo=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$registro" | tail -1)
  obiettivo=${OBIETTIVO[$b]:-}
  if [[ -z "$obiettivo" ]]; then
    verdetto="(no goal)"
  elif [[ -n "${al_secondo:-}" ]] && ((al_secondo >= obiettivo)); then
    verdetto="goal >= $obiettivo: met"
  else
    verdetto="goal >= $obiettivo: not met"
  fi
  riepilogo+=("$(printf '%-18s %10s inputs %8s exec/s  %s' "fuzz_$b" "${eseguiti:-?}" \
    "${al_secondo:-?}" "$verdetto")")
  if ((stato)); then
    printf '%s\n' "${riepilogo[@]}" >&2
    echo "fuzz/esegui.sh: fuzz_$b failed (status $stato); see $registro" >&2
    exit "$stato"
  fi
  if ((ci)); then
    rm -rf "$lavoro"
    trap - EXIT
  fi
done

echo "== executions" >&2
printf '%s\n' "${riepilogo[@]}" >&2
