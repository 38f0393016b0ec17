#!/usr/bin/env bash
# update_package_lists: apt-get update, tried again a little later when it fails: a mirror
# in the middle of a sync serves lists that do not match their index for a while. When it
# still fails, the lists it did fetch are used: the install then names what it cannot find.
update_package_lists() {
    local sudo="" try
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    for try in 1 2 3; do
        if DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq; then
            return 0
        fi
        if ((try < 3)); then
            echo "apt-get update failed; trying again in $((try * 30)) s" >&2
            sleep $((try * 30))
        fi
    done
    echo "apt-get update failed again; going on with the package lists it could fetch" >&2
}

# install_missing PACKAGE...: installs, non-interactively, those of the Debian packages that
# are not installed yet (as root, or through sudo).
install_missing() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    update_package_lists
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
