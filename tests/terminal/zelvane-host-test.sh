#!/usr/bin/env bash
# zelvane-host driven as a person drives it.
#
#   zelvane-host-test.sh command-line HOST   bad input: a clear message and exit status
#   zelvane-host-test.sh full-screen HOST    the demo in tmux: select, F11, a template,
#                                            OK, the renamed files and the failure list,
#                                            the dialog's help, the history list, typing
#                                            with completion and a paste, a
#                                            warning, configuration, the editor (its
#                                            own and EDITOR's), a resize, editing
#                                            the names in the editor, quit
#
# The full-screen run is skipped (exit 77) when tmux is not installed.
set -u
export LC_ALL=C.UTF-8
mode=$1
host=$(realpath "$2")
work=$(mktemp -d)
socket="zelvane-test-$$"

cleanup() {
    if [ "$mode" = full-screen ]; then tmux -L "$socket" kill-server 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    if [ "$mode" = full-screen ]; then
        echo "--- the screen:"
        tmux -L "$socket" capture-pane -p 2>/dev/null
    fi
    exit 1
}

# ---------------------------------------------------------------- command line

expect_exit() {
    local want=$1 message=$2
    shift 2
    local output status
    output=$("$host" "$@" </dev/null 2>&1)
    status=$?
    [ "$status" = "$want" ] || fail "zelvane-host $* exited $status, not $want: $output"
    grep -qF -- "$message" <<<"$output" || fail "zelvane-host $* said: $output (no '$message')"
}

if [ "$mode" = command-line ]; then
    touch "$work/plain-file"
    mkdir "$work/files"
    profile="$work/profile"
    expect_exit 3 "the folder $work/missing does not exist" --profile "$profile" "$work/missing"
    expect_exit 3 "$work/plain-file is not a folder" --profile "$profile" "$work/plain-file"
    expect_exit 4 "the plugin did not load: " --profile "$profile" --plugin "$work/plain-file" "$work/files"
    expect_exit 4 "$work/none.so" --profile "$profile" --plugin "$work/none.so" "$work/files"
    expect_exit 5 "cannot use the profile folder $work/plain-file" --profile "$work/plain-file" "$work/files"
    expect_exit 2 "unknown option --colour" --colour "$work/files"
    expect_exit 2 "only one folder" "$work/files" "$work/files"
    # Without a terminal the line mode reads commands.
    output=$(printf 'q\n' | "$host" --profile "$profile" "$work/files" 2>&1) || fail "line mode failed: $output"
    grep -qF "menu 0: Zelvane 3" <<<"$output" || fail "line mode said: $output"
    # Keys left on the dialog's line are typed ahead: Esc meets the run at
    # its 16th file, and Yes stops it there.
    mkdir "$work/many"
    for i in $(seq 10 29); do echo "$i" >"$work/many/f$i.txt"; done
    output=$(printf 'a\no\n<Ctrl+A>n%%#.%%e<Enter><Esc>\n1\nq\n' |
             "$host" --profile "$profile" "$work/many" 2>&1) || fail "line mode failed: $output"
    grep -qF "Stop renaming?" <<<"$output" || fail "Esc did not ask to stop: $output"
    renamed=$(ls "$work/many" | grep -c '^n')
    [ "$renamed" = 15 ] || fail "the stopped run renamed $renamed files, not 15: $(ls "$work/many")"
    echo "command line: passed"
    exit 0
fi

# ---------------------------------------------------------------- full screen

command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }

T() { tmux -L "$socket" "$@"; }
screen_text() { T capture-pane -p; }

# Waits (generously: the machine may be busy) until the screen shows the
# text; fails at once if zelvane-host has ended while it should run.
running=1
wait_for() {
    local deadline=$((SECONDS + 60))
    until screen_text | grep -qF -- "$1"; do
        [ $SECONDS -lt $deadline ] || fail "the screen never showed '$1'"
        [ $running = 0 ] || [ ! -s "$work/status" ] || fail "zelvane-host ended while waiting for '$1'"
        sleep 0.2
    done
}

wait_gone() {
    local deadline=$((SECONDS + 60))
    while screen_text | grep -qF -- "$1"; do
        [ $SECONDS -lt $deadline ] || fail "the screen still shows '$1'"
        sleep 0.2
    done
}

