#!/usr/bin/env bash
# Takes the README's picture of the main window: starts build/vel_dxcc under Xvfb
# with a throw-away home holding a small sample log, and saves docs/screenshot.png.
# Needs xvfb and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/vel_dxcc}
home=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$home"' EXIT
data="$home/.local/share/VEL_DXCC"
mkdir -p "$data" "$home/.config/VEL_DXCC"
cp data/Prefixe_DXCC.txt "$data/"
: > "$data/Liste_Prenom.txt"
printf '[Setup%%20]\nIndicatif%%20Station=F6XYZ\n[Setup%%20F6XYZ]\nbande%%20Utilisee=4\nMode%%20Utilise=0\n' \
  > "$home/.config/VEL_DXCC/DXCC.ini"
record() {  # callsign name date time mode band rstR rstE dxcc entity qsl
  printf '%-12s %-15s %s %s %-3s %-7s %-3s %-3s %-6s %-35s%s\r\n' "$@"
}
{
  record F5ABC JEAN 02/01/24 08:15 SSB "7.0 Mhz" 59 59 F France "*"
  record EA8XYZ PEDRO 02/01/24 09:02 CW "14 Mhz " 599 579 EA8 "Canary Islands" " "
  record JA1ABC TARO 03/01/24 07:44 DIG "21 Mhz " 59 59 JA Japan "*"
  record VK9NXY "" 05/01/24 11:30 SSB "28 Mhz " 57 59 VK9N "Norfolk Island" " "
  record KH6XYZ ALOHA 06/01/24 19:05 CW "10 Mhz " 599 599 KH6 Hawaii "*"
  record FR5XY PAUL 07/01/24 16:48 SSB "14 Mhz " 59 55 FR "Reunion Island" "*"
  record VP8XYZ "" 09/01/24 21:12 CW "3.5 Mhz" 559 579 VP8 "Falkland Islands" " "
  record 4U1ITU "" 10/01/24 12:00 SSB "18 Mhz " 59 59 4U1I "ITU HQ" "*"
} > "$data/F6XYZ_DXCC.log"
Xvfb :97 -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
HOME="$home" XDG_RUNTIME_DIR="$home" DISPLAY=:97 "$exe" &
app=$!
sleep 3
mkdir -p docs
DISPLAY=:97 import -window root docs/screenshot.png
echo "docs/screenshot.png written"
