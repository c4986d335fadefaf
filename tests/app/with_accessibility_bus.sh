#!/bin/sh
# Runs a command with the AT-SPI accessibility bus up in the current D-Bus session, as a desktop with a screen reader
# has it; stops the bus launcher afterwards.
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
"$@"
status=$?
kill "$launcher" 2>/dev/null
exit "$status"
