#!/usr/bin/env bash
# Every test of Tesserine: installs the dependencies, then configures, builds
# and tests each build with the presets of CMakePresets.json.
#
# Usage: scripts/test-all.sh [STAGE]...
#   With no STAGE, runs them all in order: deps release asan tsan wine app.
#   SKIP_DEPS=1 leaves out the dependency installation.
#
# Each stage is one function named stage_<name>; a new stage (a Windows
# cross build, tests under Wine) is one more function and one more name in
# ALL_STAGES. A failing stage does not stop the later ones; the summary at
# the end lists every stage, and the exit status is non-zero when any failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

ALL_STAGES=(deps release asan tsan wine app)
LOG_DIR=build/logs

# ---- helpers ----------------------------------------------------------------

banner() { printf '\n==== %s ====\n' "$*"; }

# configure, build and ctest with one preset; ctest's output is kept in
# $LOG_DIR/<preset>.ctest.log for the summary. Extra arguments go before
# each command (a wrapper such as setarch).
preset_build_and_test() {
  local preset=$1
  shift
  "$@" cmake --preset "$preset" &&
    "$@" cmake --build --preset "$preset" &&
    "$@" ctest --preset "$preset" 2>&1 | tee "$LOG_DIR/$preset.ctest.log"
}

# ---- stages -----------------------------------------------------------------

stage_deps() {
  if [ "${SKIP_DEPS:-0}" = 1 ]; then
    echo "SKIP_DEPS=1: not installing"
    return 0
  fi
  # All of them, the Windows cross compilers and Wine included.
  bash scripts/install-deps.sh
}

stage_release() { preset_build_and_test release; }

stage_asan() { preset_build_and_test asan; }

stage_tsan() {
  # ThreadSanitizer cannot map its shadow memory on kernels with a large
  # address-space randomisation; without randomisation it always can. Test
  # discovery runs the test programs while building, so the build needs it
  # too.
  local wrap=()
  if setarch "$(uname -m)" -R true 2>/dev/null; then
    wrap=(setarch "$(uname -m)" -R)
  fi
  preset_build_and_test tsan "${wrap[@]}"
}

# The DLLs and the command-line tool built for Windows, run under Wine.
stage_wine() { bash scripts/wine-tests.sh 2>&1 | tee "$LOG_DIR/wine.ctest.log"; }

# The generator application, end to end under Xvfb and Wine.
stage_app() { bash scripts/app-e2e.sh 2>&1 | tee "$LOG_DIR/app.ctest.log"; }

# ---- main -------------------------------------------------------------------

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=("${ALL_STAGES[@]}")
for s in "${stages[@]}"; do
  if ! declare -F "stage_$s" >/dev/null; then
    echo "test-all.sh: unknown stage '$s' (stages: ${ALL_STAGES[*]})" >&2
    exit 2
  fi
done

mkdir -p "$LOG_DIR"
results=()
times=()
failed=0
started=$SECONDS
for s in "${stages[@]}"; do
  banner "stage $s"
  t0=$SECONDS
  rm -f "$LOG_DIR/$s.ctest.log"
  if "stage_$s"; then
    results+=("PASS")
  else
    results+=("FAIL")
    failed=1
  fi
  times+=("$((SECONDS - t0))")
  # Without the dependencies nothing later can build.
  [ "$s" = deps ] && [ "$failed" -ne 0 ] && break
done

banner "summary ($((SECONDS - started)) s)"
for i in "${!results[@]}"; do
  s=${stages[$i]}
  printf '%s  %-10s %5s s\n' "${results[$i]}" "$s" "${times[$i]}"
  log="$LOG_DIR/$s.ctest.log"
  if [ -f "$log" ]; then
    grep -E 'tests passed|No tests were found|Total Test time|^[0-9]+ passed, [0-9]+ failed' "$log" | sed 's/^/      /'
    sed -n '/The following tests FAILED/,$p' "$log" | sed 's/^/      /'
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "test-all.sh: FAILED"
  exit 1
fi
echo "test-all.sh: all stages passed"
