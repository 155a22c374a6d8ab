# Fish completion for vorel-pick, offering what its bash completion offers: each option until it
# is given (and not beside the one it cannot go with), nothing after --seed, whose value is a
# number, and after --at now and the current second on the local clock with its offset, to edit
# into the one wanted. A test asks fish itself and holds the options offered against
# `vorel-pick --help`; help-digest is the --help text this file was last checked against.
# help-digest: 6fb9d4a73f3856fb

# Whether an option may be offered: none of the options named (itself, and the one it cannot go
# with) is on the line, and the options are not ended by --. "-h" is --help, "-V" --version and
# "--seed=5" --seed; an option whose value is being typed is not on the line yet.
function __vorel_pick_may
    set -l words (commandline -opc)
    set -e words[1]
    if set -q words[1]; and contains -- $words[-1] --seed --at
        set -e words[-1]
    end
    for word in $words
        set -l name (string replace -r '=.*' '' -- $word)
        switch $name
            case --
                return 1
            case -h
                set name --help
            case -V
                set name --version
        end
        contains -- $name $argv; and return 1
    end
    return 0
end

complete -c vorel-pick -f
complete -c vorel-pick -l seed -x -n '__vorel_pick_may --seed --at' -d 'the pick for seed N'
complete -c vorel-pick -l at -x -n '__vorel_pick_may --at --seed' -a 'now (date +%Y-%m-%dT%H:%M:%S%:z)' -d 'the pick for that second'
complete -c vorel-pick -l utc -n '__vorel_pick_may --utc' -d 'read and show times in UTC'
complete -c vorel-pick -l candidates -n '__vorel_pick_may --candidates' -d 'also print the twenty candidates'
complete -c vorel-pick -l json -n '__vorel_pick_may --json' -d 'print as JSON'
complete -c vorel-pick -s h -l help -n '__vorel_pick_may --help' -d 'print the help'
complete -c vorel-pick -s V -l version -n '__vorel_pick_may --version' -d 'print the version'
