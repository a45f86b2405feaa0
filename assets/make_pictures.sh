#!/usr/bin/env bash
# Draws the program's pictures, icons and glyphs. The results are committed; run this again only
# to change them. Needs ImageMagick (called as /usr/bin/convert) and fonts-liberation.
set -euo pipefail
cd "$(dirname "$0")"
IM=/usr/bin/convert
mkdir -p pictures icons glyphs
BOLD=Liberation-Sans-Bold
REG=Liberation-Sans
ITAL=Liberation-Sans-Italic

# The emblem: a navy disc with a white "V" over three rising bars (people finding work).
emblem() {  # size output
  local s=$1 out=$2
  $IM -size "${s}x${s}" xc:none \
    -fill '#1F3A68' -draw "circle $((s/2)),$((s/2)) $((s/2)),1" \
    -fill '#F2B134' -draw "rectangle $((s*30/100)),$((s*62/100)) $((s*39/100)),$((s*78/100))" \
    -fill '#F2B134' -draw "rectangle $((s*45/100)),$((s*52/100)) $((s*54/100)),$((s*78/100))" \
    -fill '#F2B134' -draw "rectangle $((s*60/100)),$((s*42/100)) $((s*69/100)),$((s*78/100))" \
    -fill none -stroke white -strokewidth $((s/11 > 1 ? s/11 : 1)) \
    -draw "stroke-linecap round stroke-linejoin round polyline $((s*28/100)),$((s*20/100)) $((s*50/100)),$((s*42/100)) $((s*72/100)),$((s*20/100))" \
    "$out"
}

emblem 256 /tmp/vorelia_emblem.png
$IM /tmp/vorelia_emblem.png -resize 32x32 icons/vorelia32.png
$IM /tmp/vorelia_emblem.png -resize 64x64 icons/vorelia.png

# Splash, 374 x 300: navy band with the emblem, the name, the purpose and the version.
$IM -size 374x300 gradient:'#24487F'-'#0E1E3A' \
  \( /tmp/vorelia_emblem.png -resize 96x96 \) -geometry +24+34 -composite \
  -fill white -font $BOLD -pointsize 46 -annotate +136+92 'Vorelia' \
  -fill '#F2B134' -font $REG -pointsize 15 -annotate +138+118 'Versão 1.0a' \
  -fill '#F2B134' -draw 'rectangle 24,158 350,160' \
  -fill white -font $REG -pointsize 17 -annotate +24+192 'Cadastro de agências de empregos' \
  -fill '#C9D6EA' -font $ITAL -pointsize 13 -annotate +24+216 'Bancos de dados, buscas, relatórios e exportação' \
  -fill '#8FA6C8' -font $REG -pointsize 12 -annotate +24+276 'Carregando...' \
  -quality 92 pictures/splash.jpg

# Logo, 400 x 450, on the frame's pale yellow (RGB 255, 255, 198) so it blends into the background.
$IM -size 400x450 xc:'#FFFFC6' \
  \( /tmp/vorelia_emblem.png -resize 230x230 \) -geometry +85+40 -composite \
  -fill '#1F3A68' -font $BOLD -pointsize 58 -gravity north -annotate +0+292 'Vorelia' \
  -fill '#7A6A2E' -font $REG -pointsize 18 -annotate +0+366 'Agências de empregos' \
  -fill '#C9B45A' -draw 'rectangle 120,400 280,402' \
  -quality 92 pictures/logo.jpg

# The error window's icon: a red disc with an exclamation mark.
$IM -size 32x32 xc:none -fill '#C62828' -draw 'circle 16,16 16,1' \
  -fill white -draw 'roundrectangle 14,6 18,20 2,2' -draw 'circle 16,25 16,23' icons/erro.png

# Glyphs, 16 x 16.
g() { $IM -size 16x16 xc:none "$@"; }
NAV='#1F3A68'
g -fill none -stroke '#2E7D32' -strokewidth 2.5 -draw 'polyline 2,8 6,12 14,3' glyphs/ok.png
g -stroke '#C62828' -strokewidth 2.5 -draw 'line 3,3 13,13' -draw 'line 13,3 3,13' glyphs/cancel.png
g -fill '#8D6E63' -draw 'rectangle 3,1 11,15' -fill '#F2B134' -draw 'circle 9,8 10,8' glyphs/close.png
g -fill $NAV -draw 'rectangle 2,3 4,13' -draw 'polygon 13,3 13,13 5,8' glyphs/first.png
g -fill $NAV -draw 'polygon 11,3 11,13 4,8' glyphs/prior.png
g -fill $NAV -draw 'polygon 5,3 5,13 12,8' glyphs/next.png
g -fill $NAV -draw 'rectangle 12,3 14,13' -draw 'polygon 3,3 3,13 11,8' glyphs/last.png
g -fill '#2E7D32' -draw 'rectangle 6,2 10,14' -draw 'rectangle 2,6 14,10' glyphs/insert.png
g -fill '#C62828' -draw 'rectangle 2,6 14,10' glyphs/delete.png
g -fill '#F2B134' -stroke '#7A5A00' -draw 'polygon 3,13 4,10 11,3 13,5 6,12' glyphs/edit.png
g -fill $NAV -draw 'rectangle 2,2 14,14' -fill white -draw 'rectangle 4,3 12,7' \
  -fill '#C9D6EA' -draw 'rectangle 5,10 11,14' glyphs/save.png
g -fill none -stroke '#C62828' -strokewidth 2 -draw 'arc 3,4 13,14 180,90' \
  -fill '#C62828' -stroke none -draw 'polygon 1,7 6,7 3,11' glyphs/undo.png
rm -f /tmp/vorelia_emblem.png