# The columns before `text` on the first screen line that has it.
column_of() {
    local line
    line=$(screen_text | grep -F -- "$1" | head -n 1)
    local before=${line%%"$1"*}
    echo ${#before}
}

mkdir -p "$work/tmp"
T -f /dev/null new-session -d -x 80 -y 25 \
    "cd '$work' && env -u NO_COLOR -u VISUAL -u EDITOR LANG=C.UTF-8 TMPDIR='$work/tmp' '$host' --demo --profile '$work/profile';
     echo \$? >'$work/status'; sleep 600"

wait_for "files: 12, folders: 1"
demo=$(ls -d "$work"/tmp/zelvane-demo-*) || fail "no demo folder in $work/tmp"
wait_for "$(basename "$demo")"

# Insert and Shift+Down select; the summary shows in the separator, selected names in yellow.
T send-keys Down Down Insert S-Down
wait_for "Bytes: 101, files: 2, folders: 0"
T capture-pane -p -e | grep -F "archive.zip" | grep -qF $'\e[93m' || fail "archive.zip is not shown selected"
T send-keys KP-
wait_gone "files: 2, folders: 0"
T send-keys KP*
wait_for "files: 12, folders: 0"

# The cursor is on data.txt; F11, the plugin, a template typed over the old one, OK.
T send-keys F11
wait_for "Plugin commands"
T send-keys Enter
wait_for "Name template"
T send-keys -l 'file%#.%e'
# F3 shows the preview over the screen; Esc brings the dialog back, and
# nothing has been renamed.
T send-keys F3
wait_for '"data.txt" -> "file2.txt"  (the target exists)'
wait_for "12 files: 11 renamed, 1 fail"
[ -e "$demo/archive.zip" ] || fail "the preview renamed archive.zip"
T send-keys Escape
wait_for "Name template"
T send-keys Enter
wait_for '"data.txt" -> "file2.txt"'
wait_for "These files could not be renamed"
failure_lists() { find "$work/tmp" -maxdepth 1 -type f -name '*.txt'; }
[ -n "$(failure_lists)" ] || fail "the failure list is not in the temporary folder"
for name in file0.zip file1.csv file2.txt file3.jpg file10.txt data.txt; do
    [ -e "$demo/$name" ] || fail "$name is missing after the rename"
done
[ ! -e "$demo/archive.zip" ] || fail "archive.zip was not renamed"

# Esc closes the list (and deletes it); the panel shows the new names, the
# cursor still on data.txt, which stays selected.
T send-keys Escape
wait_for "file10.txt"
screen_text | sed -n 22p | grep -qF "data.txt" || fail "the cursor left data.txt"
wait_for "files: 1, folders: 0"
[ -z "$(failure_lists)" ] || fail "the failure list was not deleted"

# F1 shows the dialog's help page over the screen; Tab chooses its first
# link, Enter follows it; Esc brings the dialog back.
T send-keys F11
wait_for "Plugin commands"
T send-keys Enter
wait_for "Name template"
T send-keys F1
wait_for "Help - Zelvane 3"
wait_for "Zelvane 3: rename dialog"
T send-keys Tab Enter
wait_for "Zelvane 3 renames the selected files"
T send-keys Escape
wait_gone "Help - Zelvane 3"
wait_for "Name template"

# The template is in the history now: a click on the edit line's arrow
# lists it below the line, under today's date; Ins locks it (ticked) and
# unlocks it again.
T send-keys -l $'\e[<0;74;11M'
wait_for "│  file%#.%e"
wait_for " $(date +%m/%d/%Y) "
T send-keys IC
wait_for "│√ file%#.%e"
T send-keys IC
wait_for "│  file%#.%e"
T send-keys Escape
wait_gone "│  file%#.%e"

# Typing offers the history's entries that start with the text; Down takes
# one into the edit, Esc closes only the list. A paste into the terminal
# arrives as one paste into the template.
T send-keys -l 'fi'
wait_for "│  file%#.%e"
T send-keys Down
wait_for "│  file%#.%e"
T send-keys Escape
wait_gone "│  file%#.%e"
wait_for "Name template"
T send-keys C-y
T set-buffer -- 'pasted%#'
T paste-buffer -p
wait_for "pasted%#"
T send-keys Escape
wait_gone "Name template"

# Nothing selected: the plugin's warning, white on red.
T send-keys KP- F11
wait_for "Plugin commands"
T send-keys Enter
wait_for "Nothing to rename"
T capture-pane -p -e | grep -F "Nothing to rename" | grep -qE $'\e\\[(97;)?41m|\e\\[41m' ||
    fail "the warning is not in Far's warning colours"
T send-keys Enter
wait_gone "Nothing to rename"

# Configuration: the switch is stored and shown checked the next time.
T send-keys M-S-F9
wait_for "Plugins configuration"
T send-keys Enter
wait_for "[ ] Rename the file under the cursor"
T send-keys Space Enter
wait_gone "Rename the file under the cursor"
wait_for "Plugins configuration"
T send-keys Enter
wait_for "[x] Rename the file under the cursor"

# A resize lays the panels and the open dialog out again.
T resize-window -x 120 -y 40
wait_for "Time"
deadline=$((SECONDS + 60))
until [ "$(column_of "{ OK } [ Cancel ]")" = 51 ]; do
    [ $SECONDS -lt $deadline ] || fail "the options dialog was not laid out for 120 columns"
    sleep 0.2
done
T send-keys Escape
wait_gone "[x] Rename the file under the cursor"
T send-keys Escape
wait_gone "Plugins configuration"

# F4 edits the file under the cursor (data.txt) in the host's own editor:
# typing, F2 saves, Esc closes; a change left unsaved asks "Save the file?",
# and No keeps the file as it was saved.
T send-keys F4
wait_for "Ln 1/"
T send-keys -l 'edited '
T send-keys F2 Escape
wait_gone "Ln 1/"
head -c 7 "$demo/data.txt" | grep -qx "edited " || fail "F4, typing and F2 did not save data.txt"
T send-keys F4
wait_for "Ln 1/"
T send-keys -l 'x'
T send-keys Escape
wait_for "Save the file?"
T send-keys Tab Enter
wait_gone "Ln 1/"
head -c 7 "$demo/data.txt" | grep -qx "edited " || fail "No in the save question changed data.txt"

# Editing the names in the host's own editor (the menu lists its entries
# by name, so it is the second): nothing is selected and the option is on,
# so the file under the cursor (data.txt); its name changed at its end,
# F2, Esc; the box asks, Enter renames, and the panel shows the new name.
T send-keys F11
wait_for "edit names in the editor"
T send-keys Down Enter
wait_for "Ln 1/"
T send-keys End BSpace BSpace BSpace
T send-keys -l 'md'
T send-keys F2 Escape
wait_for "Rename 1 of 1 files?"
T send-keys Enter
wait_gone "Rename 1 of 1 files?"
wait_for "data.md"
[ -e "$demo/data.md" ] && [ ! -e "$demo/data.txt" ] || fail "editing the names did not rename data.txt to data.md"

# F10 quits with status 0 and names the demo folder.
T send-keys F10
deadline=$((SECONDS + 60))
until [ -s "$work/status" ]; do
    [ $SECONDS -lt $deadline ] || fail "F10 did not quit"
    sleep 0.2
done
running=0
[ "$(cat "$work/status")" = 0 ] || fail "zelvane-host exited $(cat "$work/status")"
wait_for "The demo folder stays at $demo"

# NO_COLOR: no colours, the cursor and selection still visible (reverse, bold).
T kill-session
T -f /dev/null new-session -d -x 80 -y 25 \
    "env -u VISUAL -u EDITOR NO_COLOR=1 LANG=C.UTF-8 '$host' --profile '$work/profile' '$demo'; sleep 600"
wait_for "files: 12, folders: 1"
colours=$(T capture-pane -p -e)
grep -qE $'\e\\[[0-9;]*(3[0-7]|4[0-7]|9[0-7]|38;5|48;5)m' <<<"$colours" && fail "colours shown despite NO_COLOR"
grep -qE $'\e\\[([0-9]+;)*7m' <<<"$colours" || fail "no reverse video for the cursor under NO_COLOR"
T send-keys F10

# A name whose first character the terminal has no width for, with a mark
# on it: the cell shows the replacement mark, not what the last cell held.
T kill-session
mkdir "$work/odd"
touch "$work/odd/"$'\xcd\xb8\xcc\x81''odd.txt'
T -f /dev/null new-session -d -x 80 -y 25 \
    "env -u VISUAL -u EDITOR LANG=C.UTF-8 '$host' --profile '$work/profile' '$work/odd'; sleep 600"
wait_for "files: 1, folders: 0"
wait_for "?odd.txt"
T send-keys F10

# With EDITOR set, F4 hands the terminal to that program on the file and
# takes the screen back when it ends.
T kill-session
mkdir "$work/external"
printf 'old\n' >"$work/external/names.txt"
T -f /dev/null new-session -d -x 80 -y 25 \
    "env -u VISUAL EDITOR='sed -i s/old/new/' LANG=C.UTF-8 '$host' --profile '$work/profile' '$work/external'; sleep 600"
wait_for "files: 1, folders: 0"
T send-keys End F4
deadline=$((SECONDS + 60))
until [ "$(cat "$work/external/names.txt")" = new ]; do
    [ $SECONDS -lt $deadline ] || fail "F4 did not run EDITOR on the file"
    sleep 0.2
done
wait_for "files: 1, folders: 0"
T send-keys F10

echo "full screen: passed"
