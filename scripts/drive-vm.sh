#!/usr/bin/env bash
# The command line on a real kernel's drive: a small QEMU guest (Debian's cloud kernel, busybox,
# discometer-cli) whose emulated ATAPI DVD-ROM drive, under the kernel's sr and cdrom drivers,
# holds disc images made here. Each scenario boots the guest, runs the program in it, checks
# what it measured and prints one line with its figures and PASS or FAIL; the exit status is
# 1 when any failed. The kernel, the guest's file system and the runs are kept in
# build-cli/drive-vm/ (DRIVE_VM_DIR); the guest's file system is made again when any of
# its parts changes. DRIVE_VM_CLI names a discometer-cli to take instead of building one.
# usage: scripts/drive-vm.sh [SCENARIO...]   (all of them by default; --list names them)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
# The host's clock ($EPOCHREALTIME) and awk's figures with a decimal point whatever the locale.
export LC_NUMERIC=C

SCENARIOS=(identity throttled unreadable eject change empty permission speed-request
    not-honoured udf busy clock)
if [[ ${1:-} == --list ]]; then
    printf '%s\n' "${SCENARIOS[@]}"
    exit 0
fi
for name in "$@"; do
    if [[ " ${SCENARIOS[*]} " != *" $name "* ]]; then
        echo "no scenario '$name'; there are: ${SCENARIOS[*]}" >&2
        exit 2
    fi
done
chosen=("${@:-${SCENARIOS[@]}}")

started=$SECONDS
step() {
    echo "== $* ($((SECONDS - started)) s)"
}

BUILD_DIR=$ROOT/build-cli
WORK=${DRIVE_VM_DIR:-$BUILD_DIR/drive-vm}
CLI=$BUILD_DIR/cli/discometer-cli
mkdir -p "$WORK"

# The throttle of the throttled drive, in bytes per second, and the speed the program
# should measure under it, in its KB/s of 1,024 bytes.
THROTTLE_BPS=8000000
THROTTLE_KBS=7812.5
# The limits a scenario lives within: the program's own steps in the guest, the guest's
# scenario, and QEMU.
STEP_SECONDS=40
VM_SECONDS=60

source "$ROOT/scripts/install-packages.sh"
source "$ROOT/scripts/generator.sh"

step "Installing what is missing"
install_missing qemu-system-x86 busybox-static cpio xorriso udftools binutils \
    build-essential cmake ninja-build pkg-config python3 libasound2-dev libcli11-dev \
    libgtest-dev libgmock-dev googletest

if [[ -n ${DRIVE_VM_CLI:-} ]]; then
    CLI=$(realpath "$DRIVE_VM_CLI")
    step "Taking $CLI as it is"
else
    step "Building discometer-cli in build-cli/"
    cmake --preset cli-only > /dev/null
    cmake --build "$BUILD_DIR" -j 2 --target discometer-cli
fi

# The kernel: the one Debian's cloud kernel package currently names, unpacked, never
# installed. A machine without package lists fetches them first.
kernel_package() {
    apt-cache depends linux-image-cloud-amd64 2> /dev/null |
        awk '$1 == "Depends:" && $2 ~ /^linux-image-[0-9]/ { print $2; exit }'
}
package=$(kernel_package)
if [[ -z $package ]]; then
    update_package_lists
    package=$(kernel_package)
fi
if [[ -z $package ]]; then
    echo "no linux-image-cloud-amd64 in the package lists" >&2
    exit 1
fi
KERNEL_DIR=$WORK/kernel/$package
if [[ ! -d $KERNEL_DIR/boot ]]; then
    step "Fetching $package (unpacked into $KERNEL_DIR, not installed)"
    rm -rf "$WORK/kernel"
    mkdir -p "$WORK/kernel/download"
    # As root, apt fetches as root into a folder its own user may not write.
    sandbox=()
    if [[ $(id -u) -eq 0 ]]; then sandbox=(-o APT::Sandbox::User=root); fi
    (cd "$WORK/kernel/download" && apt-get download -q "${sandbox[@]}" "$package")
    dpkg-deb -x "$WORK"/kernel/download/"$package"_*.deb "$KERNEL_DIR.part"
    mv "$KERNEL_DIR.part" "$KERNEL_DIR"
    rm -rf "$WORK/kernel/download"
