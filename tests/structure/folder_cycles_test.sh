#!/bin/bash
# Fails when two folders of src/ depend on each other, directly or through
# others: a folder may use another's headers only if nothing of that one
# leads back to it. Reads the #include "folder/file" lines of every file.
# Usage: folder_cycles_test.sh SRC_DIR
set -u
src=${1:?usage: folder_cycles_test.sh SRC_DIR}
[ -d "$src" ] || { echo "no such folder: $src" >&2; exit 2; }
cd "$src" || exit 2

declare -A isFolder=() uses=() via=()
for dir in */; do isFolder[${dir%/}]=1; done
[ ${#isFolder[@]} -gt 1 ] || { echo "fewer than two folders under $src" >&2; exit 2; }

# Every include that crosses folders, as "from to file"; one grep reads them all.
count=0
while IFS=: read -r file line; do
    from=${file%%/*}
    [[ $line =~ include[[:space:]]*\"([^\"/]+)/ ]] || continue
    to=${BASH_REMATCH[1]}
    [ "$to" != "$from" ] && [ -n "${isFolder[$to]:-}" ] || continue
    uses[$from]+=" $to"
    via["$from $to"]+=" $file"
    count=$((count + 1))
done < <(grep -rE --include='*.h' --include='*.cpp' --include='*.in' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' .  | sed 's|^\./||')

# True when folder $1 leads to folder $2 through the includes.
reaches() {
    local -A seen=()
    local todo=("$1") at next
    while [ ${#todo[@]} -gt 0 ]; do
        at=${todo[0]}
        todo=("${todo[@]:1}")
        for next in ${uses[$at]:-}; do
            [ "$next" = "$2" ] && return 0
            [ -n "${seen[$next]:-}" ] && continue
            seen[$next]=1
            todo+=("$next")
        done
    done
    return 1
}

circles=()
for edge in "${!via[@]}"; do
    read -r from to <<<"$edge"
    # An include is part of a circle when its target leads back to its folder.
    if reaches "$to" "$from"; then
        for file in $(tr ' ' '\n' <<<"${via[$edge]}" | sort -u); do circles+=("  $file -> $to/"); done
    fi
done

if [ ${#circles[@]} -eq 0 ]; then
    echo "no circle among the folders of $src ($count includes across folders)"
    exit 0
fi
echo "folders of $src that depend on each other, through:" >&2
printf '%s\n' "${circles[@]}" | sort >&2
exit 1
