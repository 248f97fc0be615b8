# bash completion for karsidan-cli                         -*- shell-script -*-
#
# To add an option: put it in its command's list below, and when it takes a
# value, name what completes that value in _karsidan_cli_values.
# Needs nothing from the bash-completion package.

declare -gA _karsidan_cli_options=(
    [encrypt]="-1 --key1 -2 --key2 -3 --key3 --keys-file -o --output --raw -h --help -v --version"
    [decrypt]="-1 --key1 -2 --key2 -3 --key3 --keys-file -o --output --raw -h --help -v --version"
    [send]="--to --port --name -h --help"
    [receive]="--port --folder --address -h --help"
)

# What follows an option that takes a value: file, dir, host, or none
# (a key, a number, a name: nothing sensible to offer).
declare -gA _karsidan_cli_values=(
    [-1]=none [--key1]=none [-2]=none [--key2]=none [-3]=none [--key3]=none
    [--to]=host [--address]=host [--port]=none [--name]=none
    [--folder]=dir [--keys-file]=file [-o]=file [--output]=file
)

# Commands whose free argument is a file to read.
declare -gA _karsidan_cli_takes_file=([encrypt]=1 [decrypt]=1 [send]=1)

_karsidan_cli_files()
{
    local IFS=$'\n'
    COMPREPLY+=($(compgen -"$1" -- "$2"))
    # Let readline add the slash and quote names with blanks.
    compopt -o filenames 2>/dev/null
}

_karsidan_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W "encrypt decrypt send receive -h --help -v --version" -- "$cur"))
        return
    fi

    local command=${COMP_WORDS[1]}
    [[ -n ${_karsidan_cli_options[$command]+set} ]] || return

    if [[ -n ${_karsidan_cli_values[$prev]+set} ]] && [[ " ${_karsidan_cli_options[$command]} " == *" $prev "* ]]; then
        case ${_karsidan_cli_values[$prev]} in
            file) _karsidan_cli_files f "$cur" ;;
            dir) _karsidan_cli_files d "$cur" ;;
            host) COMPREPLY=($(compgen -A hostname -- "$cur")) ;;
        esac
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${_karsidan_cli_options[$command]}" -- "$cur"))
    elif [[ -n ${_karsidan_cli_takes_file[$command]+set} ]]; then
        _karsidan_cli_files f "$cur"
    fi
}

complete -F _karsidan_cli karsidan-cli
