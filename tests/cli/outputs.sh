#!/usr/bin/env bash
# The report commands' outputs on the demo recorder and a full memory are
# pinned byte for byte: a change to how the image reaches the pages (the
# analysis, the filter, the documents, the graph) must not change what the
# user gets. When an output is changed on purpose, refresh the sums with
#   tests/cli/outputs.sh BUILD_DIR --print
# and say why in the commit.
# Argument: the build folder.
set -uo pipefail
BIN=$(cd "$1" && pwd)
MODE=${2:-check}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
export TZ=Europe/Moscow
# The graph's "Times" is whatever serif font fontconfig finds: other installed
# fonts (a window manager's, say) would change the picture. Only the fonts the
# project installs are offered.
cat >fonts.conf <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/liberation</dir>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
  <cachedir>$WORK/fontcache</cachedir>
</fontconfig>
CONF
export FONTCONFIG_FILE=$WORK/fonts.conf
cp "$BIN"/demo.rpd demo.rpd
"$BIN"/gruvik2-mkimage --full full.rpd

for img in demo full; do
    "$BIN"/gruvik2-cli events $img.rpd >$img.events 2>/dev/null
    "$BIN"/gruvik2-cli journal $img.rpd >$img.journal 2>/dev/null
    "$BIN"/gruvik2-cli journal $img.rpd --level 1 --max 0 --discrete on --relays on \
        >$img.journal-all 2>/dev/null
    "$BIN"/gruvik2-cli journal $img.rpd --level 2 --max 50 --direction first --weights 10100 \
        --config off >$img.journal-some 2>/dev/null
    "$BIN"/gruvik2-cli protocol $img.rpd >$img.protocol 2>/dev/null
    "$BIN"/gruvik2-cli graph $img.rpd --out $img.graph.png 2>/dev/null
done
# A full memory's counters were never written: its figures are absent.
"$BIN"/gruvik2-cli protocol full.rpd --format csv >full.protocol-csv 2>/dev/null
"$BIN"/gruvik2-cli protocol full.rpd --format json >full.protocol-json 2>/dev/null

if [ "$MODE" = --print ]; then
    sha256sum demo.* full.* | grep -v '\.rpd$'
    exit 0
fi

failures=0
while read -r sum name; do
    if [ "$(sha256sum <"$name" | cut -d' ' -f1)" = "$sum" ]; then
        echo "ok: $name unchanged"
    else
        echo "FAILED: $name differs"
        failures=$((failures + 1))
    fi
done <<'SUMS'
5e674db8a2f664bdcd364e6552a89ae04c6cdabb7aebe685a7f51d804ea6cb72  demo.events
b27ad0b1ed9b9378c199584ce3cfce93d7fd2e2a5ff41b5d925750c3703d774e  demo.graph.png
e63171b96476864c1924ed7d9e12cd08de35e291fb848cf5ca223b4c29ba597d  demo.journal
d9955aa74ee3537a30342f8b8256ec5b335deb58901e6e9e98aebbfc97fdb351  demo.journal-all
282eb82ab76a9efbc84e1af1efca8b2244684b97c23e3c160a1dc1ea18b4568d  demo.journal-some
f626df3870ea703eaf9397e8082f6fdc38908f276a056704be32d7804d84ca3e  demo.protocol
665a8767d21330fbf462660f77b4fbde22d2a0d959e02c84778b7bcf2c926eaf  full.events
7a6bf1b9ba61df2c00a0502b99642c3f8fb684d6dc4ef86913e10d75713e3719  full.graph.png
4f21a1b0fdb81c610c03207b4ed50fdcd7c884d9423ec4736b256ea1efff7d66  full.journal
1cbebae8d813f45c57134710d6d292916218df5fb734ea51f095740258e7be96  full.journal-all
8706d4051b261ef96ba12d6aa0951cc3500aed1da7861fe23910b863226cb64f  full.journal-some
f431d9dba335102ca715f2934847a0b4b4bebd3eacf94487d0158b437511fe55  full.protocol
543a03784e450fb5dc557d13cd85a8da41d9320bb966437d5646e8ee6cb8301a  full.protocol-csv
738351443523b0af85ea39aae76471078025812ca228430f3b1d2ddf8022318a  full.protocol-json
SUMS
[ $failures -eq 0 ] && echo "outputs: all unchanged" || echo "outputs: $failures changed"
[ $failures -eq 0 ]
