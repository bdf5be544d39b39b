#!/bin/sh
# Makes the two pictures of the help pages with ImageMagick. -strip and the fixed options keep
# dates and tool names out of the files, so the same ImageMagick gives the same bytes.
set -e
cd "$(dirname "$0")"
convert -size 96x64 gradient:'#1a237e-#c2185b' \
    -fill white -draw 'circle 30,32 30,18' -fill '#1a237e' -draw 'rectangle 42,14 46,34' \
    -strip -sampling-factor 4:2:0 -quality 85 -define jpeg:dct-method=integer logo.jpg
convert -size 32x32 xc:white -fill '#c2185b' \
    -draw 'circle 10,24 10,19' -draw 'circle 24,20 24,15' -draw 'rectangle 13,6 15,24' \
    -draw 'rectangle 27,4 29,20' -draw 'polygon 13,6 29,2 29,6 13,10' \
    -strip -colors 4 notes.gif
