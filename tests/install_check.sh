#!/usr/bin/env bash
# Installs the build into a temporary prefix and, as a .deb, into a temporary
# root, then starts each installed copy once under xvfb-run and checks its
# window, its office and the samples it found beside itself.
set -euo pipefail
build=$1
checker=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# The launcher and its question must start without the office: no office
# library, no path into it.
for file in tarnwick libtarnwick-question.so; do
    if readelf -d "$work/prefix/lib/tarnwick/$file" | grep -Ei 'libuno|libreoffice|openoffice'; then
        echo "$file depends on the office"
        exit 1
    fi
done
appstreamcli validate --no-net "$work/prefix/share/metainfo/com.velmora.Tarnwick.metainfo.xml"
TW_PROGRAM="$work/prefix/bin/tarnwick" TW_EXPECT_SAMPLES_DIR="$work/prefix/lib/tarnwick/Samples" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$checker" windowAppearsAndClosingEndsTheOffice

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null
deb=$(ls "$work"/deb/tarnwick_*.deb)
dpkg-deb -f "$deb" Depends | grep -q "libreoffice-calc"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" # found by dpkg-shlibdeps
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/tarnwick ./usr/lib/tarnwick/tarnwick ./usr/lib/tarnwick/tarnwick.bin \
    ./usr/lib/tarnwick/libtarnwick-question.so \
    ./usr/lib/tarnwick/HAND-M.CUR \
    ./usr/lib/tarnwick/drag.ico ./usr/share/applications/tarnwick.desktop \
    ./usr/share/icons/hicolor/48x48/apps/tarnwick.png \
    ./usr/share/metainfo/com.velmora.Tarnwick.metainfo.xml ./usr/share/man/man1/tarnwick.1.gz \
    ./usr/share/doc/tarnwick/copyright; do
    grep -q " $file" <<<"$contents" || { echo "missing in the package: $file"; exit 1; }
done
dpkg-deb -x "$deb" "$work/root"
for file in tarnwick tarnwick.bin libtarnwick-question.so; do
    file "$work/root/usr/lib/tarnwick/$file" | grep -q ", stripped" || {
        echo "not stripped in the package: $file"
        exit 1
    }
done
TW_PROGRAM="$work/root/usr/bin/tarnwick" TW_EXPECT_SAMPLES_DIR="$work/root/usr/lib/tarnwick/Samples" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$checker" windowAppearsAndClosingEndsTheOffice
echo "installed copies checked"
