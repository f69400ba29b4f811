#!/usr/bin/env bash
# Prints the demo day headless: a demo database in a temporary folder, every transported
# service of the branch distributed by the server, then the PDF of labels and packing lists
# written by pla-host --pdf, and a picture of its first label sheet.
# scripts/demo-print.sh [OUT.pdf] [AAAA-MM-DD] [BRANCH] [STOCK]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/demo-dia.pdf}
day=${2:-$(date +%F)}
branch=${3:-0001}
stock=${4:-A4-2x7}
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target pla-host pla-appserver Pkg_PLA15500
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
port=$((20000 + RANDOM % 20000))
build/bin/pla-appserver --listen "127.0.0.1:$port" --db "$work/demo.sqlite" --demo \
  --today "$day" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do curl -sf "http://127.0.0.1:$port/health" >/dev/null && break; sleep 0.2; done
services=$(curl -sf "http://127.0.0.1:$port/PLA15400.rdmDistEmbCard" -H 'Content-Type: application/json' \
  -d "{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"GetServicosTransportados\",\"params\":[\"$branch\"]}" |
  python3 -c 'import json,sys; r=json.load(sys.stdin)["result"]["data"]; f=[x if isinstance(x,str) else x["name"] for x in r["fields"]]; i=f.index("CDSERVFILI"); print(json.dumps([["S","'"$branch"'",row[i]] for row in r["rows"]]))')
curl -sf "http://127.0.0.1:$port/PLA15400.rdmDistEmbCard" -H 'Content-Type: application/json' \
  -d "{\"jsonrpc\":\"2.0\",\"id\":2,\"method\":\"GeraDistribuicaoFilial\",\"params\":[\"$day\",{\"fields\":[\"IDMARCADO\",\"CDFILIAL\",\"CDSERVFILI\"],\"rows\":$services},\"S\"]}" >/dev/null
build/bin/pla-host --server "127.0.0.1:$port" --db "$work/demo.sqlite" --module PLA15500 \
  --pdf "$out" --branch "$branch" --date "$day" --stock "$stock"
pdftoppm -r 110 -f 1 -l 1 -png -singlefile "$out" "${out%.pdf}"
echo "PDF: $out; primeira folha: ${out%.pdf}.png"
