#!/usr/bin/env bash
# interrupt.sh KILN SCENE DIR: an export under way into DIR is stopped with
# SIGTERM, SIGINT and SIGKILL once its temporary file exists. The earlier
# output (of SCENE) and its .ini must stay byte for byte, SIGTERM must exit 4
# and SIGINT 3, and no temporary file may stay (the killed export's is
# removed by the next export into the folder).
set -um  # job control: the background exports may be sent SIGINT
kiln=$1 scene=$2 dir=$3
fail() { echo "FAIL: $*"; exit 1; }
rm -rf "$dir" && mkdir -p "$dir/config"
"$(dirname "$0")/big-scene.sh" "$dir/big.kscene.json" 1000000
flags=(--quiet --ini overwrite --config-dir "$dir/config")
"$kiln" export "$scene" "$dir/out.zqs" "${flags[@]}" 2>/dev/null || fail "the earlier export"
printf '[Box]\r\nFaceBlock0_Shader=Texture\r\n' >"$dir/out.ini"  # an artist's edits
cp "$dir/out.zqs" "$dir/out.zqs.before" && cp "$dir/out.ini" "$dir/out.ini.before"
temporaries() { compgen -G "$dir/.out.zqs.kiln-tmp-*"; }

# Starts the big export (as $pid) and waits for its temporary file.
start_big_export() {
  "$kiln" export "$dir/big.kscene.json" "$dir/out.zqs" "${flags[@]}" 2>"$dir/stderr" &
  pid=$!
  for ((i = 0; i < 3000; i++)); do
    temporaries >/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  fail "no temporary file appeared"
}

for case in TERM:4 INT:3 HUP:4; do
  signal=${case%:*} want=${case#*:}
  start_big_export
  kill -"$signal" "$pid"
  wait "$pid"
  code=$?
  [[ $code == "$want" ]] || fail "SIG$signal: exit $code, expected $want: $(cat "$dir/stderr")"
  grep -q "nothing was exported: .*out.zqs and its side files are as they were" "$dir/stderr" ||
    fail "SIG$signal: $(cat "$dir/stderr")"
  cmp -s "$dir/out.zqs" "$dir/out.zqs.before" || fail "SIG$signal: the earlier output changed"
  cmp -s "$dir/out.ini" "$dir/out.ini.before" || fail "SIG$signal: the earlier .ini changed"
  temporaries && fail "SIG$signal: temporary files stayed"
done

start_big_export
kill -KILL "$pid"
wait "$pid" 2>/dev/null
temporaries >/dev/null || fail "SIGKILL left no temporary file to clean up"
"$kiln" export "$scene" "$dir/other.zqs" "${flags[@]}" 2>/dev/null || fail "the next export"
temporaries && fail "the next export left the dead export's temporary file"
echo "ok: signals leave the earlier output and no temporary file"
