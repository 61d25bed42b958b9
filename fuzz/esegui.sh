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
#                                       compilazione, decodifica, disco; all
#                                       when none), one after the other, with
#                                       libFuzzer's OPTIONs (e.g.
#                                       -max_total_time=3600); new inputs gather
#                                       in build/fuzz/corpus/
#
# disco holds the checks that need real files (the sources never deleted,
# atomic replacement, dump on a file) and is far slower: it runs on the
# builder's and the decoders' inputs in free runs only. Each run ends with a
# line per target: inputs executed and executions a second.
#
# A failing input is left in build/fuzz/artifacts/; once its cause is fixed,
# it goes into fuzz/regressions/TARGET/, where the test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=build/fuzz
TUTTI=(campi compilazione decodifica disco)
TUTTI_CI=(campi compilazione decodifica)
declare -A DIZIONARIO=([campi]=sorgenti [compilazione]=sorgenti [decodifica]=compilati
  [disco]=sorgenti)
declare -A SEMI=([campi]=campi [compilazione]=compilazione [decodifica]=decodifica
  [disco]="compilazione decodifica")
# Inputs per target in CI: about a minute each on one busy core; the time cap
# (90 s each, four and a half minutes in all at most)
# only shortens a run on a slower machine, it never fails one.
declare -A RUNS_CI=([campi]=300000 [compilazione]=2500 [decodifica]=1500)

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
    argomenti=(-seed=1 -runs="${RUNS_CI[$b]}" -max_total_time=90 -timeout=300)
  else
    lavoro="$BUILD/corpus/$b"
    mkdir -p "$lavoro"
    argomenti=(-timeout=60)
  fi
  echo "== fuzz_$b" >&2
  registro="$BUILD/fuzz_$b.log"
  stato=0
  "$eseguibile" "${argomenti[@]}" -print_final_stats=1 \
    -dict="fuzz/${DIZIONARIO[$b]}.dict" -artifact_prefix="$BUILD/artifacts/$b-" \
    ${opzioni[@]+"${opzioni[@]}"} "$lavoro" "${cartelle[@]}" 2> >(tee "$registro" >&2) || stato=$?
  wait
  eseguiti=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro" | tail -1)
  al_secondo=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$registro" | tail -1)
  riepilogo+=("$(printf '%-14s %10s inputs %8s exec/s' "fuzz_$b" "${eseguiti:-?}" "${al_secondo:-?}")")
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
