# Bash completion for vorel-pick: each option until it is given (and not beside the one it cannot
# go with), nothing after --seed, whose value is a number, and after --at now and the current
# second on the local clock with its offset, to edit into the one wanted; nothing after --. A test
# holds the options offered against `vorel-pick --help`; help-digest is the --help text this file
# was last checked against.
# help-digest: 6fb9d4a73f3856fb

_vorel_pick() {
  local cur prev words cword split
  _init_completion -s || return

  case $prev in
    --seed)
      return
      ;;
    --at)
      mapfile -t COMPREPLY < <(compgen -W "now $(date +%Y-%m-%dT%H:%M:%S%:z)" -- "$cur")
      return
      ;;
  esac
  # The options left take no value after '='.
  $split && return

  # Each word given takes itself, and the options it cannot go with, off the list.
  local offered=" --seed --at --utc --candidates --json --help --version " word
  for word in "${words[@]:1:cword-1}"; do
    word=${word%%=*}
    case $word in
      --) return ;; # the options end there, and the program takes nothing else
      -h) word=--help ;;
      -V) word=--version ;;
      --seed) offered=${offered/ --at / } ;;
      --at) offered=${offered/ --seed / } ;;
    esac
    offered=${offered/ "$word" / }
  done
  mapfile -t COMPREPLY < <(compgen -W "$offered" -- "$cur")
} &&
  complete -F _vorel_pick vorel-pick
