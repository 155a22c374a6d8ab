# Fish completion for vorel-census, offering what its bash completion offers: each option until it
# is given (and not beside those it cannot go with), nothing after options whose value is a
# number or a pick, file names after --chart, after --from and --to now, today's date and the
# current second on the local clock with its offset, to edit into the one wanted, and after
# --target the instruction sets that the program says this processor runs. A test asks fish
# itself and holds the options offered against `vorel-census --help`; help-digest is the --help
# text this file was last checked against.
# help-digest: 7b11dcf61a3847e1

# Whether an option may be offered: none of the options named (itself, and those it cannot go
# with) is on the line, and the options are not ended by --. "-h" is --help, "-V" --version and
# "--seeds=0:9" --seeds; an option whose value is being typed is not on the line yet.
function __vorel_census_may
    set -l words (commandline -opc)
    set -e words[1]
    if set -q words[1]; and contains -- $words[-1] --seeds --from --to --find --first --threads --target --chart
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

# The instruction sets --help lists on the line after this one's heading.
function __vorel_census_targets
    set -l program (string replace -r '^~' $HOME -- (commandline -opc)[1])
    set -l heading 0
    for line in ($program --help 2>/dev/null)
        if test $heading = 1
            string trim -- $line | string split ', '
            return
        end
        test "$line" = 'Instruction sets this processor runs, best first:'; and set heading 1
    end
end

set -l times 'now (date +%Y-%m-%d) (date +%Y-%m-%dT%H:%M:%S%:z)'
complete -c vorel-census -f
complete -c vorel-census -l seeds -x -n '__vorel_census_may --seeds --from --to' -d 'only the seeds A to B (A:B)'
complete -c vorel-census -l from -x -n '__vorel_census_may --from --seeds' -a $times -d 'from that second on'
complete -c vorel-census -l to -x -n '__vorel_census_may --to --seeds' -a $times -d 'to that second'
complete -c vorel-census -l find -x -n '__vorel_census_may --find --chart --verify' -d 'list the seeds of a pick'
complete -c vorel-census -l first -x -n '__vorel_census_may --first --chart --verify' -d 'with --find, list only the first N'
complete -c vorel-census -l utc -n '__vorel_census_may --utc' -d 'read and show times in UTC'
complete -c vorel-census -l threads -x -n '__vorel_census_may --threads' -d 'worker threads'
complete -c vorel-census -l target -x -n '__vorel_census_may --target' -a '(__vorel_census_targets)' -d 'instruction set'
complete -c vorel-census -l json -n '__vorel_census_may --json --verify' -d 'print as JSON'
complete -c vorel-census -l chart -r -F -n '__vorel_census_may --chart --find --first --verify' -d 'also draw an SVG bar chart'
complete -c vorel-census -l verify -n '__vorel_census_may --verify --json --chart --find --first' -d 'check the census against the plain draw'
complete -c vorel-census -l no-progress -n '__vorel_census_may --no-progress' -d 'show no progress line'
complete -c vorel-census -s h -l help -n '__vorel_census_may --help' -d 'print the help'
complete -c vorel-census -s V -l version -n '__vorel_census_may --version' -d 'print the version'
