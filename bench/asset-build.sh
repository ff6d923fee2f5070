#!/bin/bash
# Times the generated assets (pictures, language pictures, help, styles) from
# scratch, with the build tools already built, on two jobs.
#   bench/asset-build.sh [BUILD_DIR] [RUNS]     (default: build, 5 runs)
# Prints every run and the median and worst (p99 of so few runs) in seconds.
set -euo pipefail
build_dir="$(cd "${1:-$(dirname "$0")/../build}" && pwd)"
runs="${2:-5}"
targets=(tamborly_artwork tamborly_language_pictures tamborly_help tamborly_styles)
cmake --build "$build_dir" --target tamborly-render tamborly-make-styles -j2 >/dev/null
cmake --build "$build_dir" --target "${targets[@]}" -j2 >/dev/null   # warm-up
times=()
for run in $(seq 1 "$runs"); do
  rm -rf "$build_dir/artwork" "$build_dir/app/styles" "$build_dir/app/help"
  start=$(date +%s.%N)
  cmake --build "$build_dir" --target "${targets[@]}" -j2 >/dev/null
  end=$(date +%s.%N)
  t=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
  times+=("$t")
  echo "run $run: ${t} s"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "asset build, ${#sorted[@]} runs, 2 jobs: median ${sorted[$(( ${#sorted[@]} / 2 ))]} s, p99 ${sorted[$(( ${#sorted[@]} - 1 ))]} s"
