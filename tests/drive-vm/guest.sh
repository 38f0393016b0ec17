# The guest's helpers, sourced by /init and by each scenario. Every step has a time limit;
# what it prints lands in /out, which goes back to the host.

# The guest's clock, seconds since boot: the clock the program's timer follows.
now() {
    cut -d' ' -f1 /proc/uptime
}

# A line for the host, which takes the time it sees it at as well.
say() {
    echo "@@ $* $(now)" >/dev/console
}

# step NAME SECONDS COMMAND...: runs COMMAND with its standard output and error in
# /out/NAME.out and /out/NAME.err and its exit status in /out/NAME.rc.
step() {
    name=$1 limit=$2
    shift 2
    say "BEGIN $name"
    timeout -k 2 "$limit" "$@" >"/out/$name.out" 2>"/out/$name.err"
    rc=$?
    echo "$rc" >"/out/$name.rc"
    say "END $name rc=$rc"
}

# step_tty NAME SECONDS COMMAND...: as step, but on the serial console, a terminal; the
# host cuts what it printed out of the console between BEGIN and END.
step_tty() {
    name=$1 limit=$2
    shift 2
    say "BEGIN $name"
    timeout -k 2 "$limit" "$@" </dev/ttyS0 >/dev/ttyS0 2>&1
    rc=$?
    echo "$rc" >"/out/$name.rc"
    say "END $name rc=$rc"
}

# step_marked NAME SECONDS LINES MARK COMMAND...: as step, and once COMMAND has printed
# LINES lines, tells the host MARK (which then acts on the drive) while the run goes on.
step_marked() {
    name=$1 limit=$2 lines=$3 mark=$4
    shift 4
    say "BEGIN $name"
    {
        timeout -k 2 "$limit" "$@" 2>"/out/$name.err"
        echo $? >"/out/$name.rc"
    } | awk -v n="$lines" -v mark="$mark" -v out="/out/$name.out" '
        { print > out; fflush(out) }
        NR == n {
            getline up < "/proc/uptime"; close("/proc/uptime"); split(up, u, " ")
            printf "@@ MARK %s %s\n", mark, u[1] > "/dev/console"; fflush("/dev/console")
        }'
    say "END $name rc=$(cat "/out/$name.rc")"
}

# The throttle charges each request of the kernel as it lets it through, so a timed read
# pays for the last request of the read before it instead of its own. With requests of
# 32 KB (16 sectors) the reads of a run (984 sectors for the first, 1000 for the others)
# all end with one of 8 sectors: every timed read of 1000 sectors pays for 1000, the first
# one too, which requests of 128 KB make 1.6 % short.
small_requests() {
    echo 32 >/sys/block/sr0/queue/max_sectors_kb
}
