#!/bin/sh
# Starts Tamborly from its application folder, <prefix>/lib/tamborly.
aqui="$(dirname "$(readlink -f "$0")")"
exec "$aqui/../lib/tamborly/tamborly" "$@"
