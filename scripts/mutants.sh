#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plants one-line faults in src/ one at a time and tells which of them the unit
# tests catch: for each, it changes the file, builds what the change affects,
# runs the unit tests until one fails, and puts the file back.
#
#   nice -n 10 scripts/mutants.sh [options]
#
#   --list FILE     the faults (default: scripts/mutants.list)
#   --build DIR     the build folder (default: build/; configured when missing)
#   --only TEXT     only the faults whose file path contains TEXT
#   --from N        start at the Nth fault, to go on after an interruption
#   --timeout SEC   the most one test may take before the fault counts as
#                   caught, as a hang (default 120)
#   --no-baseline   skip the run without a fault, which checks that the
#                   suite passes as it is
#   --check         only check the list against the sources, build nothing
#   -j N            build jobs and tests at once (default 2)
#
# The list holds one fault a line, "FILE | ORIGINAL ==> REPLACEMENT": FILE
# below the repository, ORIGINAL a snippet of one line that occurs exactly once
# in it, and REPLACEMENT what stands there instead (empty: the snippet goes).
# Lines starting with "#" and blank lines are skipped. The list is checked
# first, and a snippet found not exactly once stops the run before anything
# is built: the code moved, and its line must be written anew.
#
# The tests run through CTest, each in a process of its own as in every other
# run, with --stop-on-failure: first those of the file's folder
# (calidra_<folder>_tests, built alone; the tray's for src/platform/tray/),
# then the rest of the unit tests. A failing or crashing test, or one past the
# timeout, catches the fault; a fault that does not build is told apart and
# counted in neither column. The end-to-end, package, include and
# translation-source checks do not run: they read no line of src/ that the
# unit tests leave out, and take minutes.
#
# The file is put back after each fault, and on Ctrl-C or any other exit; a
# run killed outright (SIGKILL) leaves the fault in place: `git checkout -- FILE`.
# Afterwards the test executables are built again from the restored sources.
# Too slow for CI: a run of the whole list takes about an hour on two cores.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

repo=$(cd "$(dirname "$0")/.." && pwd)
list="$repo/scripts/mutants.list"
build="$repo/build"
only=""
from=1
limit=120
baseline=1
check_only=0
jobs=2

usage() {
    sed -n '3,18p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case $1 in
    --list) list=$(realpath "$2"); shift 2 ;;
    --build) build=$(realpath -m "$2"); shift 2 ;;
    --only) only=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --no-baseline) baseline=0; shift ;;
    --check) check_only=1; shift ;;
    -j) jobs=$2; shift 2 ;;
    *) usage ;;
    esac
done

# The faults, as parallel arrays.
files=()
originals=()
replacements=()
lines=()

