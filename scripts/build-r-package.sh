#!/usr/bin/env bash
# Builds the R package's source tarball: r/ staged in DIR/trelba with the library's
# sources (src/ and include/, without the program's own files: its main, Run, standard
# error sink, help text and process set-up; nor Windows' files or ISA-L's), the version
# of CMakeLists.txt's project(), the real test files, the tRNA genes and the example
# genes, then `R CMD build` (which builds the vignette).
#   usage: scripts/build-r-package.sh DIR   ->  DIR/trelba_VERSION.tar.gz
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
out=$(cd "$1" && pwd)
stage="$out/trelba"
rm -rf "$stage"
cp -r "$root/r" "$stage"
version=$(sed -n 's/^project(Trelba VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
sed -i "s/@VERSION@/$version/" "$stage/DESCRIPTION"

mkdir -p "$stage/src/trelba"
cp -r "$root/include" "$stage/src/trelba/include"
(
  cd "$root"
  find src -name '*.cpp' -o -name '*.hpp' | LC_ALL=C sort | grep -Ev \
    '^src/driver/(main|main_windows|run|standard_error_sink|help_text|process_setup.*)\.cpp$|^src/driver/(standard_error_sink|help_text|process_setup)\.hpp$|_windows\.cpp$|/windows_names\.|_isal\.cpp$' |
    while read -r file; do
      mkdir -p "$stage/src/trelba/$(dirname "$file")"
      cp "$file" "$stage/src/trelba/$file"
    done
)
# The examples' and the vignette's genes, with their source.
mkdir -p "$stage/inst/extdata"
cp "$root/examples/Ecoli_HighlyExpressedGenes.fa" "$root/examples/SOURCE.txt" "$stage/inst/extdata/"
mkdir -p "$stage/tests/testthat/real"
cp "$root"/tests/data/real/* "$root/tests/data/SOURCES.txt" "$stage/tests/testthat/real/"
mkdir -p "$stage/tests/testthat/trna"
cp "$root"/tests/data/trna/* "$stage/tests/testthat/trna/"

cd "$out"
rm -f trelba_*.tar.gz
R CMD build --no-manual trelba
