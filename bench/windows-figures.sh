#!/usr/bin/env bash
# The Windows build's figures (under Wine) against the Linux build's, on this machine in
# the same minutes: runs alternate Linux, Windows, Linux with small pages, Linux, ..., and
# the table gives the medians and their ratios.
#   bench/windows-figures.sh [--runs N] [LINUX_BUILD] [WINDOWS_BUILD]
#       (default 5 runs, build-release and build-windows-bench)
# Needs, already built: desktop-bench, corvane, corvane-cli and corvane-gensurvey in
# LINUX_BUILD/bin, the same .exe files but the generator in WINDOWS_BUILD/bin (how: the
# "Windows (under Wine)" section of docs/PERFORMANCE.md). The survey, the Wine prefix and
# the raw figures go to $CORVANE_FIGURES_DIR (default /tmp/corvane-windows-figures).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=5
if [ "${1:-}" = --runs ]; then
    runs="$2"
    shift 2
fi
linux="$(cd "${1:-$root/build-release}" && pwd)/bin"
windows="$(cd "${2:-$root/build-windows-bench}" && pwd)/bin"
work="${CORVANE_FIGURES_DIR:-/tmp/corvane-windows-figures}"
wine=/usr/lib/wine/wine64
for f in "$linux/desktop-bench" "$linux/corvane" "$linux/corvane-cli" "$linux/corvane-gensurvey" \
    "$windows/desktop-bench.exe" "$windows/corvane.exe" "$windows/corvane-cli.exe" "$wine"; do
    [ -x "$f" ] || [ -f "$f" ] || { echo "windows-figures: no $f" >&2; exit 1; }
done
mkdir -p "$work/fonts"
survey="$work/survey.ept"
raw="$work/figures.txt"

# One survey for both: 1,000,000 points, 9,000 J stakes, computed columns filled.
if [ ! -f "$survey" ]; then
    "$linux/corvane-gensurvey" --points 1000000 --jstakes 9000 --computed -o "$survey"
fi

# A prefix of its own. Wine does not hand variables beginning with QT_ to Windows
# programs; the prefix's environment has them instead. Without a display Wine's desktop
# needs the null graphics driver, or every program tries to start it again, in vain.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
winpath() { echo "Z:${1//\//\\}"; }
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1
"$(dirname "$0")/../scripts/wine-offscreen" "$work/fonts" "$wine"
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
# The prefix's Wine server and its desktop stay up between the runs, as Windows and its
# shell do: the server persistent (one left by wineboot or an earlier run is ended
# first), the desktop held by a program left open.
wineserver=/usr/lib/wine/wineserver
"$wineserver" -k 2>/dev/null || true
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" notepad >/dev/null 2>&1 &

# Linux with the huge pages it asks for refused (PR_SET_THP_DISABLE, inherited by the
# program run): the memory as the Windows build gets it.
small_pages() {
    python3 -c 'import ctypes, os, sys
if ctypes.CDLL(None, use_errno=True).prctl(41, 1, 0, 0, 0) != 0:
    sys.exit("prctl: " + os.strerror(ctypes.get_errno()))
os.execv(sys.argv[1], sys.argv[1:])' "$@"
}

ms() { local t="${EPOCHREALTIME//[.,]/}"; echo "${t:0:-3}"; }
load() { cut -d' ' -f1 /proc/loadavg; }

# start SYSTEM COMMAND...: launch to first paint, and launch to main(), in ms.
start() {
    local system="$1" launched out
    shift
    launched="$(ms)"
    out="$("$@" --only start 2>/dev/null | tr -d '\r')"
    awk -v s="$system" -v t0="$launched" -v l="$(load)" '
        $2 == "main-epoch-ms" { m = $3 }
        $2 == "first-paint-epoch-ms" { p = $3 }
        END { if (!p) exit 1
              print s, "start-ms", p - t0, l; print s, "to-main-ms", m - t0, l
              print s, "paint-ms", p - m, l }' \
        <<<"$out" >>"$raw"
}

