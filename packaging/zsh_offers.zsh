# What zsh's completion offers at the end of command lines, asked as a person asks it: an
# interactive zsh on a pseudo-terminal, with the completions of FOLDER on its fpath, is sent each
# line read from standard input followed by a key bound to completion, in the zone (TZ) read on
# the line before it. For each line it prints the words offered, one a line, then "buffer: " and
# the line as completion left it, then "@@end@@". Used by check_completion.sh.
# Usage: zsh -f zsh_offers.zsh FOLDER
zmodload zsh/zpty || exit 77
offers=$(mktemp) || exit 1
trap 'zpty -d shell 2>/dev/null; rm -f $offers' EXIT
zpty shell zsh -f -i
zpty -w shell "PS1='' RPS1=''; fpath=(${(q)1} \$fpath); autoload -U compinit; compinit -u -D"
zpty -w shell "setopt NO_BEEP"
# Every word a completion function adds is noted as it is added, as far as it fits what is typed.
zpty -w shell "compadd() {
  if (( \${@[(I)-[OAD]]} )); then builtin compadd \"\$@\"; return; fi
  local -a fitting
  builtin compadd -A fitting \"\$@\"
  (( \$#fitting )) && print -rl -- \$fitting >> ${(q)offers}
  builtin compadd \"\$@\"
}"
# Ctrl-T completes, notes the line, clears it, and prints a mark to wait for. The mark is made
# when the widget runs, so that the echo of this definition does not hold it.
zpty -w shell "_note_offers() {
  zle complete-word
  print -r -- \"buffer: \$BUFFER\" >> ${(q)offers}
  BUFFER=''
  zle -I
  print -r -- @@\${(U):-offered}@@
}
zle -N _note_offers; bindkey '^T' _note_offers"
while IFS= read -r zone && IFS= read -r line; do
  : >$offers
  zpty -w shell "export TZ=${(q)zone}"
  zpty -w -n shell "$line"$'\x14'
  zpty -r shell ignored '*@@OFFERED@@*' || exit 1
  cat $offers
  print -r -- @@end@@
done
