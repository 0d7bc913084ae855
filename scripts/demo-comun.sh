# Shared by scripts/demo and scripts/screenshots (sourced, not run): prepares a demo folder with
# its start-up table, demo database and documents, a private SANE configuration with the `test`
# scanner, and starts the FTP image server that serves it. Needs $build.

# A free port on 127.0.0.1 for the image server.
puerto_libre() {
  /usr/bin/python3 -c 'import random, socket
while True:
    p = random.randint(20000, 32700); s = socket.socket()
    try: s.bind(("127.0.0.1", p)); print(p); break
    except OSError: pass'
}

# Only the test backend, with a letter-size area (its default area is clamped to 200 mm).
configurar_sane() {
  mkdir -p "$1"
  echo test > "$1/dll.conf"
  cat > "$1/test.conf" <<'CONF'
number_of_devices 2
mode Gray
depth 8
resolution_min 1.0
resolution_max 1200.0
resolution_quant 1.0
resolution 150.0
test-picture "Grid"
geometry_min 0.0
geometry_max 356.0
geometry_quant 0.0
tl_x 0.0
tl_y 0.0
br_x 215.9
br_y 279.4
CONF
}

# preparar_demo DIR: sets $puerto and $ftp (the server's pid; the caller stops it).
preparar_demo() {
  local demo="$1"
  puerto=$(puerto_libre)
  "$build/tools/expedientes-arranque" iniciar-demo --dir "$demo" --puerto-ftp "$puerto"
  configurar_sane "$demo/sane"
  /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$puerto" -w -d "$demo/imagenes" \
    -u imagenes -P imagenes >"$demo/ftp.log" 2>&1 &
  ftp=$!
  for _ in $(seq 50); do
    /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $puerto), 0.2)" \
      2>/dev/null && return 0
    sleep 0.1
  done
  echo "No arrancó el servidor FTP de la demostración (ver $demo/ftp.log)" >&2
  return 1
}
