#!/usr/bin/env bash
# Draws the sample show's pictures (our own art) with ImageMagick. The committed files
# are what the run command uses; run this only to remake them.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 640x480 gradient:'#ff9a3c-#3a1c71' \
    -fill '#ffd86b' -draw 'circle 320,300 320,230' \
    -fill '#1b1033' -draw 'polygon 0,480 0,380 140,330 260,390 400,320 520,370 640,340 640,480' \
    -quality 88 sunset.jpg
convert -size 480x360 xc:'#8ecae6' \
    -fill '#219ebc' -draw 'rectangle 0,250 480,360' \
    -fill white -draw 'rectangle 210,90 250,260' \
    -fill '#e63946' -draw 'rectangle 210,130 250,160' -draw 'rectangle 210,190 250,220' \
    -fill '#ffb703' -draw 'polygon 200,90 260,90 230,60' \
    -resize 50% -type truecolor BMP3:lighthouse.bmp
convert -size 400x300 xc:'#f1faee' \
    -fill '#e76f51' -draw 'circle 200,120 200,50' \
    -stroke '#264653' -strokewidth 2 -draw 'line 200,190 200,280' \
    -fill '#2a9d8f' -stroke none -draw 'circle 120,150 120,110' -draw 'circle 290,160 290,120' \
    -colors 32 balloons.gif
convert -size 320x240 xc:'#023047' -fill '#fb8500' -draw 'circle 160,120 160,40' \
    -fill '#023047' -draw 'circle 190,100 190,40' -fill '#ffb703' \
    -draw 'point 40,40' -draw 'circle 60,190 62,190' -draw 'circle 260,50 262,50' \
    -type palette BMP3:moon.bmp