fi
KERNEL=$(echo "$KERNEL_DIR"/boot/vmlinuz-*)

# The modules of the drive (the IDE controller, libata, sr) and of the disk the results come
# back on (virtio), each after those it depends on, as their own .modinfo names them: the
# package holds no modules.dep.
declare -A module_seen=()
modules=()
add_module() {
    local name=$1 file deps dep
    if [[ -n ${module_seen[$name]:-} ]]; then
        return
    fi
    module_seen[$name]=1
    file=$(find "$KERNEL_DIR/lib/modules" -name "$name.ko" -print -quit)
    if [[ -z $file ]]; then
        echo "the kernel has no module $name" >&2
        exit 1
    fi
    deps=$(objcopy -O binary --only-section=.modinfo "$file" /dev/stdout | tr '\0' '\n' |
        sed -n 's/^depends=//p')
    for dep in ${deps//,/ }; do
        add_module "$dep"
    done
    modules+=("$file")
}
for name in ata_piix sr_mod virtio_pci virtio_blk; do
    add_module "$name"
done

# The guest's file system: busybox, the modules, discometer-cli with the libraries and the
# loader it names, /init and its helpers, and users inside and outside the cdrom group.
mapfile -t libraries < <(ldd "$CLI" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }')
BUSYBOX=$(command -v busybox)
PASSWD='root:x:0:0:root:/:/bin/sh
reader:x:1000:1000:in the cdrom group:/tmp:/bin/sh
outsider:x:1001:1001:outside the cdrom group:/tmp:/bin/sh'
GROUP='root:x:0:
cdrom:x:24:reader
reader:x:1000:
outsider:x:1001:'
inputs=("$BUSYBOX" "${modules[@]}" "$CLI" "${libraries[@]}" tests/drive-vm/init tests/drive-vm/guest.sh)
hash=$({
    printf '%s\n' "${inputs[@]}" "$PASSWD" "$GROUP"
    cat "${inputs[@]}"
} | sha256sum | cut -c1-16)
INITRD=$WORK/initrd-$hash.cpio.gz
if [[ ! -f $INITRD ]]; then
    step "Making the guest's file system ($INITRD)"
    tree=$WORK/initrd-tree
    rm -rf "$tree" "$WORK"/initrd-*.cpio.gz
    mkdir -p "$tree"/{bin,modules,etc,proc,sys,dev,tmp}
    cp "$BUSYBOX" "$tree/bin/busybox"
    ln -s busybox "$tree/bin/sh"
    install -m 0755 tests/drive-vm/init "$tree/init"
    cp tests/drive-vm/guest.sh "$tree/guest.sh"
    for file in "${modules[@]}"; do
        cp "$file" "$tree/modules/"
        basename "$file" .ko >> "$tree/modules/order"
    done
    cp "$CLI" "$tree/bin/discometer-cli"
    for library in "${libraries[@]}"; do
        mkdir -p "$tree$(dirname "$library")"
        cp -L "$library" "$tree$library"
    done
    echo "$PASSWD" > "$tree/etc/passwd"
    echo "$GROUP" > "$tree/etc/group"
    echo /bin/sh > "$tree/etc/shells"
    (cd "$tree" && find . | LC_ALL=C sort | cpio -o -H newc -R 0:0 --quiet) | gzip -1 > "$INITRD.part"
    mv "$INITRD.part" "$INITRD"
    rm -rf "$tree"
fi

# The discs: ISO 9660 CDs (the files are zeros: what the drive reads does not matter, only
# how much), a sparse DVD-sized image with nothing but its volume descriptor, and a UDF
# disc with no ISO 9660 volume.
step "Making the discs"
DISCS=$WORK/discs
rm -rf "$DISCS"
mkdir -p "$DISCS/files"
make_iso() {
    local label=$1 megabytes=$2
    truncate -s "${megabytes}M" "$DISCS/files/data"
    xorriso -as mkisofs -quiet -V "$label" -o "$DISCS/$label.iso" "$DISCS/files"
    rm "$DISCS/files/data"
}
make_iso DRIVEVM_CD 80
make_iso DRIVEVM_OTHER 20
# bytes N...: the bytes of the values N.
bytes() {
    local b
    for b; do
        printf '%b' "\\x$(printf %02x "$b")"
    done
}
# sparse_iso LABEL SECTORS: an image of SECTORS sectors whose volume descriptor at sector 16
# gives its label and its size (both-endian at byte 80).
sparse_iso() {
    local label=$1 sectors=$2 file=$DISCS/$1.iso
    local le=($((sectors & 255)) $((sectors >> 8 & 255)) $((sectors >> 16 & 255)) $((sectors >> 24)))
    truncate -s $((sectors * 2048)) "$file"
    {
        printf '\001CD001\001\000%-32s%-32s' '' "$label"
        bytes 0 0 0 0 0 0 0 0 "${le[@]}" "${le[3]}" "${le[2]}" "${le[1]}" "${le[0]}"
    } | dd of="$file" bs=2048 seek=16 conv=notrunc status=none
    printf '\377CD001\001' | dd of="$file" bs=2048 seek=17 conv=notrunc status=none
}
# Past the 450,000 sectors of the largest CD the program knows, and past QEMU's CD size.
DVD_SECTORS=460000
sparse_iso DRIVEVM_DVD "$DVD_SECTORS"
truncate -s 300M "$DISCS/DRIVEVM_UDF.img"
mkudffs --media-type=bdr --blocksize=2048 --label=DRIVEVM_UDF "$DISCS/DRIVEVM_UDF.img" > /dev/null
rmdir "$DISCS/files"

# The drive as QEMU's -drive gives it: a disc, a throttled disc, or none.
drive_with() {
    echo "if=none,id=cd0,media=cdrom,readonly=on,format=raw,file=$DISCS/$1"
}
throttled_drive_with() {
    echo "$(drive_with "$1"),throttling.bps-read=$THROTTLE_BPS"
}

RUNS=$WORK/runs
rm -rf "$RUNS"
declare -A on_mark=()

# boot NAME DRIVE SCENARIO [QEMU ARGUMENTS...]: boots the guest with the drive DRIVE (a
# -drive value) and the guest's commands SCENARIO, and waits until it powers off. The files
# it wrote are then in $run/out; the console, each line after the host's clock, in
# $run/console.log. A line "@@ MARK M" the guest prints sends on_mark[M] to QEMU's monitor
# at once.
boot() {
    local name=$1 drive=$2 scenario=$3
    shift 3
    run=$RUNS/$name
    mkdir -p "$run/extra" "$run/out"
    printf '%s\n' ". /guest.sh" "$scenario" > "$run/extra/scenario"
    (cd "$run/extra" && echo scenario | cpio -o -H newc -R 0:0 --quiet) | gzip -1 > "$run/extra.cpio.gz"
    # The kernel unpacks both archives, the second over the first.
    cat "$INITRD" "$run/extra.cpio.gz" > "$run/initrd"
    truncate -s 16M "$run/out.img"
    mkfifo "$run/ser.in" "$run/ser.out" "$run/mon.in" "$run/mon.out"
    (
        status=0
        timeout -k 5 "$VM_SECONDS" qemu-system-x86_64 -machine pc,accel=tcg -m 512 \
            -nodefaults -display none -no-reboot \
            -kernel "$KERNEL" -initrd "$run/initrd" \
            -append 'console=ttyS0 panic=-1 quiet clocksource=hpet' \
            -chardev pipe,id=ser,path="$run/ser" -serial chardev:ser \
            -chardev pipe,id=mon,path="$run/mon" -mon chardev=mon,mode=readline \
            -drive "$drive" -device ide-cd,drive=cd0,bus=ide.1,unit=0,id=cdrom0 \
            -drive if=none,id=out,format=raw,file="$run/out.img" \
            -device virtio-blk-pci,drive=out "$@" > "$run/qemu.log" 2>&1 || status=$?
        echo "$status" > "$run/qemu.status"
        # Lets the readers below go on (to their end) should QEMU never have opened its ends.
        exec 3<> "$run/ser.out" 4<> "$run/mon.out"
    ) &
    cat "$run/mon.out" > "$run/monitor.log" &
    local line mark
    while IFS= read -r line; do
        line=${line%$'\r'}
        printf '%s %s\n' "$EPOCHREALTIME" "$line" >> "$run/console.log"
        if [[ $line == "@@ MARK "* ]]; then
            mark=${line#@@ MARK }
            mark=${mark%% *}
            if [[ -n ${on_mark[$mark]:-} ]]; then
                printf '%s\n' "${on_mark[$mark]}" 1<> "$run/mon.in"
                printf '%s %s\n' "$EPOCHREALTIME" "${on_mark[$mark]}" >> "$run/monitor-sent.log"
            fi
        fi
    done < "$run/ser.out"
    wait
    rm -f "$run/initrd"
    touch "$run/console.log"
    tar -xf "$run/out.img" -C "$run/out" 2> /dev/null || true
    local status
    status=$(cat "$run/qemu.status")
    if [[ $status == 124 ]]; then
        problem "QEMU was still running after $VM_SECONDS s"
    elif [[ $status != 0 ]]; then
        problem "QEMU ended with status $status: $(head -1 "$run/qemu.log")"
    elif ! grep -q '^[^ ]* @@ DONE ' "$run/console.log"; then
        problem "the guest did not finish its scenario"
    fi
    local trouble
    trouble=$(sed -n 's/^[^ ]* @@ FAIL //p' "$run/console.log")
    if [[ -n $trouble ]]; then
        problem "the guest: $trouble"
    fi
    clock_check
}

# What the scenario's checks found wrong; report prints its line and starts afresh.
problems=()
problem() {
    problems+=("$*")
}
failed=()
scenario_started=$SECONDS
report() {
    local name=$1 figures=$2 took=$((SECONDS - scenario_started))
    if ((${#problems[@]})); then
        printf '%-14s FAIL  %s (%d s); wrong: %s\n' "$name" "$figures" "$took" \
            "$(IFS=';'; echo "${problems[*]}")"
        failed+=("$name")
    else
        printf '%-14s PASS  %s (%d s)\n' "$name" "$figures" "$took"
    fi
    problems=()
}

# The guest's and the host's clocks over each step of the boot that lasted long enough to
# compare them (2 s on the host): the program times with the guest's, which under TCG has
# been seen to run several times too fast for a while.
CLOCK_LIMIT=5
clock_log=$RUNS/clock.log
clock_check() {
    local worst
    worst=$(awk -v boot="${run##*/}" -v logfile="$clock_log" '
        $2 == "@@" && ($3 == "BEGIN" || $3 == "READY") { label = $3 == "READY" ? "boot" : $4; h0[label] = $1; g0[label] = $NF }
        $2 == "@@" && ($3 == "END" || $3 == "DONE") {
            label = $3 == "DONE" ? "boot" : $4
            if (label in h0 && $1 - h0[label] >= 2) {
                h = $1 - h0[label]; g = $NF - g0[label]; d = (g - h) / h * 100
                printf "%s %s host %.2f s guest %.2f s (%+.1f %%)\n", boot, label, h, g, d >> logfile
                if (d < 0) d = -d
                if (d > worst) worst = d
            }
        }
        END { printf "%.1f\n", worst }' "$run/console.log")
    if awk -v w="$worst" -v limit="$CLOCK_LIMIT" 'BEGIN { exit !(w > limit) }'; then
        problem "the guest's clock was ${worst} % off the host's"
    fi
}

# The files and the console of the boot.
out() {
    cat "$run/out/$1" 2> /dev/null || true
}
status_of() {
    out "$1.rc"
}
# What a step printed on the console (a terminal), between its BEGIN and its END.
tty_output() {
    awk -v name="$1" '$2 == "@@" && $3 == "BEGIN" && $4 == name { on = 1; next }
        $2 == "@@" && $3 == "END" && $4 == name { on = 0 }
        on { sub(/^[^ ]* /, ""); print }' "$run/console.log"
}
# The host's clock when the console showed the line that begins with PREFIX.
console_time() {
    awk -v prefix="$1" 'substr($0, index($0, " ") + 1, length(prefix)) == prefix { print $1; exit }' \
        "$run/console.log"
}
# The first number after "KEY:" in the summary the step NAME printed on standard error.
summary_number() {
    out "$1.err" | sed -n "s/^$2: *\([0-9][0-9,.]*\).*/\1/p" | head -1 | tr -d ,
}
# The block lines of a results document: BLOCK SPEED.
result_lines() {
    out "$1" | sed -n '/^\[TransferResults\]/,$p' | sed 1d | tr -d '\r'
}
# within A B PERCENT: A is within PERCENT % of B.
within() {
    awk -v a="$1" -v b="$2" -v p="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(a != "" && d <= b * p / 100) }'
}
expect_status() {
    local name=$1 want=$2 got
    got=$(status_of "$name")
    if [[ $got != "$want" ]]; then
        problem "$name exited ${got:-never} instead of $want"
    fi
}
expect_in() {
    local file=$1 text=$2
    if ! out "$file" | grep -qiF -- "$text"; then
        problem "$file does not say '$text' ($(out "$file" | head -3 | tr '\n' '|'))"
    fi
}
# The guest's commands: the program with the drive as a user names it.
M='discometer-cli measure sr0'

# 1. The drive list, on a terminal with the drive's identity, in a pipe the entries alone.
scenario_identity() {
    boot identity "$(drive_with DRIVEVM_CD.iso)" "
        step_tty drives-tty 20 discometer-cli drives
        step drives-pipe 20 sh -c 'discometer-cli drives | cat'"
    local tty pipe medium=""
    tty=$(tty_output drives-tty)
    pipe=$(out drives-pipe.out)
    expect_status drives-tty 0
    expect_status drives-pipe 0
    if [[ $tty =~ ^sr0\ \ QEMU\ QEMU\ DVD-ROM\ 2\.5\+(\ \ (.+))?$ ]]; then
        medium=${BASH_REMATCH[2]:-"(no medium named)"}
    else
        problem "on a terminal: '$tty'"
    fi
    if [[ $pipe != sr0 ]]; then
        problem "in a pipe: '$pipe'"
    fi
    report identity "terminal '$tty' [medium: ${medium:-?}], pipe '$pipe'"
}

# 2. A CD under the throttle, every sector timed: the speeds are the throttle's.
scenario_throttled() {
    boot throttled "$(throttled_drive_with DRIVEVM_CD.iso)" "
        small_requests
        step run $STEP_SECONDS $M --sequencer 1000 --dat /out/run.dat"
    local mean max min errors
    mean=$(summary_number run 'Mean speed')
    max=$(summary_number run 'Maximum speed')
    min=$(summary_number run 'Minimum speed')
    errors=$(summary_number run 'Blocks in error')
    expect_status run 0
    within "$mean" "$THROTTLE_KBS" 2 || problem "mean ${mean:-none} KB/s"
    within "$max" "$THROTTLE_KBS" 2 || problem "maximum ${max:-none} KB/s"
    [[ $errors == 0 ]] || problem "${errors:-no count of} blocks in error"
    expect_in run.err "State:           Complete"
    report throttled "mean $mean, max $max, min $min KB/s (throttle $THROTTLE_KBS), $(result_lines run.dat | wc -l) blocks timed, exit $(status_of run)"
}

# 3. Unreadable sectors: each read that holds one fails, and the block it was reading gets
# speed 0. Blocks alternate, read untimed then timed (the first 800 sectors), from
# blocks 0 and 1 on; a failed block has no timed twin, so the next block is read untimed
# and the parity changes.
UNREADABLE=(
    5100  # block 5, timed: 0
    9900  # block 9, timed, beyond its first 800 sectors: never read
    12345 # block 12, untimed: 0, and from now on even blocks are timed
    20850 # block 20, timed, beyond its first 800: never read
    21010 # block 21, untimed: 0, odd blocks timed again
    30500 # block 30, untimed: 0, even blocks timed
    32100 # block 32, timed: 0
)
UNREADABLE_BLOCKS="5 12 21 30 32"
READ_WELL_BLOCKS="9 20 14"
scenario_unreadable() {
    local config=$RUNS/unreadable.cfg sector
    mkdir -p "$RUNS"
    : > "$config"
    for sector in "${UNREADABLE[@]}"; do
        # blkdebug counts sectors of 512 bytes.
        printf '[inject-error]\nevent = "read_aio"\nerrno = "5"\nsector = "%d"\nonce = "off"\n\n' \
            $((sector * 4)) >> "$config"
    done
    # blkdebug under the raw format, which tells it of each read (the event its rules wait
    # for) before passing the read on.
    boot unreadable "if=none,id=cd0,media=cdrom,readonly=on,format=raw,file.driver=blkdebug,file.config=$config,file.image.filename=$DISCS/DRIVEVM_CD.iso" "
        step run $STEP_SECONDS $M --dat /out/run.dat"
    local zeros errors block
    zeros=$(result_lines run.dat | awk '$2 == 0 { printf "%s%s", sep, $1; sep = " " }')
    errors=$(summary_number run 'Blocks in error')
    expect_status run 3
    [[ $zeros == "$UNREADABLE_BLOCKS" ]] || problem "speed 0 at blocks '$zeros', not '$UNREADABLE_BLOCKS'"
    [[ $errors == 5 ]] || problem "${errors:-no count of} blocks in error, not 5"
    for block in $READ_WELL_BLOCKS; do
        result_lines run.dat | awk -v b="$block" '$1 == b && $2 > 0 { found = 1 } END { exit !found }' ||
            problem "no speed for block $block"
    done
    report unreadable "speed 0 at blocks $zeros, $errors in error, read at 9, 14, 20, exit $(status_of run)"
}

# 4 and 5. The disc taken out, or another put in, while a throttled run reads: the run ends
# at the read that found it, within 2 s, says so, exits 1, and its document holds what was
# read before and no unreadable block.
disc_gone() {
    local name=$1 command=$2 words=$3
    on_mark[gone]=$command
    # The kernel's requests as they come (128 KB): once the disc is gone, each of them
    # fails on its own, some 36 ms apiece in QEMU.
    boot "$name" "$(throttled_drive_with DRIVEVM_CD.iso)" "
        step_marked run $STEP_SECONDS 6 gone $M --sequencer 1000 --dat /out/run.dat"
    unset 'on_mark[gone]'
    local sent ended took="" at="" lines last zeros
    sent=$(awk '{ print $1; exit }' "$run/monitor-sent.log" 2> /dev/null || true)
    ended=$(console_time "@@ END run")
    if [[ -n $sent && -n $ended ]]; then
        took=$(awk -v a="$sent" -v b="$ended" 'BEGIN { printf "%.2f", b - a }')
        awk -v t="$took" 'BEGIN { exit !(t >= 0 && t <= 2) }' || problem "the run ended $took s after the $words"
    else
        problem "no $words sent or no end seen"
    fi
    expect_status run 1
    at=$(out run.err | sed -n "s/.*the disc was $words at block \([0-9]*\).*/\1/p" | head -1)
    lines=$(result_lines run.dat | wc -l)
    last=$(result_lines run.dat | awk 'END { print $1 }')
    zeros=$(result_lines run.dat | awk '$2 == 0 { n++ } END { print n + 0 }')
    if [[ -z $at ]]; then
        problem "no 'the disc was $words at block N' ($(out run.err | head -2 | tr '\n' '|'))"
    elif [[ -z $last ]] || ((last >= at || last < at - 2)); then
        problem "the document's last block is ${last:-missing} for the $words at block $at"
    fi
    ((lines >= 6)) || problem "the document holds $lines blocks, read before the $words: 6 or more"
    ((zeros == 0)) || problem "$zeros blocks with speed 0"
    report "$name" "$words at block ${at:-?}, last block in the document ${last:-?} ($lines lines, $zeros at 0), ended ${took:-?} s after the monitor's command, exit $(status_of run)"
}
scenario_eject() {
    disc_gone eject "eject -f cd0" removed
}
scenario_change() {
    disc_gone change "change cd0 -f $DISCS/DRIVEVM_OTHER.iso raw" changed
}

# 6. No disc in the drive.
scenario_empty() {
    boot empty "if=none,id=cd0,media=cdrom" "
        step run 20 $M --dat /out/run.dat
        step_tty drives-tty 20 discometer-cli drives"
    expect_status run 1
    expect_in run.err "no disc"
    [[ ! -e $run/out/run.dat ]] || problem "a document was written"
    [[ $(tty_output drives-tty) == "sr0  QEMU QEMU DVD-ROM 2.5+  no disc" ]] ||
        problem "drives on a terminal does not say 'no disc'"
    report empty "exit $(status_of run): '$(out run.err | head -1)'; drives on a terminal: '$(tty_output drives-tty)'"
}

# 7. The device is root:cdrom 0660: a user outside the group is refused, one inside reads.
scenario_permission() {
    boot permission "$(drive_with DRIVEVM_OTHER.iso)" "
        step outsider 20 su -s /bin/sh outsider -c '$M --dat /tmp/run.dat'
        step reader 20 su -s /bin/sh reader -c '$M --dat /tmp/run.dat'
        ls -l /dev/sr0 >/out/device"
    expect_status outsider 1
    expect_in outsider.err "permission"
    expect_in outsider.err "sr0"
    expect_status reader 0
    report permission "$(out device | awk '{ print $1, $3 ":" $4 }'); outsider exit $(status_of outsider): '$(out outsider.err | head -1)'; reader in cdrom exit $(status_of reader)"
}

# 8. The speed requests as the drive gets them (QEMU's trace of each ATAPI packet): a CD is
# asked with SET CD SPEED in kB/s of 1,000 bytes (16 x 176.4 = 2,822 = 0x0b06), a DVD
# first with SET STREAMING (0xb6), which QEMU refuses, then with SET CD SPEED in the DVD's
# own units (8 x 1,385 = 11,080 = 0x2b48); after the last read, SET CD SPEED 0xffff, the
# drive's maximum.
packets() {
    sed -n 's/.*ide_atapi_cmd_packet.*packet: *//p' "$1"
}
# speed_requests TRACE WANT...: the packets of SET STREAMING and SET CD SPEED in TRACE
# (in $requests), checked against WANT, in order: the first before the first read of a
# timed block, the last after the last read.
requests=""
speed_requests() {
    local trace=$1 seen want order first first_timed final last_read
    shift
    seen=$(packets "$trace" | awk '
        function hex(s,    i, n) {
            for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
            return n
        }
        { sub(/ +$/, "") }
        $1 == "28" { last_read = NR; if (hex($3 $4 $5 $6) >= 1000 && !first_timed) first_timed = NR }
        $1 == "bb" || $1 == "b6" { n++; cmd[n] = $0; at[n] = NR }
        END {
            for (i = 1; i <= n; i++) printf "%s%s", (i > 1 ? ", " : ""), cmd[i]
            printf "\n%d %d %d %d\n", at[1], first_timed, at[n], last_read
        }')
    requests=$(head -1 <<< "$seen")
    order=$(tail -1 <<< "$seen")
    want=$(printf '%s, ' "$@")
    want=${want%, }
    [[ $requests == "$want" ]] || problem "speed packets '$requests', not '$want'"
    read -r first first_timed final last_read <<< "$order"
    if ((first == 0 || first_timed == 0 || first > first_timed)); then
        problem "no speed request before the first timed read"
    fi
    if ((final < last_read)); then
        problem "the last speed packet comes before the last read"
    fi
}
scenario_speed-request() {
    local cd
    boot speed-request-cd "$(drive_with DRIVEVM_CD.iso)" "
        step cd $STEP_SECONDS $M --speed 16 --dat /out/run.dat" \
        -trace ide_atapi_cmd_packet -trace ide_atapi_cmd_error -D "$RUNS/speed-request-cd.trace"
    expect_status cd 0
    speed_requests "$RUNS/speed-request-cd.trace" \
        "bb 00 0b 06 ff ff 00 00 00 00 00 00" "bb 00 ff ff ff ff 00 00 00 00 00 00"
    cd=$requests
    boot speed-request-dvd "$(drive_with DRIVEVM_DVD.iso)" "
        step dvd $STEP_SECONDS $M --speed 8 --dat /out/run.dat" \
        -trace ide_atapi_cmd_packet -trace ide_atapi_cmd_error -D "$RUNS/speed-request-dvd.trace"
    expect_status dvd 0
    # SET STREAMING: its 28 bytes of parameters (byte 10) never go out, since QEMU refuses
    # the command itself.
    speed_requests "$RUNS/speed-request-dvd.trace" "b6 00 00 00 00 00 00 00 00 00 1c 00" \
        "bb 00 2b 48 ff ff 00 00 00 00 00 00" "bb 00 ff ff ff ff 00 00 00 00 00 00"
    report speed-request "CD --speed 16: $cd; DVD --speed 8: $requests"
}

# 9. QEMU follows no speed request: the summary says the drive did not either.
scenario_not-honoured() {
    boot not-honoured "$(throttled_drive_with DRIVEVM_OTHER.iso)" "
        small_requests
        step run $STEP_SECONDS $M --speed 4 --sequencer 1000"
    local line fastest
    line=$(out run.err | grep '^Read speed:' || true)
    expect_status run 0
    [[ $line == *"not honoured by the drive"* ]] || problem "the summary says '$line'"
    fastest=$(sed -n 's/.*read up to \([0-9,.]*\) KB\/s.*/\1/p' <<< "$line" | tr -d ,)
    within "$fastest" "$THROTTLE_KBS" 2 || problem "the fastest read given is '${fastest}' KB/s"
    report not-honoured "'$line', exit $(status_of run)"
}

# 10. A disc with a UDF volume alone is measured whole, under its logical volume identifier.
scenario_udf() {
    boot udf "$(drive_with DRIVEVM_UDF.img)" "
        step run $STEP_SECONDS $M --dat /out/run.dat"
    local label size
    label=$(out run.dat | sed -n 's/^VolLabel=//p' | tr -d '\r' | sed 's/ *$//')
    size=$(out run.dat | sed -n 's/^VolSize=//p' | tr -d '\r')
    expect_status run 0
    [[ $label == DRIVEVM_UDF ]] || problem "label '$label'"
    [[ $size == 153600 ]] || problem "size '$size' sectors, not 153600"
    expect_in run.err "'DRIVEVM_UDF'"
    report udf "label '$label', $size sectors, $(result_lines run.dat | wc -l) blocks timed, exit $(status_of run)"
}

# 11. A second run of the drive while a first one reads it is refused; the first goes on.
scenario_busy() {
    boot busy "$(throttled_drive_with DRIVEVM_CD.iso)" "
        small_requests
        say BEGIN first
        touch /out/first.out
        timeout -k 2 $STEP_SECONDS $M --sequencer 1000 --dat /out/first.dat >/out/first.out 2>/out/first.err &
        first=\$!
        waited=0
        while [ \$(wc -l </out/first.out) -lt 2 ] && [ \$waited -lt 100 ]; do sleep 0.1; waited=\$((waited + 1)); done
        step second 20 $M
        if kill -0 \$first 2>/dev/null; then echo yes >/out/first.during; fi
        wait \$first
        echo \$? >/out/first.rc
        say END first rc=\$(cat /out/first.rc)"
    local mean
    mean=$(summary_number first 'Mean speed')
    expect_status second 1
    expect_in second.err "the drive is busy with another measurement"
    [[ $(out first.during) == yes ]] || problem "the first run was not reading when the second ended"
    expect_status first 0
    expect_in first.err "State:           Complete"
    within "$mean" "$THROTTLE_KBS" 2 || problem "the first run's mean ${mean:-none} KB/s"
    report busy "second exit $(status_of second): '$(out second.err | head -1)'; first exit $(status_of first), mean $mean KB/s, $(result_lines first.dat | wc -l) blocks timed"
}

# 12. The guest's clock against the host's, over every boot, this one's pause of 3 s on the
# guest's clock included.
scenario_clock() {
    boot clock "$(drive_with DRIVEVM_OTHER.iso)" "
        step pause 10 sleep 3"
    local compared worst
    compared=$(wc -l < "$clock_log" 2> /dev/null || echo 0)
    worst=$(awk '{ d = $NF == "%)" ? $(NF - 1) : $NF; gsub(/[(%+)]/, "", d); if (d < 0) d = -d; if (d > w) w = d } END { printf "%.1f", w }' \
        "$clock_log" 2> /dev/null || echo "")
    ((compared > 0)) || problem "no step of 2 s or more to compare"
    awk -v w="${worst:-0}" -v limit="$CLOCK_LIMIT" 'BEGIN { exit !(w <= limit) }' || problem "off by $worst %"
    report clock "$compared steps of 2 s or more compared, worst ${worst:-?} % apart (limit $CLOCK_LIMIT %)"
}

step "Running: ${chosen[*]}"
mkdir -p "$RUNS"
: > "$clock_log"
# The clock last, to sum up the boots before it.
for name in "${chosen[@]}"; do
    if [[ $name != clock ]]; then
        scenario_started=$SECONDS
        scenario_"$name"
    fi
done
if [[ " ${chosen[*]} " == *" clock "* ]]; then
    scenario_started=$SECONDS
    scenario_clock
fi
step "Done; runs in $RUNS"
if ((${#failed[@]})); then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