# version SYSTEM KEY COMMAND...: a program started only to print its version, in ms.
version() {
    local system="$1" key="$2" launched
    shift 2
    launched="$(ms)"
    "$@" --version >/dev/null
    echo "$system $key $(($(ms) - launched)) $(load)" >>"$raw"
}

# figures SYSTEM FILE COMMAND...: the open, the memory after it and the calculation.
figures() {
    local system="$1" file="$2" l
    shift 2
    l="$(load)"
    "$@" --only figures --file "$file" 2>/dev/null | tr -d '\r' |
        awk -v s="$system" -v l="$l" '$1 == "figure" { print s, $2, $3, l }' >>"$raw"
}

export QT_QPA_PLATFORM=offscreen
linuxRun() {
    start linux "$linux/desktop-bench"
    version linux cli-version-ms "$linux/corvane-cli"
    version linux version-ms "$linux/corvane"
    figures linux "$survey" "$linux/desktop-bench"
}
windowsRun() {
    start windows "$wine" "$windows/desktop-bench.exe"
    version windows cli-version-ms "$wine" "$windows/corvane-cli.exe"
    version windows version-ms "$wine" "$windows/corvane.exe"
    figures windows "$(winpath "$survey")" "$wine" "$windows/desktop-bench.exe"
}
smallPagesRun() {
    figures small "$survey" small_pages "$linux/desktop-bench"
}

# A first round not counted: the survey and the programs in the page cache, Wine booted.
: >"$raw"
linuxRun
windowsRun
: >"$raw"
for ((i = 0; i < runs; ++i)); do
    linuxRun
    windowsRun
    smallPagesRun
done

# The medians of each figure, the ratio Windows / Linux, and the load averages seen.
awk -v runs="$runs" '
    function median(list,    a, n, i, j, t) {
        n = split(list, a, " ")
        for (i = 2; i <= n; ++i)
            for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; --j) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
        return n == 0 ? "" : n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    function cell(x) { return x == "" ? sprintf("%8s", "") : sprintf("%8.1f", x) }
    function ratio(a, b) { return a == "" || b == "" || b == 0 ? sprintf("%5s", "") : sprintf("%5.2f", a / b) }
    { v[$1, $2] = v[$1, $2] " " $3
      if (lo == "" || $4 + 0 < lo + 0) lo = $4
      if ($4 + 0 > hi + 0) hi = $4 }
    END {
        n = split("start-ms to-main-ms paint-ms version-ms cli-version-ms open-ms calculation-ms resident-mb", keys, " ")
        name["start-ms"] = "start to the first painted window (ms)"
        name["to-main-ms"] = "  of which launch to main() (ms)"
        name["paint-ms"] = "  of which main() to the first paint (ms)"
        name["version-ms"] = "corvane --version: started, no window (ms)"
        name["cli-version-ms"] = "corvane-cli --version (ms)"
        name["open-ms"] = "open 1M points to the first painted window (ms)"
        name["calculation-ms"] = "data calculation at 1M (ms)"
        name["resident-mb"] = "resident memory after loading (MB)"
        printf "| %-48s | %8s | %8s | %5s | %8s | %5s |\n|---|---|---|---|---|---|\n", \
            "median of " runs " runs", "Linux", "Windows", "ratio", "Linux 4K", "ratio"
        for (k = 1; k <= n; ++k) {
            l = median(v["linux", keys[k]]); w = median(v["windows", keys[k]]); s = median(v["small", keys[k]])
            printf "| %-48s | %s | %s | %s | %s | %s |\n", name[keys[k]], cell(l), cell(w), ratio(w, l), cell(s), ratio(w, s)
        }
        printf "\nratio: Windows / Linux; Linux 4K: the Linux build with huge pages refused, and\n"
        printf "Windows / that. Load average (1 min) during the runs: %s to %s.\nRaw figures: %s\n", lo, hi, FILENAME
    }' "$raw"
