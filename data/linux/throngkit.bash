# Bash completion for throngkit. Installed as share/bash-completion/completions/throngkit, where
# bash-completion loads it on first use; it needs nothing from that package (compgen only), so it
# can also be sourced by hand.

_throngkit()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    # "--format=c" reaches us as "--format", "=", "c".
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = && $COMP_CWORD -ge 2 ]]; then
        prev=${COMP_WORDS[COMP_CWORD-2]}
    fi

    local command=
    local word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
            generate|tables) command=$word; break ;;
        esac
    done

    case $prev in
        --system) COMPREPLY=($(compgen -W 'runequest traveller' -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W 'listing json rbl htm csv summary' -- "$cur")); return ;;
        --level) COMPREPLY=($(compgen -W 'random E B G F P' -- "$cur")); return ;;
        --shield) COMPREPLY=($(compgen -W 'random always never' -- "$cur")); return ;;
        --missile) COMPREPLY=($(compgen -W '0 1 2 3 4 5 6 7 8 9' -- "$cur")); return ;;
        --table|-o|--output)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --data-dir)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --count|--weapon|--damage|--rank|--heading|--seed)
            return ;;   # free text: nothing to offer
    esac

    case $command in
        generate)
            COMPREPLY=($(compgen -W '--system --count --level --shield --missile --table
                --data-dir --weapon --damage --rank --heading --format -o --output --seed
                --help' -- "$cur"))
            ;;
        tables)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W '--data-dir --help' -- "$cur"))
            else
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -X '!*.[dD][aA][tT]' -- "$cur"; compgen -d -- "$cur")
            fi
            ;;
        *)
            COMPREPLY=($(compgen -W 'generate tables --help --version' -- "$cur"))
            ;;
    esac
}
complete -F _throngkit throngkit
