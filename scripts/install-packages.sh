#!/usr/bin/env bash
# update_package_lists: apt-get update, tried again a little later when it fails: a mirror
# in the middle of a sync serves lists that do not match their index for a while. When it
# still fails, the lists it did fetch are used (and package_lists_incomplete is set): the
# install then names what it cannot find. Once fetched, the lists serve the rest of the script.
package_lists_incomplete=0
package_lists_fetched=0
update_package_lists() {
    local sudo="" try
    if ((package_lists_fetched)); then
        return 0
    fi
    package_lists_fetched=1
    if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
    for try in 1 2 3; do
        if DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq; then
            package_lists_incomplete=0
            return 0
        fi
        if ((try < 3)); then
            echo "apt-get update failed; trying again in $((try * 30)) s" >&2
            sleep $((try * 30))
        fi
    done
    echo "apt-get update failed again; going on with the package lists it could fetch" >&2
    package_lists_incomplete=1
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
    local install=(apt-get install -y -qq --no-install-recommends)
    if DEBIAN_FRONTEND=noninteractive $sudo "${install[@]}" "${missing[@]}"; then
        return 0
    fi
    if ((!package_lists_incomplete)); then
        return 1
    fi
    # A list that could not be fetched (the security suite's i386 list, say) leaves one
    # architecture with older versions than the other, and packages of both architectures
    # must then agree. The release's own versions exist for every architecture: take those.
    local release
    release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [[ -z $release ]]; then
        return 1
    fi
    echo "Installing again with the versions of $release itself, since some package lists are missing" >&2
    if DEBIAN_FRONTEND=noninteractive $sudo "${install[@]}" -o APT::Default-Release="$release" \
        "${missing[@]}"; then
        return 0
    fi
    # Libraries already installed from the security suite then have no twin of the other
    # architecture: only the release's versions of both will do. That takes security fixes
    # back out, so it is done only where asked for with DISCOMETER_ALLOW_DOWNGRADES=1.
    if [[ -z ${DISCOMETER_ALLOW_DOWNGRADES:-} ]]; then
        echo "Installed libraries are newer than $release's, and their twins of the other" \
            "architecture cannot be fetched now: try again later, or set" \
            "DISCOMETER_ALLOW_DOWNGRADES=1 to go back to $release's versions of them" >&2
        return 1
    fi
    echo "Installing again, going back to $release's versions where the architectures must agree" >&2
    local pin status=0
    pin=$(mktemp)
    printf 'Package: *\nPin: release n=%s\nPin-Priority: 1001\n' "$release" >"$pin"
    chmod a+r "$pin"
    DEBIAN_FRONTEND=noninteractive $sudo "${install[@]}" --allow-downgrades \
        -o Dir::Etc::Preferences="$pin" "${missing[@]}" || status=$?
    rm -f "$pin"
    return "$status"
}
