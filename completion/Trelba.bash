# bash completion for Trelba: options, and each option's value (file names, variant and
# NCBI table numbers, backgrounds, groups of columns). Installed as
# bash-completion/completions/Trelba; to try it without installing: source completion/Trelba.bash
_Trelba() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev= words= files= list=
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
# generated from the code: bash completion (to change it, edit the code and run cmake --build build --target update-docs)
  case $prev in
    -T|--table)
      files=1
      ;;
    --summary)
      files=1
      ;;
    --report)
      files=1
      ;;
    --figures)
      files=1
      ;;
    -o|--output)
      files=1
      ;;
    --variant)
      words='0 1 2 3 4 5 6 7'
      ;;
    --gcode)
      words='1 2 3 4 5 6 9 10 11 12 13 14 15 16 21 22 23 24 25 26 27 28 29 30 31 32 33'
      ;;
    --background)
      words='even input'
      files=1
      ;;
    --reference)
      words='auto'
      files=1
      ;;
    --optimal-codons)
      files=1
      ;;
    --trna)
      files=1
      ;;
    --codon-usage)
      files=1
      ;;
    --coa)
      files=1
      ;;
    --gff)
      files=1
      ;;
    --columns)
      words='counts description composition dinucleotides rscu aa'
      list=1
      ;;
    --infile-list)
      files=1
      ;;
    --min-codons|--label|-j|--threads)
      return
      ;;
    *)
      if [[ $cur == -* ]]; then
        words='-T --table --summary --report --figures -o --output --no-reports --variant --gcode --background --reference --optimal-codons --trna --codon-usage --coa --gff --cds-only --min-codons --skip-first-codon --file-column --counts --description --columns --infile-list --label --strict -q --quiet --progress --no-progress --sync -j --threads -h --help -V --version --'
      else
        files=1
      fi
      ;;
  esac
# end of bash completion
  if [[ -n $list ]]; then
    # Comma-separated: the word after the last comma, the ones before it kept.
    local before=
    [[ $cur == *,* ]] && before=${cur%,*},
    mapfile -t COMPREPLY < <(compgen -P "$before" -W "$words" -- "${cur##*,}")
    compopt -o nospace 2>/dev/null
  elif [[ -n $words ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
  fi
  if [[ -n $files ]]; then
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -- "$cur")
  fi
}
complete -o filenames -F _Trelba Trelba
