#!/bin/bash
# The tag check fails on each kind of mismatch planted into a small copy of
# the sources: this proves it is no check that always passes.
# Usage: planted_mismatches_test.sh [SOURCE_ROOT]
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=${1:-$(cd "$here/../.." && pwd)}
work=$(mktemp -d "${TMPDIR:-/tmp}/klotzar-tags-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0

# A tree of two lines and their two tags, which passes.
plant() {
    rm -rf "$work/tree" && mkdir -p "$work/tree/docs" "$work/tree/src/game"
    cat >"$work/tree/docs/behaviour.md" <<'DOC'
# Behaviour
## Quirks kept
- [slow-turn] Turning is slow.
## Deliberate changes
- [safe-save] Saves are safe.
DOC
    cat >"$work/tree/src/game/a.cpp" <<'CODE'
// QUIRK: [slow-turn] turning waits (kept)
int turn();
// CHANGE: [safe-save] renamed over the old file
int save();
CODE
}

expect() {  # expect pass|fail "what was planted" [message the check must print]
    local want=$1 what=$2 message=${3:-}
    local out rc
    out=$("$here/behaviour_tags.sh" "$work/tree" 2>&1)
    rc=$?
    if [ "$want" = pass ] && [ $rc -ne 0 ]; then
        echo "FAIL: $what: the check failed: $out"; failures=$((failures + 1))
    elif [ "$want" = fail ] && [ $rc -eq 0 ]; then
        echo "FAIL: $what: the check passed"; failures=$((failures + 1))
    elif [ -n "$message" ] && ! grep -qF -- "$message" <<<"$out"; then
        echo "FAIL: $what: no '$message' in: $out"; failures=$((failures + 1))
    else
        echo "ok: $what"
    fi
}

plant
expect pass "two lines, two tags"

plant; sed -i 's/\[safe-save\] renamed/[safe-saves] renamed/' "$work/tree/src/game/a.cpp"
expect fail "a tag naming a key that is not there" "[safe-saves] is not a line"

plant; sed -i 's|// CHANGE: \[safe-save\]|// QUIRK: [safe-save]|; s|old file$|old file (kept)|' "$work/tree/src/game/a.cpp"
expect fail "a QUIRK tag for a deliberate change" "under the other section"

plant; echo "// CHANGE: a tag with no key" >>"$work/tree/src/game/a.cpp"
expect fail "a tag without a key" "tag without a [key]"

plant; echo "// BUGFIX: [safe-save] the old word" >>"$work/tree/src/game/a.cpp"
expect fail "a tag of another kind" "under the other section"

plant; echo "- [new-line] A change no code carries." >>"$work/tree/docs/behaviour.md"
expect fail "a line with no tag" "[new-line] of docs/behaviour.md has no CHANGE tag"

plant; echo "- A line without a key." >>"$work/tree/docs/behaviour.md"
expect fail "a line without a key" "has no [key]"

plant; echo "- [slow-turn] The same key twice." >>"$work/tree/docs/behaviour.md"
expect fail "one key for two lines" "names two lines"

plant; sed -i 's/turning waits (kept)/turning waits/' "$work/tree/src/game/a.cpp"
expect fail "a QUIRK tag without (kept)" "ends with (kept)"

plant; mkdir -p "$work/tree/dist"; echo "- [desktop] The desktop entry." >>"$work/tree/docs/behaviour.md"
echo "# CHANGE: [desktop] named for the desktop" >"$work/tree/dist/entry.desktop"
expect pass "a line whose tag is in dist/"

# And the real tree passes.
if out=$("$here/behaviour_tags.sh" "$root" 2>&1); then echo "ok: the sources: $out"
else echo "FAIL: the sources: $out"; failures=$((failures + 1)); fi

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
