#!/usr/bin/env bash
# Counts non-blank, non-comment lines of the product code and of the tests, and prints their ratio.
# Product: app config render audio scene game hud input platform tools bench data/shader. Tests: tests/ without the fuzz
# targets, the sanitizer and valgrind suppression files and binary seed data.
# Usage: scripts/count-lines.sh [file ...]
set -euo pipefail
cd "$(dirname "$0")/.."

# Drops blank lines, whole-line // and # comments and /* ... */ blocks; a line with code and a trailing
# comment still counts.
count() {
  [ $# -eq 0 ] && { echo 0; return; }
  awk '
    FNR == 1 { in_block = 0 }
    {
      line = $0
      if (in_block) { if (line ~ /\*\//) { in_block = 0; sub(/.*\*\//, "", line) } else next }
      if (line ~ /^[ \t]*\/\*/ && line !~ /\*\//) { in_block = 1; next }
      if (line ~ /^[ \t]*\/\*.*\*\/[ \t]*$/) next
      if (line ~ /^[ \t]*$/) next
      if (line ~ /^[ \t]*\/\//) next
      if (FILENAME ~ /(\.sh|CMakeLists\.txt|\.cmake)$/ && line ~ /^[ \t]*#/) next
      n++
    }
    END { print n + 0 }' "$@"
}

# With file arguments, counts just those files (handy while trimming one part of the suite).
if [ $# -gt 0 ]; then
  echo "$(count "$@") lines in $# files"
  exit 0
fi

source_files() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.c' -o -name '*.h' -o -name '*.vert' -o -name '*.frag' \
    -o -name 'CMakeLists.txt' -o -name '*.cmake' -o -name '*.sh' \) 2>/dev/null | sort
}

product_dirs=()
for d in app config render audio scene game hud input platform tools bench data/shader; do
  [ -d "$d" ] && product_dirs+=("$d")
done
mapfile -t product < <(source_files "${product_dirs[@]}")
mapfile -t tests < <(source_files tests | grep -v -e '^tests/fuzz/' -e '^tests/sanitizer/')

p=$(count "${product[@]}")
t=$(count "${tests[@]}")
echo "product code: $p lines in ${#product[@]} files"
echo "tests:        $t lines in ${#tests[@]} files"
awk -v t="$t" -v p="$p" 'BEGIN { printf "ratio:        %.3f\n", (p ? t / p : 0) }'
