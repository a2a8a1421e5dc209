# Sourced by the network port checks: start_box_behind_ser2net BOX FOLDER starts the virtual
# box BOX on a pty in FOLDER, logging its frames to FOLDER/frames, and ser2net in front of it
# with RFC 2217 on a free loopback port; adds both to PIDS and sets ADDRESS to the port's name
# once the server listens.
start_box_behind_ser2net() {
  local box=$1 folder=$2 port
  "$box" --link "$folder/tty" --log "$folder/frames" >/dev/null &
  PIDS+=($!)
  for _ in $(seq 50); do [ -L "$folder/tty" ] && break; sleep 0.1; done
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat >"$folder/ser2net.yaml" <<YAML
connection: &box
  accepter: telnet(rfc2217),tcp,127.0.0.1,$port
  connector: serialdev,$(readlink -f "$folder/tty"),115200n81,local
YAML
  /usr/sbin/ser2net -n -c "$folder/ser2net.yaml" >"$folder/ser2net.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 50); do
    grep -q "$(printf '0100007F:%04X .* 0A ' "$port")" /proc/net/tcp && break
    sleep 0.1
  done
  ADDRESS="rfc2217://127.0.0.1:$port"
}
