# Bash completion for vorel-census: each option until it is given (and not beside those it cannot
# go with), nothing after options whose value is a number or a pick, file names after --chart,
# after --from and --to now, today's date and the current second on the local clock with its
# offset, to edit into the one wanted, and after --target the instruction sets that the program
# says this processor runs; nothing after --. A test holds the options offered against
# `vorel-census --help`; help-digest is the --help text this file was last checked against.
# help-digest: 7b11dcf61a3847e1

_vorel_census() {
  local cur prev words cword split
  _init_completion -s || return

  case $prev in
    --seeds | --threads | --find | --first)
      return
      ;;
    --from | --to)
      mapfile -t COMPREPLY < <(compgen -W "now $(date +'%Y-%m-%d %Y-%m-%dT%H:%M:%S%:z')" -- "$cur")
      return
      ;;
    --target)
      local targets
      # On the line after this heading of --help.
      targets=$("${1/#\~/$HOME}" --help 2>/dev/null |
        sed -n '/^Instruction sets this processor runs, best first:$/{n;p;q}')
      mapfile -t COMPREPLY < <(compgen -W "${targets//,/}" -- "$cur")
      return
      ;;
    --chart)
      _filedir
      return
      ;;
  esac
  # The options left take no value after '='.
  $split && return

  # Each word given takes itself, and the options it cannot go with, off the list.
  local offered=" --seeds --from --to --find --first --utc --threads --target --json --chart"
  offered+=" --verify --no-progress --help --version "
  local word
  for word in "${words[@]:1:cword-1}"; do
    word=${word%%=*}
    case $word in
      --) return ;; # the options end there, and the program takes nothing else
      -h) word=--help ;;
      -V) word=--version ;;
      --seeds) offered=${offered/ --from / }; offered=${offered/ --to / } ;;
      --from | --to) offered=${offered/ --seeds / } ;;
      --verify)
        offered=${offered/ --json / }; offered=${offered/ --chart / }
        offered=${offered/ --find / }; offered=${offered/ --first / }
        ;;
      --json) offered=${offered/ --verify / } ;;
      --chart)
        offered=${offered/ --verify / }; offered=${offered/ --find / }
        offered=${offered/ --first / }
        ;;
      --find | --first) offered=${offered/ --chart / }; offered=${offered/ --verify / } ;;
    esac
    offered=${offered/ "$word" / }
  done
  mapfile -t COMPREPLY < <(compgen -W "$offered" -- "$cur")
} &&
  complete -F _vorel_census vorel-census
