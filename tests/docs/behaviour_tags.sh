#!/bin/bash
# Every line of docs/behaviour.md under "Quirks kept" and "Deliberate changes"
# starts with a key in brackets, and the code carries that key where a reader
# would otherwise "fix" it:
#     // QUIRK: [key] what is kept (kept)        for a line of "Quirks kept"
#     // CHANGE: [key] what is different         for a line of "Deliberate changes"
# (# instead of // in scripts and data files). The check fails when a line has
# no key or no tag, when a tag names a key that is not there or is in the
# other section, or when a tag has no key at all.
# Usage: behaviour_tags.sh [SOURCE_ROOT]
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
doc=$root/docs/behaviour.md
[ -f "$doc" ] || { echo "FAIL: $doc is missing"; exit 1; }

problems=0
problem() { echo "FAIL: $*"; problems=$((problems + 1)); }

# key and section ("QUIRK" or "CHANGE") of every line, one pair a line.
keys=$(awk '
    /^## Quirks kept/ { section = "QUIRK"; next }
    /^## Deliberate changes/ { section = "CHANGE"; next }
    /^## / { section = ""; next }
    section != "" && /^- / {
        if (match($0, /^- \[[a-z0-9-]+\] /)) print substr($0, 4, RLENGTH - 5), section
        else print "-", section, NR
    }' "$doc")
while read -r key section line; do
    [ "$key" = "-" ] && problem "docs/behaviour.md:$line has no [key] at its start"
done <<<"$keys"
dupes=$(awk '$1 != "-" { print $1 }' <<<"$keys" | sort | uniq -d)
for key in $dupes; do problem "key [$key] names two lines of docs/behaviour.md"; done

# Every tag in the code, as FILE:LINE:TEXT.
folders=()
for folder in src tools dist scripts; do [ -d "$root/$folder" ] && folders+=("$root/$folder"); done
tags=$(grep -rnE '(//|#) *(QUIRK|CHANGE|BUGFIX)\b' "${folders[@]}" 2>/dev/null | sed "s|^$root/||")

used=""
while IFS= read -r tag; do
    [ -z "$tag" ] && continue
    where=${tag%%:*}:$(cut -d: -f2 <<<"$tag")
    text=${tag#*:*:}
    kind=$(grep -oE '(QUIRK|CHANGE|BUGFIX)' <<<"$text" | head -1)
    key=$(sed -nE 's/.*(QUIRK|CHANGE|BUGFIX): \[([a-z0-9-]+)\].*/\2/p' <<<"$text")
    if [ -z "$key" ]; then
        problem "$where: tag without a [key]: ${text#"${text%%[![:space:]]*}"}"
        continue
    fi
    section=$(awk -v k="$key" '$1 == k { print $2 }' <<<"$keys")
    if [ -z "$section" ]; then
        problem "$where: [$key] is not a line of docs/behaviour.md"
    elif [ "$section" != "$kind" ]; then
        problem "$where: $kind tag for [$key], which docs/behaviour.md lists under the other section"
    elif [ "$kind" = QUIRK ] && ! grep -q '(kept)' <<<"$text"; then
        problem "$where: a QUIRK tag ends with (kept)"
    fi
    used="$used $key"
done <<<"$tags"

while read -r key section line; do
    [ "$key" = "-" ] && continue
    tr ' ' '\n' <<<"$used" | grep -qx -- "$key" || problem "[$key] of docs/behaviour.md has no $section tag in the code"
done <<<"$keys"

lines=$(grep -c . <<<"$keys")
if [ "$problems" -gt 0 ]; then
    echo "$problems problem(s) between docs/behaviour.md and the tags in the code"
    exit 1
fi
echo "OK: $lines lines of docs/behaviour.md, each tagged in the code; every tag names one of them"
