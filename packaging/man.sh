#!/usr/bin/env bash
# Writes the manual pages gruvik2.1 and gruvik2-cli.1 (and .1.gz to install)
# from the programs' --help and --version (help2man, Russian headings), the
# command line's page with every sub-command's --help.
# Usage: packaging/man.sh BUILD_DIR OUT_DIR PROGRAM...
set -euo pipefail
BIN=$1
OUT=$2
shift 2
mkdir -p "$OUT"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# roff of text shown as it stands.
verbatim() { printf '.nf\n'; sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"; printf '.fi\n'; }

for program in "$@"; do
  include=$WORK/$program.h2m
  case $program in
    gruvik2)
      cat >"$include" <<'H2M'
[ИМЯ]
gruvik2 \- считывание и анализ регистратора параметров ограничителя нагрузки крана
[ПРИМЕРЫ]
.nf
gruvik2 РП0417.rpd
gruvik2 \-\-from 25.04.2024 \-\-to 2024\-04\-26T00:00:00 \-\-level 4 РП0417.rpd
xvfb\-run \-a gruvik2 \-\-print\-pdf protocol.pdf \-\-page protocol РП0417.rpd
.fi
[ДОСТУП К УСТРОЙСТВУ]
Правило udev пакета (/usr/lib/udev/rules.d/70\-gruvik2\-reader.rules) даёт
устройство считывания пользователю, вошедшему в систему (TAG+="uaccess"),
а также группам plugdev (USB\-узел) и dialout (tty). После установки пакета
переподключите устройство.
[СМ. ТАКЖЕ]
.BR gruvik2\-cli (1)
H2M
      ;;
    gruvik2-cli)
      {
        echo "[ИМЯ]"
        echo "gruvik2-cli \\- отчёты, экспорт, считывание и запись регистратора параметров без окна"
        echo "[ОПИСАНИЕ КОМАНД]"
        for command in events journal protocol graph summary info read write; do
          echo ".SS $command"
          "$BIN/$program" "$command" --help | verbatim
        done
        cat <<'H2M'
[ПРИМЕРЫ]
.nf
gruvik2\-cli journal РП0417.rpd \-\-from 25.04.2024 \-\-out journal.html
gruvik2\-cli events РП0417.rpd \-\-format csv \-\-csv\-form ru \-\-out events.csv
gruvik2\-cli protocol РП0417.rpd \-\-format json
gruvik2\-cli read РП0417.rpd
.fi
[СМ. ТАКЖЕ]
.BR gruvik2 (1)
H2M
      } >"$include"
      ;;
  esac
  help2man --no-info --locale=ru_RU.UTF-8 --section=1 \
    --source="Gruvik2" --manual="Gruvik2" --include="$include" \
    --output="$WORK/$program.1" "$BIN/$program"
  # The command list and the usage lines stay one a line, not filled.
  awk '/^\.SS "Команды:"$/ { print; getline; if ($0 == ".IP") { print ".nf"; list = 1; next } }
       list && /^\./ { print ".fi"; list = 0 }
       { print }' "$WORK/$program.1" >"$OUT/$program.1.new"
  mv "$OUT/$program.1.new" "$OUT/$program.1"
  gzip -9nc "$OUT/$program.1" >"$OUT/$program.1.gz"
done
