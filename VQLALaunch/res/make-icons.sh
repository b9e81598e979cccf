#!/bin/sh
# Draws the programs' icons with ImageMagick and writes them as .ico files (16x16 and 32x32,
# 32-bit with alpha): the launcher's beside this script, the settings tool's in
# VQLALaunchS/res, the customizer's in Velqset/res, the six fixed marks of the icon image
# list (carried by the launcher and the settings tool alike) in common/win/icons. The .ico files are committed, so a build does not
# need ImageMagick; run this again after changing a drawing.
#
# Each drawing is in a 16x16 grid whose pixel centres are the integer coordinates: a
# 1-unit stroke on integer coordinates is one crisp pixel, and edges of strokeless fills lie
# on half units. The 32x32 image is the same drawing scaled by two and shifted by half a
# pixel, which keeps those lines and edges on whole pixels there too.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# icon NAME MVG [FOLDER]: writes NAME.ico (into FOLDER, default here) from the drawing
# commands in MVG.
fixed=../../common/win/icons
icon() {
    for size in 16 32; do
        if [ "$size" = 16 ]; then transform="affine 1,0,0,1,0,0"; else transform="affine 2,0,0,2,0.5,0.5"; fi
        convert -size "${size}x${size}" xc:none \
            -draw "$transform $2" \
            "PNG32:$tmp/$1-$size.png"
    done
    convert "$tmp/$1-16.png" "$tmp/$1-32.png" "${3:-.}/$1.ico"
}

# 310: blank, for entries without an icon.
icon Blank "fill none stroke none point 0,0" "$fixed"

# 311: submenu, collapsed: a closed folder.
icon FolderClosed "
    stroke #8a5f00 stroke-width 1 fill #f3c54a
    polygon 1,3 6,3 7,4 14,4 14,13 1,13
    stroke #fbe08a line 2,6 13,6
    stroke #8a5f00 line 2,5 13,5" "$fixed"

# 312: submenu, expanded: an open folder, its front flap tilted towards the viewer.
icon FolderOpen "
    stroke #8a5f00 stroke-width 1 fill #d99f1e
    polygon 1,3 6,3 7,4 13,4 13,7 1,7 1,3
    fill #fbd765
    polygon 1,13 4,7 15,7 12,13" "$fixed"

# 315: separator: a sunken horizontal rule.
icon Separator "
    stroke #707070 stroke-width 1 line 1,7 14,7
    stroke #ffffff line 1,8 14,8" "$fixed"

# 316: new item: a yellow star.
icon NewStar "
    stroke #b86b00 stroke-width 1 fill #ffd21f stroke-linejoin round
    polygon 7.5,0.8 9.4,5.3 14.2,5.6 10.5,8.7 11.7,13.5 7.5,10.9 3.3,13.5 4.5,8.7 0.8,5.6 5.6,5.3" "$fixed"

# 340: text copy: two pages, the front one with lines of text.
icon TwoPages "
    stroke #56698a stroke-width 1 fill #dfe7f3
    rectangle 1,1 9,11
    fill #ffffff
    rectangle 5,4 14,14
    stroke #3f74c4
    line 7,7 12,7
    line 7,9 12,9
    line 7,11 10,11" "$fixed"

# 128: the program: a blue tile with a list of menu entries, the first one marked.
icon VQLALaunch "
    stroke #1a4a8a stroke-width 1 fill #2f74d0
    roundrectangle 0,0 15,15 3,3
    stroke #ffffff
    line 6,4 12,4
    line 6,8 12,8
    line 6,11 12,11
    stroke #ffd21f fill #ffd21f
    polygon 3,3 4,4 3,5
    line 3,8 4,8
    line 3,11 4,11"

# 128 of the settings tool: the program's tile with a pencil across its entries.
icon VQLALaunchS "
    stroke #1a4a8a stroke-width 1 fill #2f74d0
    roundrectangle 0,0 15,15 3,3
    stroke #ffffff
    line 3,4 12,4
    line 3,8 8,8
    line 3,11 6,11
    stroke #7a4a00 fill #ffb02e
    polygon 8,14 8,12 14,6 15,7 15,8 10,13 8,14
    stroke #402000 fill #402000
    point 8,14" ../../VQLALaunchS/res

# 128 of the customizer: the program's tile with three colour swatches over its entries.
icon Velqset "
    stroke #1a4a8a stroke-width 1 fill #2f74d0
    roundrectangle 0,0 15,15 3,3
    stroke #ffffff
    line 3,4 12,4
    stroke #7a1010 fill #e23a3a
    rectangle 2,7 5,12
    stroke #0f5a1e fill #3cc35a
    rectangle 6,7 9,12
    stroke #6a5200 fill #ffd21f
    rectangle 10,7 13,12" ../../Velqset/res
