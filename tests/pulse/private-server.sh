#!/bin/bash
# Runs a private PulseAudio server in the foreground for the sound tests:
# one null sink "test" (44100 Hz stereo, its monitor "test.monitor" to record)
# and a native-protocol socket DIR/native, with HOME and the runtime folder
# inside DIR so it meets no other server or user setting. Works as root too.
# Clients reach it with PULSE_SERVER=unix:DIR/native; stop it by its pid.
set -eu
dir=${1:?usage: private-server.sh DIR}
mkdir -p "$dir/home" "$dir/run"
chmod 700 "$dir/run"
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/run XDG_CONFIG_HOME=$dir/home
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
exec pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
  --system=no --disallow-module-loading=no --log-target=stderr --log-level=error --enable-memfd=no \
  -L "module-null-sink sink_name=test rate=44100 channels=2" \
  -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
  -L "module-always-sink"
