#!/usr/bin/env bash
# Builds the two Debian packages from a finished build and checks them as an administrator
# would meet them: the control fields, every file where it belongs, no path into the build
# or source folder, each installed binary loading our libraries from its own package, lintian
# without errors, a unit systemd accepts, and the programs running from an unpacked tree.
# Usage: check_packages.sh BUILD_DIR SOURCE_DIR VERSION. Exit 77: packaging tools missing.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3

missing=()
for tool in cpack dpkg-deb dpkg-shlibdeps lintian systemd-analyze help2man; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
    echo "Pacotes não verificados: faltam ${missing[*]}."
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FALHA: $*"
    failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/cpack" \
    -D CPACK_OUTPUT_FILE_PREFIX="$work/debs" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
arch=$(dpkg --print-architecture)

# package|file every installation must have
expected=(
    "pla-desktop|usr/bin/pla-host"
    "pla-desktop|usr/lib/pla-desktop/bin/pla-host"
    "pla-desktop|usr/lib/pla-desktop/lib/libPkg_PLA15400.so"
    "pla-desktop|usr/lib/pla-desktop/lib/libPkg_PLA15500.so"
    "pla-desktop|usr/lib/pla-desktop/lib/libplafw_qt.so"
    "pla-desktop|usr/share/applications/pla-host.desktop"
    "pla-desktop|usr/share/icons/hicolor/scalable/apps/pla-host.svg"
    "pla-desktop|usr/share/man/man1/pla-host.1.gz"
    "pla-desktop|usr/share/doc/pla-desktop/copyright"
    "pla-desktop|etc/pla-desktop/pla-desktop.conf"
    "pla-appserver|usr/bin/pla-appserver"
    "pla-appserver|usr/lib/pla-appserver/bin/pla-appserver"
    "pla-appserver|usr/lib/pla-appserver/lib/libpla_appserver_core.so"
    "pla-appserver|lib/systemd/system/pla-appserver.service"
    "pla-appserver|etc/pla-appserver/pla-appserver.conf"
    "pla-appserver|usr/share/man/man1/pla-appserver.1.gz"
    "pla-appserver|usr/share/doc/pla-appserver/copyright"
    "pla-appserver|usr/share/doc/pla-appserver/examples/haproxy.cfg"
)

# package|member of the control archive: conffiles and maintainer scripts
control=(
    "pla-desktop|conffiles"
    "pla-appserver|conffiles"
    "pla-appserver|postinst"
    "pla-appserver|prerm"
    "pla-appserver|postrm"
)

