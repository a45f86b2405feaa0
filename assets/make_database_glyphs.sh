#!/usr/bin/env bash
# Draws the glyphs of the catalogue dialog and the records window (16 x 16). The results are
# committed; run this again only to change them. Needs ImageMagick (called as /usr/bin/convert).
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
mkdir -p glyphs icons
g() { $IM -size 16x16 xc:none "$@"; }
NAV='#1F3A68'
GOLD='#F2B134'

# A database: a navy cylinder with a gold rim.
g -fill $NAV -draw 'rectangle 3,4 13,13' -draw 'ellipse 8,13 5,2 0,360' \
  -fill '#3C5F99' -draw 'ellipse 8,4 5,2 0,360' -stroke $GOLD -fill none \
  -draw 'ellipse 8,8 5,2 0,180' icons/database.png
# Open: a folder.
g -fill '#C9A227' -draw 'polygon 1,4 6,4 7,6 14,6 14,14 1,14' \
  -fill $GOLD -draw 'polygon 3,8 15,8 13,14 1,14' glyphs/abrir.png
# Create: a sheet with a green plus.
g -fill white -stroke '#5A6A80' -draw 'rectangle 2,1 10,14' \
  -stroke '#2E7D32' -strokewidth 2 -draw 'line 12,7 12,15' -draw 'line 8,11 16,11' glyphs/criar.png
# Delete a database: a red cross over a cylinder.
g -fill $NAV -draw 'rectangle 2,4 10,13' -draw 'ellipse 6,13 4,2 0,360' \
  -fill '#3C5F99' -draw 'ellipse 6,4 4,2 0,360' \
  -stroke '#C62828' -strokewidth 2 -draw 'line 9,8 15,14' -draw 'line 15,8 9,14' glyphs/deletar.png
# Close: a door.
g -fill '#8D6E63' -draw 'rectangle 3,1 12,15' -fill $GOLD -draw 'circle 10,8 11,8' glyphs/fechar.png
# Filter: a funnel.
g -fill $NAV -draw 'polygon 1,2 15,2 9,9 9,14 7,15 7,9' glyphs/filtrar.png
# E-mail: an envelope.
g -fill white -stroke $NAV -draw 'rectangle 1,3 14,12' -fill none -draw 'polyline 1,3 8,9 14,3' glyphs/email.png
# Web: a globe.
g -fill '#DCE8F7' -stroke $NAV -draw 'circle 8,8 8,1' -fill none -draw 'ellipse 8,8 3,7 0,360' \
  -draw 'line 1,8 15,8' -draw 'line 8,1 8,15' glyphs/web.png
