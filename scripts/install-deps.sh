#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the host need, only when missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql
          libcpp-httplib-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb postgresql
          fonts-dejavu-core ccache libmicrohttpd-dev libgnutls28-dev zlib1g-dev
          libsodium-dev libsqlite3-dev libpq-dev)
# The Debian packages: dpkg-shlibdeps, the file-type probe CPack runs, the manual pages, and
# lintian, which checks them.
packages+=(dpkg-dev file help2man lintian)
# Printing: QR codes on the labels; reading PDFs and codes back in the tests and the demo.
packages+=(libqrencode-dev poppler-utils zbar-tools curl)
# Label printers: raw jobs through libcups; the raw-printing test starts its own scheduler
# (cups brings the socket backend its queue sends through).
packages+=(libcups2-dev cups)
# Several application servers behind one address: the load balancer of the deployment test.
packages+=(haproxy)
# Qt's own dialogs (files, printing) in Portuguese.
packages+=(qt6-translations-l10n)
# The TLS tests: a GnuTLS client and testssl.sh probe what the server offers.
packages+=(gnutls-bin testssl.sh)
# The label test renders ZPL in node; a node already installed (with its npm) is kept.
command -v node >/dev/null || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Instalando pacotes: ${missing[*]}"
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