for package in pla-desktop pla-appserver; do
    deb="$work/debs/${package}_${version}_${arch}.deb"
    if [[ ! -f $deb ]]; then
        fail "$package: $deb não foi gerado"
        continue
    fi
    root="$work/root/$package"
    mkdir -p "$root"
    dpkg-deb -x "$deb" "$root"

    [[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "$package: versão diferente de $version"
    # dpkg-shlibdeps found the Qt libraries the binaries link.
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libqt6core6* ]] || fail "$package: Depends sem as bibliotecas do Qt: $depends"

    for entry in "${control[@]}"; do
        [[ ${entry%%|*} == "$package" ]] || continue
        dpkg-deb --info "$deb" "${entry#*|}" >/dev/null 2>&1 || fail "$package: falta ${entry#*|}"
    done
    for entry in "${expected[@]}"; do
        [[ ${entry%%|*} == "$package" ]] || continue
        [[ -e $root/${entry#*|} ]] || fail "$package: falta /${entry#*|}"
    done
    while read -r path; do
        case $path in
        ./usr/bin/* | ./usr/lib/"$package"/* | ./usr/share/* | ./etc/"$package"/* | \
            ./lib/systemd/system/*) ;;
        *) fail "$package: arquivo fora do lugar: $path" ;;
        esac
    done < <(cd "$root" && find . -type f -o -type l)

    grep -rlF -e "$build" -e "$source" "$root" >"$work/paths" || true
    while read -r gz; do
        if grep -qF -e "$build" -e "$source" <(zcat "$gz"); then echo "$gz" >>"$work/paths"; fi
    done < <(find "$root" -name '*.gz')
    if [[ -s $work/paths ]]; then
        fail "$package: caminho da compilação em: $(tr '\n' ' ' <"$work/paths")"
    fi

    # ldd resolves through RPATH $ORIGIN/../lib: each of our libraries must come from this
    # package, never from the build folder.
    own_libs=$(cd "$root/usr/lib/$package/lib" && ls)
    while read -r elf; do
        ldd "$elf" >"$work/ldd" 2>&1 || true
        if grep -q 'not found' "$work/ldd"; then
            fail "$package: ${elf#"$root"} não acha: $(grep 'not found' "$work/ldd" | tr -s ' \t\n' ' ')"
        fi
        for lib in $own_libs; do
            resolved=$(awk -v lib="$lib" '$1 == lib && $3 != "not" { print $3 }' "$work/ldd")
            if [[ -n $resolved && $(readlink -f "$resolved") != "$root/usr/lib/$package/lib/$lib" ]]; then
                fail "$package: ${elf#"$root"} carrega $lib de $resolved"
            fi
        done
    done < <(find "$root/usr/lib/$package" -type f -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print)

    lintian --no-tag-display-limit "$deb" >"$work/lintian" 2>&1 || true
    grep -E '^[EW]: ' "$work/lintian" || true
    if grep -q '^E: ' "$work/lintian"; then
        fail "$package: lintian encontrou erros"
    fi
done

# systemd checks the unit as it will run it, the program taken from the unpacked package.
server_root="$work/root/pla-appserver"
unit="$work/pla-appserver.service"
sed "s|ExecStart=/usr/bin/|ExecStart=$server_root/usr/bin/|" \
    "$server_root/lib/systemd/system/pla-appserver.service" >"$unit"
if ! systemd-analyze verify --man=no "$unit" >"$work/verify" 2>&1 || [[ -s $work/verify ]]; then
    fail "systemd-analyze verify: $(cat "$work/verify")"
fi

# The programs run from the unpacked packages, with a home of their own.
export HOME="$work/home" XDG_DATA_HOME="$work/home/.local/share" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
help=$("$server_root/usr/bin/pla-appserver" --help 2>&1) || true
[[ $help == "Uso: pla-appserver"* ]] || fail "pla-appserver --help não responde: $help"
# The packaged configuration never opens the server beyond this machine.
listen=$(sed -n 's/^PLA_LISTEN=//p' "$server_root/etc/pla-appserver/pla-appserver.conf")
[[ $listen == 127.0.0.1:* ]] || fail "a configuração padrão escuta fora de 127.0.0.1: $listen"
# New installations refuse a save without the version, which would overwrite another's.
grep -q '^PLA_OPTIONS=.*--require-version' "$server_root/etc/pla-appserver/pla-appserver.conf" ||
    fail "a configuração padrão não tem --require-version"
desktop_root="$work/root/pla-desktop"
if [[ -d $desktop_root ]]; then
    if ! PLA_DESKTOP_CONF="$desktop_root/etc/pla-desktop/pla-desktop.conf" \
        timeout 60 "$desktop_root/usr/bin/pla-host" --screenshot "$work/tela.png" \
        >"$work/host.log" 2>&1 || [[ ! -s $work/tela.png ]]; then
        fail "pla-host --screenshot não gravou a tela: $(tail -5 "$work/host.log")"
    fi
    # Message boxes are echoed in unattended runs: the module opened without any.
    if grep -qE '^(Erro|Aviso): ' "$work/host.log"; then
        fail "pla-host mostrou: $(grep -E '^(Erro|Aviso): ' "$work/host.log")"
    fi
fi

if ((failures)); then
    echo "$failures verificações dos pacotes falharam."
    exit 1
fi
echo "Pacotes pla-desktop e pla-appserver $version verificados."
