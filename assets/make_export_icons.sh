#!/usr/bin/env bash
# Draws the eight 31 x 31 icons of the export format window, by index: 0 rich text, 1 CSV,
# 2 HTML, 3 text, 4 Word, 5 spreadsheet, 6 other tables (TAB, DIF, SYLK), 7 clipboard. The
# results are committed; run this again only to change them. Needs ImageMagick (/usr/bin/convert).
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
mkdir -p export
# A sheet with a folded corner, then whatever the caller draws on it.
page() {
  local out=$1
  shift
  $IM -size 31x31 xc:none -fill white -stroke '#5A6A80' \
    -draw 'polygon 5,1 20,1 26,7 26,29 5,29' -fill '#D5DCE6' -draw 'polygon 20,1 20,7 26,7' \
    -stroke none "$@" "export/$out"
}
# Text lines across the sheet.
LINES=(-fill '#7A8799' -draw 'rectangle 8,10 23,11' -draw 'rectangle 8,14 23,15'
  -draw 'rectangle 8,18 23,19' -draw 'rectangle 8,22 19,23')
# A coloured band with a white letter group.
band() {
  BAND=(-fill "$1" -draw 'rectangle 2,16 29,27' -fill white -pointsize 9 -font DejaVu-Sans-Bold
    -annotate +3+25 "$2")
}

band '#7B1FA2' RTF
page icon_0.png "${LINES[@]}" "${BAND[@]}"
band '#2E7D32' CSV
page icon_1.png "${LINES[@]}" "${BAND[@]}"
band '#E65100' HTM
page icon_2.png "${LINES[@]}" "${BAND[@]}"
band '#1565C0' DOC
page icon_3.png "${LINES[@]}"
page icon_4.png "${LINES[@]}" "${BAND[@]}"
band '#2E7D32' XLS
page icon_5.png -fill none -stroke '#2E7D32' -draw 'rectangle 7,9 24,26' \
  -draw 'line 7,15 24,15' -draw 'line 7,21 24,21' -draw 'line 15,9 15,26' -stroke none \
  "${BAND[@]}"
page icon_6.png -fill none -stroke '#5A6A80' -draw 'rectangle 7,9 24,26' \
  -draw 'line 7,15 24,15' -draw 'line 7,21 24,21' -draw 'line 15,9 15,26'
# The clipboard: a board with a clip and a sheet on it.
$IM -size 31x31 xc:none -fill '#8D6E63' -stroke '#5D4037' -draw 'roundrectangle 4,3 26,29 2,2' \
  -fill white -stroke '#9E9E9E' -draw 'rectangle 8,8 22,26' -fill '#9E9E9E' -stroke none \
  -draw 'rectangle 10,12 20,13' -draw 'rectangle 10,16 20,17' -draw 'rectangle 10,20 17,21' \
  -fill '#B0BEC5' -stroke '#546E7A' -draw 'roundrectangle 10,1 20,6 1,1' export/icon_7.png
