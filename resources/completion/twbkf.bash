# bash completion for twbkf, the command line of Tallowin for BKF.
_twbkf() {
  local cur prev words cword
  _init_completion || return
  local commands="scan list extract verify"
  local global="-q --quiet -v --verbose --help --version"
  local command="" word
  for word in "${words[@]:1:cword-1}"; do
    case $word in scan|list|extract|verify) command=$word; break ;; esac
  done
  case $prev in
    --snapshot|--bkf|-T|--files-from) _filedir; return ;;
    -C|--to) _filedir -d; return ;;
    -o|--archive) _filedir '@(tar|tar.gz|tgz|tar.zst|tzst|tar.xz|txz|tar.bz2|tbz2|zip)'; return ;;
    --match|--exclude|--prefix|--strip-components) return ;;
  esac
  local select="-T --files-from --match --exclude -i --ignore-case"
  local options
  case $command in
    "") COMPREPLY=($(compgen -W "$commands $global" -- "$cur")); return ;;
    scan) options="--snapshot --force --log --json" ;;
    list) options="$select --json" ;;
    extract) options="$select -C --to -o --archive -O --stdout -n --dry-run --prefix --strip-components -j --flat --bkf --force" ;;
    verify) options="$select --bkf --force --json" ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options $global" -- "$cur"))
  else
    _filedir '@(bkf|BKF|TWBKF|twbkf)'
  fi
}
complete -F _twbkf twbkf
