# Bash completion for discometer-cli: its commands, each command's options and their values,
# and for measure the drives that `discometer-cli drives` lists, the simulated drives and files;
# for replay and compare the data files; for history and --catalogue the folders.

_discometer_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            drives | measure | replay | compare | history)
                command=${COMP_WORDS[i]}
                break
                ;;
        esac
    done
    COMPREPLY=()
    case $prev in
        --sequencer)
            mapfile -t COMPREPLY < <(compgen -W "1000 800-200 600-400" -- "$cur")
            return
            ;;
        --speed)
            mapfile -t COMPREPLY < <(compgen -W "max 52 48 40 32 24 16 8 4" -- "$cur")
            return
            ;;
        --dat | --bmp | --compare)
            compopt -o filenames 2> /dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --catalogue)
            compopt -o filenames 2> /dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
    esac
    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W \
                "drives measure replay compare history --help --version" -- "$cur")
            ;;
        drives)
            mapfile -t COMPREPLY < <(compgen -W "--help" -- "$cur")
            ;;
        measure)
            if [[ $cur == -* ]]; then
                mapfile -t COMPREPLY < <(compgen -W \
                    "--sequencer --speed --dat --bmp --autosave --compare --catalogue --help" -- "$cur")
            else
                # The drives as the program finds them (one entry a line when not on a
                # terminal), the simulated ones, and disc images.
                local drives simulated
                drives=$("${COMP_WORDS[0]}" drives 2> /dev/null)
                simulated="sim sim-unpaced sim-dvd sim-dvd-unpaced sim-bd sim-bd-unpaced"
                simulated+=" sim-bd-udf sim-bd-udf-unpaced sim-aged sim-aged-unpaced"
                compopt -o filenames 2> /dev/null
                mapfile -t COMPREPLY < <(compgen -W "$drives $simulated" -- "$cur"
                    compgen -f -- "$cur")
            fi
            ;;
        replay | compare)
            if [[ $cur == -* ]]; then
                local options="--bmp --help"
                [[ $command == compare ]] && options+=" --json --force"
                mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
            else
                compopt -o filenames 2> /dev/null
                mapfile -t COMPREPLY < <(compgen -f -X '!*.dat' -- "$cur"; compgen -d -- "$cur")
            fi
            ;;
        history)
            if [[ $cur == -* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "--json --help" -- "$cur")
            else
                compopt -o filenames 2> /dev/null
                mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            fi
            ;;
    esac
}

complete -F _discometer_cli discometer-cli
