#!/usr/bin/env bash
# Builds the Debian package from a configured build tree and checks it as a user's system would:
# its control fields and file list, lintian, the desktop and AppStream validators, and the
# programs run from a root it was unpacked into.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")

for tool in dpkg-deb dpkg-shlibdeps cpack; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed, the package cannot be built here"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$work"/out/*.deb)
echo "built $(basename "$deb")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velscripttester ] || fail "Package is '$(field Package)'"
version=$(sed -n 's/^#define VELSCRIPT_VERSION "\(.*\)"/\1/p' "$build/generated/velscript_version.h")
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the build says '$version'"
[ "$(field Section)" = devel ] || fail "Section is '$(field Section)'"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6sql6 libqt6core6 libqt6network6 libc6 libstdc++6 libqt6sql6-sqlite qt6-qpa-plugins; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

# File list.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for path in \
    /usr/bin/VelScriptTester \
    /usr/bin/velscript \
    /usr/bin/velscript-replay \
    /usr/share/man/man1/velscript-replay.1.gz \
    /usr/bin/velscript-host \
    /usr/share/man/man1/velscript-host.1.gz \
    /usr/bin/velscript-conformance \
    /usr/share/man/man1/velscript-conformance.1.gz \
    /usr/share/velscript-engine-kit/conformance/suite.json \
    /usr/share/velscript-engine-kit/conformance/stop.jsonl \
    /usr/share/applications/org.velscript.VelScriptTester.desktop \
    /usr/share/metainfo/org.velscript.VelScriptTester.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/org.velscript.VelScriptTester.svg \
    /usr/share/man/man1/velscript.1.gz \
    /usr/share/man/man1/VelScriptTester.1.gz \
    /usr/share/doc/velscripttester/copyright \
    /usr/share/doc/velscripttester/changelog.gz \
    /usr/share/doc/velscripttester/language.md \
    /usr/share/doc/velscripttester/examples/hello.vbs \
    /usr/share/doc/velscripttester/examples/sql.vbs \
    /usr/include/velscript-engine-kit/engine_kit/velscript_engine.h \
    /usr/lib/cmake/VelScriptEngineKit/VelScriptEngineKitConfig.cmake; do
    grep -qx "$path" "$work/files" || fail "the package lacks $path"
done
for size in 16 32 48 128 256; do
    grep -qx "/usr/share/icons/hicolor/${size}x${size}/apps/org.velscript.VelScriptTester.png" \
        "$work/files" || fail "the package lacks the ${size} px icon"
done
for extra in ${VELSCRIPT_PACKAGE_EXTRA_FILES:-}; do
    grep -qx "$extra" "$work/files" || fail "the package lacks $extra"
done
if grep -E '^/usr/(include|lib)/' "$work/files" | grep -q '\.a$'; then
    fail "the package carries a static library"
fi

# The distribution's checkers.
if command -v lintian >/dev/null; then
    lintian --fail-on error --tag-display-limit 0 "$deb" | tee "$work/lintian" ||
        fail "lintian reports errors"
else
    echo "lintian is not installed: its check is left out"
fi
mkdir "$work/root"
dpkg -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.velscript.VelScriptTester.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net \
    "$work/root/usr/share/metainfo/org.velscript.VelScriptTester.metainfo.xml" ||
    fail "appstreamcli validate"
# The licence: MIT in the copyright file and in the AppStream data, and no web address that
# nobody serves.
grep -qx 'License: MIT' "$work/root/usr/share/doc/velscripttester/copyright" ||
    fail "the copyright file does not grant the MIT licence"
grep -q 'Permission is hereby granted, free of charge' \
    "$work/root/usr/share/doc/velscripttester/copyright" || fail "the copyright file lacks the licence text"
metainfo="$work/root/usr/share/metainfo/org.velscript.VelScriptTester.metainfo.xml"
grep -q '<project_license>MIT</project_license>' "$metainfo" ||
    fail "the AppStream data does not name the MIT licence"
if grep -q 'https\?://' "$metainfo"; then fail "the AppStream data names a web address"; fi
[ -z "$(field Homepage)" ] || fail "the package names a homepage: $(field Homepage)"
zcat "$work/root/usr/share/man/man1/velscript.1.gz" | grep -q "EXIT STATUS" ||
    fail "the velscript manual page has no exit statuses"

# The programs run from the unpacked root and find their libraries there or on the system.
out=$("$work/root/usr/bin/velscript" --version)
[ "$out" = "velscript $version" ] || fail "velscript --version says '$out'"
out=$("$work/root/usr/bin/VelScriptTester" --version)
[ "$out" = "VelScriptTester $version" ] || fail "VelScriptTester --version says '$out'"
out=$("$work/root/usr/bin/velscript-replay" --version)
[ "$out" = "velscript-replay $version" ] || fail "velscript-replay --version says '$out'"
out=$("$work/root/usr/bin/velscript-host" --version)
[ "$out" = "velscript-host $version" ] || fail "velscript-host --version says '$out'"
out=$("$work/root/usr/bin/velscript-conformance" --version)
[ "$out" = "velscript-conformance $version" ] || fail "velscript-conformance --version says '$out'"
printf 'Log "installed " & (6 * 7)\n' >"$work/probe.vbs"
out=$("$work/root/usr/bin/velscript" "$work/probe.vbs")
[ "$out" = "installed 42" ] || fail "the installed velscript ran the probe as '$out'"
echo "package checks passed"
