#!/bin/bash
# Every line of docs/behaviour.md under "Quirks kept" and "Deliberate changes"
# starts with a key in brackets, and the code carries that key where a reader
# would otherwise "fix" it:
#     // QUIRK: [key] what is kept (kept)        for a line of "Quirks kept"
#     // CHANGE: [key] what is different         for a line of "Deliberate changes"
# (# instead of // in scripts and data files; src, tools, dist and scripts
# are searched). The check fails when a line has no key or no tag, when two
# lines share a key, when a tag names a key that is not there or is in the
# other section, when a tag has no key, or when a QUIRK tag lacks "(kept)".
# Usage: behaviour_tags.sh [SOURCE_ROOT]
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
doc=$root/docs/behaviour.md
[ -f "$doc" ] || { echo "FAIL: $doc is missing"; exit 1; }

folders=()
for folder in src tools dist scripts; do [ -d "$root/$folder" ] && folders+=("$root/$folder"); done
# Every tag as FILE:LINE:TEXT, the root cut off.
tags=$( (grep -rnE '(//|#) *(QUIRK|CHANGE|BUGFIX)\b' "${folders[@]}" 2>/dev/null || true) | sed "s|^$root/||")

printf '%s\n' "$tags" | awk -v doc="$doc" '
BEGIN {
    while ((getline line < doc) > 0) {
        ++n
        if (line ~ /^## Quirks kept/) { section = "QUIRK"; continue }
        if (line ~ /^## Deliberate changes/) { section = "CHANGE"; continue }
        if (line ~ /^## /) { section = ""; continue }
        if (section == "" || line !~ /^- /) continue
        ++lines
        if (!match(line, /^- \[[a-z0-9-]+\] /)) { problem("docs/behaviour.md:" n " has no [key] at its start"); continue }
        key = substr(line, 4, RLENGTH - 5)
        if (key in kind) problem("key [" key "] names two lines of docs/behaviour.md")
        kind[key] = section
        order[++keys] = key
    }
}
function problem(text) { print "FAIL: " text; ++problems }
NF == 0 { next }
{
    split($0, part, ":")
    where = part[1] ":" part[2]
    text = substr($0, length(where) + 2)
    match(text, /(QUIRK|CHANGE|BUGFIX)/)
    tag = substr(text, RSTART, RLENGTH)
    if (!match(text, /(QUIRK|CHANGE|BUGFIX): \[[a-z0-9-]+\]/)) {
        sub(/^[ \t]+/, "", text)
        problem(where ": tag without a [key]: " text)
        next
    }
    key = substr(text, RSTART, RLENGTH)
    sub(/^[A-Z]+: \[/, "", key)
    sub(/\]$/, "", key)
    tagged[key] = 1
    if (!(key in kind)) problem(where ": [" key "] is not a line of docs/behaviour.md")
    else if (kind[key] != tag) problem(where ": " tag " tag for [" key "], which docs/behaviour.md lists under the other section")
    else if (tag == "QUIRK" && text !~ /\(kept\)/) problem(where ": a QUIRK tag ends with (kept)")
}
END {
    for (i = 1; i <= keys; ++i)
        if (!(order[i] in tagged)) problem("[" order[i] "] of docs/behaviour.md has no " kind[order[i]] " tag in the code")
    if (problems > 0) {
        print problems " problem(s) between docs/behaviour.md and the tags in the code"
        exit 1
    }
    print "OK: " lines " lines of docs/behaviour.md, each tagged in the code; every tag names one of them"
}'
