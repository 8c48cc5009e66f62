# Sourced by scripts/native-checks and scripts/fuzz-campaign: runs one libFuzzer target of the native
# build for a bounded time and reports its executions.
quillane_fuzz_targets=(text_extraction_fuzzer cookie_merge_fuzzer url_header_fuzzer reply_headers_fuzzer item_reference_fuzzer
                       readable_title_fuzzer link_reply_fuzzer)

# quillane_fuzz_run TARGET SECONDS WORK_CORPUS_DIR
# New inputs go to WORK_CORPUS_DIR; the committed seeds in fuzz/corpus/TARGET are only read.
quillane_fuzz_run() {
  local target="$1" seconds="$2" work="$3"
  local root build log
  root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  build="$root/build/native"
  log="$build/fuzz/logs/$target.log"
  mkdir -p "$work" "$build/fuzz/logs" "$build/fuzz/artifacts"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -dict="$root/fuzz/$target.dict" -artifact_prefix="$build/fuzz/artifacts/$target-" \
       "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    local runs corpus
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    corpus="$(find "$work" -type f | wc -l)"
    echo "fuzz $target: ${runs:-?} executions in ${seconds} s, no failure (work corpus: $corpus inputs)"
    [ -z "${QUILLANE_FUZZ_RESULTS:-}" ] || echo "$target ${runs:-0} 0" >>"$QUILLANE_FUZZ_RESULTS"
  else
    echo "fuzz $target: FAILED, log $log" >&2
    [ -z "${QUILLANE_FUZZ_RESULTS:-}" ] || echo "$target 0 1" >>"$QUILLANE_FUZZ_RESULTS"
    grep -E 'property broken|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -20 >&2
    return 1
  fi
}
