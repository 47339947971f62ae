#!/usr/bin/env bash
# Checks Nimbra as installed, away from the folders it was built in:
#   check-installed-tree.sh programs|metadata|paths BUILD_FOLDER|PACKAGE.deb
# A build folder is installed with `cmake --install` under the prefix /usr into a temporary
# folder, a package is unpacked there; the tree is then moved, so nothing may rely on where it
# was put. The sources and the build folder must never be reached from the installed files.
#   check-installed-tree.sh runpaths BUILD_FOLDER
# checks the RUNPATHs of the build folder's own programs and libraries, which are run from it.
set -euo pipefail
part=$1
origin=$(realpath "$2")
forbidden=("$(realpath "$(dirname "$0")/..")")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if [[ $origin == *.deb ]]; then
    dpkg-deb -x "$origin" "$scratch/first"
elif [[ $part != runpaths ]]; then
    DESTDIR="$scratch/first" cmake --install "$origin" --prefix /usr >/dev/null
    forbidden+=("$origin")
fi
mkdir -p "$scratch/first"
mv "$scratch/first" "$scratch/moved"
root=$scratch/moved/usr

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Fails when the text names the sources or the build folder.
shows_no_build_path() {
    for path in "${forbidden[@]}"; do
        [[ $1 != *"$path"* ]] || fail "$2 names $path"
    done
}

# Runs an installed program offscreen, without a library path of the caller, with the loader's
# trace; fails on another exit status, or if the loader as much as looked into a build path.
run_traced() {
    local expected=$1 status=0
    shift
    rm -f "$scratch"/trace.*
    env -u LD_LIBRARY_PATH -u NIMBRA_OCI_LIBRARY -u ORACLE_HOME QT_QPA_PLATFORM=offscreen \
        LD_DEBUG=libs LD_DEBUG_OUTPUT="$scratch/trace" "$@" >"$scratch/out" 2>"$scratch/err" ||
        status=$?
    [[ $status == "$expected" ]] || fail "$* exited with $status: $(cat "$scratch/err")"
    trace=$(cat "$scratch"/trace.*)
    shows_no_build_path "$trace" "the loader's search for $*"
}

check_programs() {
    local sim_loaded="calling init: $root/bin/../lib/*/libnimbra_sim.so"
    run_traced 0 "$root/bin/nimbra-sessions" system/manager@sim:demo
    [[ $(head -1 "$scratch/out") == Username* && $(wc -l <"$scratch/out") -gt 10 ]] ||
        fail "nimbra-sessions printed no session list: $(cat "$scratch/out")"
    [[ $trace == *$sim_loaded* ]] || fail "nimbra-sessions did not load the installed library"
    run_traced 0 "$root/bin/nimbra" --version
    [[ $(cat "$scratch/out") == "Nimbra Version "* ]] || fail "nimbra --version: $(cat "$scratch/out")"
    [[ $trace == *$sim_loaded* ]] || fail "nimbra did not load the installed library"
    # A real host string makes the program look for the Oracle client library, always by its
    # full path: a search by name would reach folders the loader reads as the working folder.
    run_traced 1 "$root/bin/nimbra-sessions" nobody/secret@nosuchdb
    [[ $(cat "$scratch/err") == "ORACLE Error"* ]] || fail "no log-on failure: $(cat "$scratch/err")"
    [[ $trace != *"find library=libclntsh"* ]] || fail "the client library was looked for by name"
}

check_metadata() {
    local entries=("$root"/share/applications/*.desktop)
    [[ ${#entries[@]} == 1 ]] || fail "not one desktop entry: ${entries[*]}"
    local desktop=${entries[0]} id
    id=$(basename "$desktop" .desktop)
    desktop-file-validate "$desktop"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not show the icon $id"
    [[ -x $root/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop") ]] || fail "Exec names no program"
    local metainfo=$root/share/metainfo/$id.metainfo.xml
    appstreamcli validate --no-net "$metainfo"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
    for size in 16 22 24 32 48 64 128 256; do
        local icon=$root/share/icons/hicolor/${size}x$size/apps/$id.png
        [[ $((16#$(od -An -j16 -N4 -tx1 "$icon" | tr -d ' \n'))) == "$size" ]] ||
            fail "$icon is not $size pixels wide"
    done
    [[ -s $root/share/icons/hicolor/scalable/apps/$id.svg ]] || fail "no scalable icon"
    for program in "$root"/bin/*; do
        local page=$root/share/man/man1/$(basename "$program").1.gz
        [[ -z $(MANWIDTH=80 man --warnings -P cat -l "$page" 2>&1 >/dev/null) ]] ||
            fail "$page: $(man --warnings -P cat -l "$page" 2>&1 >/dev/null)"
    done
}

check_paths() {
    while IFS= read -r -d '' file; do
        local elf=false
        readelf -h "$file" >/dev/null 2>&1 && elf=true
        # A development build's binaries keep source paths in their debug information; the
        # package's are stripped and keep none.
        if [[ $elf == false || $origin == *.deb ]]; then
            for path in "${forbidden[@]}"; do
                ! grep -qF "$path" "$file" || fail "$file names $path"
            done
        fi
        [[ $elf == true ]] || continue
        local dynamic
        dynamic=$(readelf -d "$file")
        shows_no_build_path "$dynamic" "the dynamic section of $file"
        searches_only_beside_itself "$file" "$dynamic"
        [[ $dynamic != *libclntsh* ]] || fail "$file links the Oracle client library"
    done < <(find "$root" -type f -print0)
}

# Fails unless every RUNPATH entry of the file is relative to the file itself: the loader reads
# an empty or relative entry as the working folder of whoever runs it.
searches_only_beside_itself() {
    local entry
    while IFS= read -r entry; do
        [[ $entry == '$ORIGIN'* ]] || fail "$1 searches '$entry'"
    done < <(sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p' <<<"$2" | tr : '\n')
}

check_runpaths() {
    while IFS= read -r -d '' file; do
        readelf -h "$file" >/dev/null 2>&1 || continue
        searches_only_beside_itself "$file" "$(readelf -d "$file")"
    done < <(find "$origin" -path '*/CMakeFiles' -prune -o -type f \( -name '*.so*' -o -perm -u+x \) -print0)
}

"check_$part"
echo "$part checked"
