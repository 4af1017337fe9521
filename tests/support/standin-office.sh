#!/bin/bash
# Stands in for soffice.bin in the fast tests of the office process and the
# watchdog. Opens its pipe's socket as the office does, then behaves as
# STANDIN_MODE says. Helpers write their pid to $STANDIN_DIR/helper.pid.
for arg; do
    case $arg in
    --accept=pipe,name=*) pipe=${arg#--accept=pipe,name=}; pipe=${pipe%%;*} ;;
    -env:UserInstallation=file://*) profile=${arg#-env:UserInstallation=file://} ;;
    esac
done
: >"/tmp/OSL_PIPE_$(id -u)_$pipe"
case $STANDIN_MODE in
new-profile) # sets the profile up, then asks to be started again
    [ -d "$profile/user" ] || { mkdir -p "$profile/user"; exit 81; }
    exec sleep infinity ;;
spin) while :; do :; done ;;
ignore-term) trap '' TERM; exec sleep infinity ;;
helper) sleep infinity & echo $! >"$STANDIN_DIR/helper.pid"; exec sleep infinity ;;
*) exec sleep infinity ;;
esac
