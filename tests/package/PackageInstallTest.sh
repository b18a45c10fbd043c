#!/usr/bin/env bash
# The Debian package as a user receives it: built by tools/package, unpacked into a scratch root,
# its files, menu entry, metainfo, manual pages and dependencies checked; then the unpacked program
# is taken through an exam under Xvfb by an unprivileged user with an empty home, once as installed
# and once as a portable copy beside its own bank.
#
#   PackageInstallTest.sh SOURCE_DIR WORK_DIR
#
# Screenshots and the program's output of each run are left in WORK_DIR/package-shots.
set -euo pipefail

title=模拟考试系统
candidate=420106198001010011
seat=07

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Waits up to 30 s for a shown window named $1 whose client area is $2 pixels wide (a range
# "min-max" is allowed) and prints its id.
await_window() {
  local name=$1 width=$2 id geometry
  for _ in $(seq 1 150); do
    for id in $(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null); do
      geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
      local w
      w=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
      if [ "$w" -ge "${width%-*}" ] && [ "$w" -le "${width#*-}" ]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.2
  done
  return 1
}

# Clicks at x,y of window $1's client area, and gives the program a moment to take it.
click_in() {
  # Relative to the window itself: the position getwindowgeometry gives counts the frame twice.
  xdotool mousemove --window "$1" --sync "$2" "$3"
  echo "click at $2,$3 of window $1: $(xdotool getmouselocation)"
  sleep 0.3
  xdotool click 1
  sleep 0.3
}

# Selects all of the focused box and types $1 over it.
type_over() {
  xdotool key ctrl+a
  sleep 0.2
  xdotool type --delay 50 "$1"
  sleep 0.3
}

# The exam itself, on the display in DISPLAY, with screenshots into $1.
take_exam() {
  local shots=$1 start exam confirm
  start=$(await_window "$title" 416-416) || { echo "the start window did not show" >&2; return 1; }
  sleep 0.5
  import -window root "$shots/1-start.png"
  # The boxes and the button, by their places in the start window.
  click_in "$start" 256 108 && type_over "$candidate"
  click_in "$start" 256 169 && type_over "$seat"
  import -window root "$shots/2-typed.png"
  click_in "$start" 309 246
  exam=$(await_window "$title" 500-4000) || { echo "the exam window did not show" >&2; return 1; }
  sleep 0.5
  import -window root "$shots/3-exam.png"
  click_in "$exam" "$HAND_IN_X" "$HAND_IN_Y"
  confirm=$(await_window "信息：" 100-1000) || { echo "the hand-in was not to be confirmed" >&2; return 1; }
  import -window root "$shots/4-confirm.png"
  # 是 is the confirmation's default button.
  xdotool windowactivate --sync "$confirm" key Return
  sleep 2
  import -window root "$shots/5-handed-in.png"
}

# Runs as the unprivileged user: a display of its own with openbox, the program at $1 started as
# a user would, and the exam taken; screenshots and logs into $2.
drive() {
  local program=$1 shots=$2 display=
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$shots/display" 2>"$shots/xvfb.log" &
  local xvfb=$!
  for _ in $(seq 1 50); do
    display=$(cat "$shots/display" 2>/dev/null || true)
    [ -n "$display" ] && break
    sleep 0.2
  done
  if [ -z "$display" ]; then
    kill "$xvfb" 2>/dev/null
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$display
  openbox >"$shots/openbox.log" 2>&1 &
  local openbox=$!
  sleep 1
  "$program" >"$shots/program.log" 2>&1 &
  local running=$! status=0
  take_exam "$shots" || status=$?
  kill "$running" "$openbox" 2>/dev/null || true
  wait "$running" "$openbox" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  return "$status"
}

if [ "${1:-}" = drive ]; then
  drive "$2" "$3"
  exit
fi

source_dir=$1
work=$2
arch=$(dpkg --print-architecture)

# --- The package, built as tools/package builds it, in a folder of its own -------------------
build=$work/package-build
log=$work/package-build.log
mkdir -p "$work"
if ! PACKAGE_BUILD_DIR=$build LINTIAN=0 bash "$source_dir/tools/package" -j2 >"$log" 2>&1; then
  tail -n 60 "$log" >&2
  fail "tools/package failed (whole output in $log)"
fi
deb=$(tail -n 1 "$log")
[[ $deb == "$build"/mockexam_*_"$arch".deb && -f $deb ]] || fail "tools/package named no package: $deb"
lintian --fail-on error,warning "$deb" || fail "lintian has errors or warnings"

scratch=$(mktemp -d /tmp/mockexam-package.XXXXXX)
chmod 0755 "$scratch"
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"

# --- Its files ----------------------------------------------------------------------------------
# The program's modules, as the configure listed them and as they lie built.
modules=()
mapfile -t modules < <(grep -v '^$' "$build/program-modules.txt")
for built in "$build"/bin/mockexam-*.so; do
  [ -e "$built" ] || continue
  name=$(basename "$built" .so)
  printf '%s\n' "${modules[@]}" | grep -qx "$name" || fail "$name is built but not listed as a program module"
done
expected=$(
  {
    printf '%s\n' usr/bin/mockexam usr/bin/mockexam-bank usr/bin/bankcopy \
      usr/share/mockexam/tk.db usr/share/mockexam/i.ini \
      usr/share/applications/mockexam.desktop usr/share/metainfo/io.github.mockexam.metainfo.xml \
      usr/share/icons/hicolor/scalable/apps/mockexam.svg \
      usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/mockexam.png \
      usr/share/man/man1/{mockexam,mockexam-bank,bankcopy}.1.gz \
      usr/share/doc/mockexam/copyright usr/share/doc/mockexam/changelog.gz
    for m in "${modules[@]}"; do echo "usr/lib/mockexam/$m.so"; done
  } | LC_ALL=C sort
)
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
diff <(echo "$expected") <(echo "$actual") || fail "the package's files differ from the list above (< expected, > found)"

elves=(usr/bin/mockexam usr/bin/mockexam-bank usr/bin/bankcopy)
for m in "${modules[@]}"; do elves+=("usr/lib/mockexam/$m.so"); done
for f in "${elves[@]}"; do
  mode=$(stat -c %a "$root/$f")
  want=755
  [[ $f == usr/lib/* ]] && want=644
  [ "$mode" = "$want" ] || fail "$f has mode $mode, not $want"
  if readelf -S --wide "$root/$f" | grep -q '\.symtab'; then fail "$f is not stripped"; fi
done

# --- Menu entry, metainfo, manual pages -------------------------------------------------------
out=$(desktop-file-validate "$root/usr/share/applications/mockexam.desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Name\[zh_CN\]=模拟考试' "$root/usr/share/applications/mockexam.desktop" || fail "the menu entry has no Chinese name"
out=$(appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/io.github.mockexam.metainfo.xml" 2>&1) ||
  fail "appstreamcli validate: $out"
if grep -Eq '^[EWIP]:' <<<"$out"; then fail "appstreamcli validate: $out"; fi
for page in mockexam mockexam-bank bankcopy; do
  file=$root/usr/share/man/man1/$page.1.gz
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null) || fail "man -l $page: $out"
  [ -z "$out" ] || fail "man -l $page warns: $out"
  out=$(zcat "$file" | groff -k -ww -man -Tutf8 -z 2>&1) || fail "groff $page: $out"
  [ -z "$out" ] || fail "groff $page warns: $out"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^NAME" || fail "the page of $page has no NAME section"
done

# --- Dependencies: the libraries of every binary and module, and those named here -------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The package names alone, alternatives included.
named=$(sed 's/([^)]*)//g; s/|/,/g' <<<"$depends" | tr ',' '\n' | awk 'NF {print $1}')
for want in libc6 'libstdc\+\+6' libqt6core6 libqt6gui6 libqt6widgets6 libsqlite3-0 'libicu[0-9]+' libmariadb3; do
  grep -Eqx "$want" <<<"$named" || fail "Depends names no $want"
done
for f in "${elves[@]}"; do
  for needed in $(readelf -d "$root/$f" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldconfig -p | awk -v lib="$needed" '$1 == lib && /x86-64/ {print $NF; exit}')
    [ -n "$path" ] || fail "$f needs $needed, which this machine does not have"
    owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null) ||
      fail "no package holds $path ($f needs it)"
    package=${owner%%:*}
    grep -Fqx "$package" <<<"$named" || fail "$f needs $needed of $package, which Depends does not name"
  done
done

# --- The program, as a user with an empty home ------------------------------------------------
shots=$work/package-shots
rm -rf "$shots"
mkdir -p "$shots"
# The hand-in button's middle in the exam window's client area (the frame 外形框2 at 9,388 of the
# question page, which starts 217,9 into the window).
export HAND_IN_X=${HAND_IN_X:-934} HAND_IN_Y=${HAND_IN_Y:-440}
if [ "$(id -u)" = 0 ]; then
  user=nobody group=nogroup
  as_user() { setpriv --reuid="$user" --regid="$group" --clear-groups "$@"; }
else
  user=$(id -un) group=$(id -gn)
  as_user() { "$@"; }
fi
# An empty folder of the user's own.
fresh_folder() {
  mkdir -p "$1"
  chown "$user:$group" "$1"
  chmod 0700 "$1"
}
# One run: a fresh home, the program at $1, screenshots into shots/$2.
run_exam() {
  local program=$1 name=$2 home=$scratch/home-$2
  fresh_folder "$home"
  fresh_folder "$scratch/shots-$name"
  local status=0
  as_user env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 HAND_IN_X="$HAND_IN_X" HAND_IN_Y="$HAND_IN_Y" \
    bash "$source_dir/tests/package/PackageInstallTest.sh" drive "$program" "$scratch/shots-$name" \
    >"$scratch/shots-$name/drive.log" 2>&1 || status=$?
  cat "$scratch/shots-$name/drive.log"
  cp -r "$scratch/shots-$name" "$shots/$name"
  return "$status"
}
# One handed-in attempt of the candidate in the results database $1.
check_attempt() {
  [ -f "$1" ] || fail "no results database at $1"
  local count
  count=$(sqlite3 "$1" "SELECT count(*) FROM exam_attempt WHERE state = 'handed_in' AND candidate_id = '$candidate'")
  [ "$count" = 1 ] || fail "$1 holds $count handed-in attempts of the candidate, not 1"
}
tree_state() { (cd "$root" && find usr -printf '%p %m %s %T@\n' | LC_ALL=C sort); }
before=$(tree_state)

# The portable case: the program beside a bank and profile of its own keeps everything there.
portable=$scratch/portable
mkdir -p "$portable"
cp "$root/usr/bin/mockexam" "$root/usr/share/mockexam/tk.db" "$root/usr/share/mockexam/i.ini" "$portable/"
for m in "${modules[@]}"; do cp "$root/usr/lib/mockexam/$m.so" "$portable/"; done
chown -R "$user:$group" "$portable"
fresh_folder "$scratch/home-portable-paths"
out=$(as_user env -i HOME="$scratch/home-portable-paths" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen timeout 10 \
  "$portable/mockexam" --paths 2>&1) || fail "--paths of the portable copy: $out"
echo "$out"
grep -qF "$portable/tk.db" <<<"$out" || fail "--paths of the portable copy does not name $portable/tk.db"
run_exam "$portable/mockexam" portable || fail "the exam in the portable copy failed (see $shots/portable)"
check_attempt "$portable/ksjl.db"
[ ! -e "$scratch/home-portable/.local/share/mockexam" ] || fail "the portable copy wrote into the user's data folder"

# Installed: started from usr/bin, the bank and profile come from usr/share into the user's folder.
fresh_folder "$scratch/home-paths"
out=$(as_user env -i HOME="$scratch/home-paths" PATH=/usr/bin:/bin timeout 20 "$root/usr/bin/mockexam" --paths 2>&1) ||
  fail "--paths of the installed program: $out"
echo "$out"
grep -qF "$scratch/home-paths/.local/share/mockexam" <<<"$out" || fail "--paths of the installed program names no user data folder"
run_exam "$root/usr/bin/mockexam" installed || fail "the exam in the installed program failed (see $shots/installed)"
data=$scratch/home-installed/.local/share/mockexam
check_attempt "$data/ksjl.db"
cmp -s "$data/tk.db" "$root/usr/share/mockexam/tk.db" || fail "the sample bank was not copied into $data"
cmp -s "$data/i.ini" "$root/usr/share/mockexam/i.ini" || fail "the default i.ini was not copied into $data"
[ "$(tree_state)" = "$before" ] || fail "the program wrote into the scratch root's usr/"
echo "the package installs, validates and runs an exam"
