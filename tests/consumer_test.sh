#!/usr/bin/env bash
# The CMake package as a user meets it: install into an empty prefix, build the example consumer
# (two boards, each checked by morvcfg-check) with find_package(morvcfg) and morvcfg_generate(),
# then rebuild after each kind of change. Also: warnings as errors, two calls that would write one
# file, and the consumer with the tool in the same tree (add_subdirectory).
# Usage: consumer_test.sh <morvcfg build dir> <morvcfg source dir>
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }
mtime() { stat -c %Y.%y "$1"; }
# Before a change the build must notice: file times may otherwise share a clock tick with the
# step's stamp, which then looks up to date.
later() { sleep 1.1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/morvcfg share/man/man1/morvcfg.1.gz share/doc/morvcfg/LICENSE lib/cmake/morvcfg/morvcfgConfig.cmake \
         lib/cmake/morvcfg/morvcfgConfigVersion.cmake lib/cmake/morvcfg/MorvcfgGenerate.cmake \
         lib/cmake/morvcfg/MorvcfgRun.cmake lib/cmake/morvcfg/MorvcfgCheck.cmake; do
  [ -e "$work/prefix/$f" ] || fail "install is missing $f"
done

cp -r "$source/examples/consumer" "$work/consumer"
app=$work/consumer
out=$work/out
cmake -S "$app" -B "$out" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$out" > "$work/log"
"$out/firmware" | tee "$work/run1"
grep -q "this host 10.20.30.40, gateway 10.20.30.1" "$work/run1" || fail "generated values not in the program"
"$out/firmware_b" | grep -q "this host 10.20.31.50, gateway 10.20.31.1" || fail "second board's values"
grep -q "warning" "$work/log" && fail "the example's clean boards got a warning: $(grep warning "$work/log")"
grep -q "#define LAN_CTRL_START_ADDRESS 0xa0000000" "$out/firmware.cfg" || fail "pass-through not written"
grep -q "^CRE_TSK" "$out/firmware.cfg" || fail "pass-through lost ordinary text"

echo "-- an unchanged build does nothing"
cmake --build "$out" | grep -q "no work to do" || fail "rebuilt with nothing changed"

echo "-- a touched but unchanged description reruns the tool and recompiles only morv_cfg.c"
header_time=$(mtime "$out/morvcfg/firmware/morv_cfg.h")
pass_time=$(mtime "$out/firmware.cfg")
sleep 1.1
touch "$app/network.cfg"
cmake --build "$out" -v > "$work/log"
grep -q "MorvcfgRun.cmake" "$work/log" || fail "tool did not rerun"
grep -q -- "-o CMakeFiles/firmware.dir/main.c.o" "$work/log" && fail "main.c recompiled although morv_cfg.h did not change"
grep -q -- "-o CMakeFiles/firmware.dir/morvcfg/firmware/morv_cfg.c.o" "$work/log" || fail "morv_cfg.c (new build stamp) not recompiled"
[ "$(mtime "$out/morvcfg/firmware/morv_cfg.h")" = "$header_time" ] || fail "morv_cfg.h rewritten with the same content"
[ "$(mtime "$out/firmware.cfg")" = "$pass_time" ] || fail "pass-through rewritten with the same content"
cmake --build "$out" | grep -q "no work to do" || fail "not up to date after the rerun"

echo "-- an edited description reaches the program"
sed -i 's/MORV_MPF_SMALL(128, 32)/MORV_MPF_SMALL(256, 16)/' "$app/network.cfg"
cmake --build "$out" -v > "$work/log"
grep -q -- "-o CMakeFiles/firmware.dir/main.c.o" "$work/log" || fail "main.c not recompiled after morv_cfg.h changed"
"$out/firmware" | grep -q "small pool 256 x 16 = 4096 bytes" || fail "edited value missing"

echo "-- a failed run fails the build, keeps the previous results and is not taken as done"
cp "$out/morvcfg/firmware/morv_cfg.h" "$work/header.before"
cp "$out/firmware.cfg" "$work/pass.before"
mv "$app/network.cfg" "$work/network.cfg"
mkdir "$work/not-a-file"
ln -s "$work/not-a-file" "$app/network.cfg"   # a directory: neither tool reads it
if cmake --build "$out" > "$work/log" 2>&1; then fail "build passed although the tool failed"; fi
grep -q "failed on $app/network.cfg" "$work/log" || fail "failure not reported"
grep -q "network.cfg: error: cannot open the file: Is a directory" "$work/log" || fail "the checker does not say why"
cmp -s "$out/morvcfg/firmware/morv_cfg.h" "$work/header.before" || fail "failed run replaced morv_cfg.h"
cmp -s "$out/firmware.cfg" "$work/pass.before" || fail "failed run replaced the pass-through file"
if cmake --build "$out" > "$work/log" 2>&1; then fail "second build after a failure looked up to date"; fi
rm "$app/network.cfg"
mv "$work/network.cfg" "$app/network.cfg"
cmake --build "$out" >/dev/null
"$out/firmware" | grep -q "small pool 256 x 16" || fail "no recovery after the failure"

echo "-- warnings are errors where the target says so"
cmake -S "$app" -B "$work/strict" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$work/strict" >/dev/null || fail "the clean example failed with warnings as errors"
printf '  MORV_DNS(10.20.30.2);\n' >> "$app/network.cfg"   # indented: ordinary text
if cmake --build "$work/strict" > "$work/log" 2>&1; then fail "build passed with warnings as errors"; fi
grep -q "network.cfg:8:3: error: directive MORV_DNS is indented.*\[-Werror=not-directive\]" "$work/log" ||
  fail "the warning is not shown as an error before failing"
grep -q "network.cfg:8:3: note: MORV_DNS here is ordinary text" "$work/log" || fail "the moved default's note"
grep -q "warnings are errors for firmware" "$work/log" || fail "the failure does not say why"
grep -q "MORV_DNS" "$work/strict/firmware.cfg" && fail "results copied although the check failed"
cmake --build "$work/strict" --target firmware_b >/dev/null || fail "the clean board failed too"

echo "-- CHECK_OPTIONS silences the categories a project has judged"
sed -i 's/PASS_THROUGH firmware.cfg CHECK)/PASS_THROUGH firmware.cfg CHECK CHECK_OPTIONS -Wno-not-directive -Wno-subnet-move)/' \
  "$app/CMakeLists.txt"
cmake --build "$work/strict" > "$work/log" 2>&1 || fail "the judged categories still fail the build: $(cat "$work/log")"
grep -q "warning" "$work/log" && fail "a silenced category still shows"
sed -i 's/-Wno-subnet-move/-Wno-no-such-thing/' "$app/CMakeLists.txt"
if cmake --build "$work/strict" > "$work/log" 2>&1; then fail "an unknown checker option passed"; fi
grep -q "unknown warning category 'no-such-thing'" "$work/log" || fail "the unknown option is not named"
sed -i 's/ CHECK_OPTIONS -Wno-not-directive -Wno-no-such-thing//' "$app/CMakeLists.txt"

echo "-- a project file beside the description file does the same, with no option in the build"
later
printf '# judged by the team\n-Wno-not-directive\n-Wno-subnet-move\n' > "$app/.morvcfg-check"
cmake --build "$work/strict" > "$work/log" 2>&1 || fail "the project file's categories still fail the build: $(cat "$work/log")"
grep -q "warning" "$work/log" && fail "a category the project file silences still shows"
later
printf -- '-Wno-subnet-move\n' > "$app/.morvcfg-check"   # edited: the step runs again
if cmake --build "$work/strict" > "$work/log" 2>&1; then fail "an edited project file did not run the check again"; fi
grep -q "\[-Werror=not-directive\]" "$work/log" || fail "the category taken back is not reported"

echo "-- a project file's -Werror fails the build that its log says error: in"
cmake --build "$out" >/dev/null 2>&1 || fail "the lenient build fails on a warning"
later
printf -- '-Werror=not-directive\n-Wno-subnet-move\n' > "$app/.morvcfg-check"
if cmake --build "$out" > "$work/log" 2>&1; then fail "the log says error: and the build passed"; fi
grep -q "network.cfg:8:3: error: .*\[-Werror=not-directive\]" "$work/log" || fail "the error is not in the log"
grep -q "warnings that the project file or CHECK_OPTIONS make errors" "$work/log" || fail "the failure does not say why"

echo "-- an edited project file runs the check again, and only the check"
later
printf -- '-Wno-not-directive\n-Wno-subnet-move\n' > "$app/.morvcfg-check"
cmake --build "$out" -v > "$work/log" 2>&1 || fail "the judged categories fail the build: $(cat "$work/log")"
grep -q "MorvcfgCheck.cmake" "$work/log" || fail "the check did not run again"
grep -q "MorvcfgRun.cmake" "$work/log" && fail "the tool ran again for a project file"
grep -q -- "-o firmware" "$work/log" && fail "the firmware was linked again for a project file"
cmake --build "$out" | grep -q "no work to do" || fail "not up to date after the check"
rm "$app/.morvcfg-check"

echo "-- a project file created between the description file and the one in force is taken"
mkdir -p "$app/boards/rev3"
cp "$app/network.cfg" "$app/boards/rev3/board.cfg"
printf -- '-Wno-not-directive\n-Wno-subnet-move\n' > "$app/.morvcfg-check"
cat >> "$app/CMakeLists.txt" <<'CMAKE'
add_executable(firmware_rev3 main.c)
morvcfg_generate(firmware_rev3 DESCRIPTION boards/rev3/board.cfg PASS_THROUGH firmware_rev3.cfg CHECK)
CMAKE
cmake --build "$work/strict" --target firmware_rev3 > "$work/log" 2>&1 || fail "the root project file is not taken: $(cat "$work/log")"
later
printf -- '-Wno-subnet-move\n' > "$app/boards/.morvcfg-check"
if cmake --build "$work/strict" --target firmware_rev3 > "$work/log" 2>&1; then
  fail "a project file created between the description and the one in force was not noticed"
fi
grep -q "board.cfg:8:3: error: .*\[-Werror=not-directive\]" "$work/log" || fail "the nearer project file's options"
rm -r "$app/.morvcfg-check" "$app/boards"
sed -i '/firmware_rev3/d' "$app/CMakeLists.txt"

echo "-- two calls that would write one file stop at configure time"
mkdir "$work/clash"
cp "$app/main.c" "$app/network.cfg" "$app/board_b.cfg" "$work/clash/"
cat > "$work/clash/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(clash LANGUAGES C)
find_package(morvcfg 1.0 REQUIRED)
add_executable(a main.c)
add_executable(b main.c)
morvcfg_generate(a DESCRIPTION network.cfg PASS_THROUGH a.cfg OUTPUT_DIR gen)
morvcfg_generate(b DESCRIPTION board_b.cfg PASS_THROUGH b.cfg OUTPUT_DIR gen)
CMAKE
if cmake -S "$work/clash" -B "$work/clash/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" > "$work/log" 2>&1; then
  fail "two calls with one OUTPUT_DIR configured"
fi
message=$(tr -s ' \n' '  ' < "$work/log")  # CMake wraps its messages
grep -q "OUTPUT_DIR [^ ]*/gen is written by morvcfg_generate(a) already" <<<"$message" || fail "the clash is not explained"
grep -q "Give each call an OUTPUT_DIR of its own" <<<"$message" || fail "the clash says not what to change"

echo "-- the tool built in the same tree"
cmake -S "$app" -B "$work/same-tree" -G Ninja -DMORVCFG_SOURCE_DIR="$source" >/dev/null
cmake --build "$work/same-tree" >/dev/null
"$work/same-tree/firmware" | grep -q "this host 10.20.30.40" || fail "same-tree build"
"$work/same-tree/firmware_b" | grep -q "this host 10.20.31.50" || fail "same-tree build, second board"
echo "consumer project: all checks passed"
