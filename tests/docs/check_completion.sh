#!/usr/bin/env bash
# Shell completion as a user meets it: bash completes the options and each option's values
# from completion/Trelba.bash, and every option of `Trelba --help` is among them; zsh (where
# installed) reads completion/_Trelba without a syntax error.
#   usage: check_completion.sh TRELBA SOURCE_DIR
set -euo pipefail
trelba=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch genes.fa genome.gbk even.fa

# shellcheck source=/dev/null
source "$source_dir/completion/Trelba.bash"
failures=0
# The words bash offers for the command line "$1" (the last word being completed).
offered() {
  read -ra COMP_WORDS <<<"$1"
  [[ $1 == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  _Trelba
  ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' '
}
expect() {
  local got
  got=$(offered "$1")
  if [ "$got" != "$2" ]; then
    echo "'$1' offered '$got', expected '$2'" >&2
    failures=$((failures + 1))
  fi
}
expect 'Trelba --ta' '--table '
expect 'Trelba -q --no-p' '--no-progress '
expect 'Trelba --variant ' '0 1 2 3 4 5 6 7 '
expect 'Trelba --gcode 2' '2 21 22 23 24 25 26 27 28 29 '
expect 'Trelba --background e' 'even even.fa '
expect 'Trelba --reference a' 'auto '
expect 'Trelba -j ' ''
expect 'Trelba --min-codons ' ''
expect 'Trelba --columns r' 'rscu '
expect 'Trelba --columns composition,d' 'composition,description composition,dinucleotides '
expect 'Trelba -T ge' 'genes.fa genome.gbk '
expect 'Trelba --no-reports gen' 'genes.fa genome.gbk '

# Every option --help lists is offered.
all=$(offered 'Trelba -')
for option in $("$trelba" --help | grep -oE '^ +(-[A-Za-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+'); do
  if [[ " $all" != *" $option "* ]]; then
    echo "--help lists $option, which completion does not offer" >&2
    failures=$((failures + 1))
  fi
done

if command -v zsh >/dev/null; then
  zsh -n "$source_dir/completion/_Trelba" || failures=$((failures + 1))
else
  echo "zsh not installed: its completion's syntax is not checked"
fi
[ "$failures" -eq 0 ]