stale=0
line_number=0
while IFS= read -r entry || [ -n "$entry" ]; do
    line_number=$((line_number + 1))
    case $entry in '' | '#'*) continue ;; esac
    if [[ $entry != *' | '*' ==>'* ]]; then
        echo "$list:$line_number: not \"FILE | ORIGINAL ==> REPLACEMENT\"" >&2
        stale=1
        continue
    fi
    file=${entry%% | *}
    rest=${entry#* | }
    original=${rest%% ==>*}
    replacement=${rest#* ==>}
    replacement=${replacement# }
    [ -n "$only" ] && [[ $file != *"$only"* ]] && continue
    if [ ! -f "$repo/$file" ]; then
        echo "$list:$line_number: no file $file" >&2
        stale=1
        continue
    fi
    content=$(<"$repo/$file")
    without=${content//"$original"/}
    found=$(((${#content} - ${#without}) / ${#original}))
    if [ "$found" -ne 1 ] || [ "$original" = "$replacement" ]; then
        echo "$list:$line_number: $file holds \"$original\" $found times (must be once)" >&2
        stale=1
        continue
    fi
    files+=("$file")
    originals+=("$original")
    replacements+=("$replacement")
    lines+=("$line_number")
done <"$list"

if [ "$stale" -ne 0 ]; then
    echo "the list does not fit the sources; nothing was changed" >&2
    exit 2
fi
echo "${#files[@]} faults in $list fit the sources"
[ "$check_only" -eq 1 ] && exit 0
[ "${#files[@]}" -gt 0 ] || exit 0

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$repo" -B "$build" -G Ninja -DCALIDRA_BUILD_TESTS=ON
fi

# The unit-test executables, by target name.
mapfile -t targets < <(ninja -C "$build" -t targets all |
    sed -n 's/^\(calidra_[a-z_]*_tests\): phony$/\1/p' | sort -u)
[ "${#targets[@]}" -gt 0 ] || { echo "no test executables in $build" >&2; exit 1; }

build_targets() {
    cmake --build "$build" -j "$jobs" --target "$@" >"$scratch/build.log" 2>&1
}

scratch=$(mktemp -d)
backup=""
mutated=""
child=""

restore() {
    if [ -n "$mutated" ]; then
        cp "$backup" "$repo/$mutated"
        mutated=""
    fi
}

finish() {
    [ -n "$child" ] && kill -TERM "$child" 2>/dev/null && wait "$child" 2>/dev/null
    restore
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 130' INT TERM

# Runs the CTest tests whose names match `regex`, stopping at the first that
# fails; their status. In the background, so that Ctrl-C is heard at once,
# and as a job of its own: without job control a background command would
# ignore SIGINT, and so would the tests of termination signals.
run_tests() {
    set -m
    ctest --test-dir "$build" -R "$1" --stop-on-failure -j "$jobs" --timeout "$limit" \
        --output-on-failure >"$scratch/test.log" 2>&1 &
    child=$!
    set +m
    local status=0
    wait "$child" || status=$?
    child=""
    return "$status"
}

echo "building the test executables in $build"
build_targets "${targets[@]}" || { cat "$scratch/build.log" >&2; exit 1; }

# The CTest names of each executable's tests, as a regular expression: its
# GoogleTest suites ("Suite.", "Cases/Suite.", names without any character
# special in one) at the start of the name.
declare -A suites=()
for target in "${targets[@]}"; do
    path=$(find "$build/tests" -type f -name "$target" -perm -u+x -print -quit)
    suites[$target]=$("$path" --gtest_list_tests 2>/dev/null | grep -v '^ ' |
        sed 's/[.]$//' | paste -sd '|' -)
done
regex_of() {
    local alternatives=() target
    for target in "$@"; do
        alternatives+=("${suites[$target]}")
    done
    local joined
    joined=$(IFS='|'; echo "${alternatives[*]}")
    echo "^($joined)[.]"
}
everything=$(regex_of "${targets[@]}")

if [ "$baseline" -eq 1 ]; then
    echo "running the suite without a fault"
    start=$SECONDS
    if ! run_tests "$everything"; then
        cat "$scratch/test.log" >&2
        echo "the suite fails without a fault: fix it first" >&2
        exit 1
    fi
    echo "  $((SECONDS - start)) s"
fi

# The test target of a source file's folder; empty when it has none.
own_target() {
    local folder=${1#src/}
    folder=${folder%/*}
    case $folder in
    platform/tray) folder=tray ;;
    platform/*) folder=platform ;;
    esac
    local wanted="calidra_${folder}_tests"
    for target in "${targets[@]}"; do
        [ "$target" = "$wanted" ] && echo "$target"
    done
    return 0
}

caught=0
unbuilt=0
survivors=()
total=${#files[@]}

for ((i = from - 1; i < total; i++)); do
    file=${files[$i]}
    content=$(<"$repo/$file")
    before=${content%%"${originals[$i]}"*}
    newlines=${before//[!$'\n']/}
    where="$file:$((${#newlines} + 1))"
    backup="$scratch/original"
    cp -p "$repo/$file" "$backup"
    mutated=$file
    printf '%s\n' "${content/"${originals[$i]}"/"${replacements[$i]}"}" >"$repo/$file"

    own=$(own_target "$file")
    others=()
    for target in "${targets[@]}"; do
        [ "$target" != "$own" ] && others+=("$target")
    done

    # The folder's own tests first, built alone: most faults end there.
    verdict="SURVIVED"
    steps=()
    [ -n "$own" ] && steps+=("own")
    steps+=("others")
    for step in "${steps[@]}"; do
        if [ "$step" = "own" ]; then
            build_targets "$own" || { verdict="NO BUILD"; break; }
            regex=$(regex_of "$own")
        else
            build_targets "${targets[@]}" || { verdict="NO BUILD"; break; }
            regex=$(regex_of "${others[@]}")
        fi
        if ! run_tests "$regex"; then
            failed=$(sed -n 's/^.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Timeout\|Exception\).*$/\1 (\2)/p' \
                "$scratch/test.log" | head -1)
            verdict="caught ${failed:-(the tests fail)}"
            break
        fi
    done
    restore

    case $verdict in
    caught*) caught=$((caught + 1)) ;;
    "NO BUILD") unbuilt=$((unbuilt + 1)) ;;
    *) survivors+=("$where  ${originals[$i]} ==> ${replacements[$i]}") ;;
    esac
    printf '[%3d/%d] %s  %s\n' "$((i + 1))" "$total" "$where" "$verdict"
done

echo "building the test executables from the restored sources"
build_targets "${targets[@]}" || cat "$scratch/build.log" >&2

echo
echo "caught $caught of $((total - from + 1 - unbuilt)) faults$([ "$unbuilt" -gt 0 ] && echo " ($unbuilt did not build)")"
if [ "${#survivors[@]}" -gt 0 ]; then
    echo "survived:"
    printf '  %s\n' "${survivors[@]}"
fi
