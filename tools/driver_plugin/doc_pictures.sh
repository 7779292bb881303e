#!/usr/bin/env bash
# Cuts the pictures of docs/payload.md ("Printing preferences") from the
# screenshots of e2e scenario 85 (58 mm model, 64-bit plug-in):
#   tools/driver_plugin/doc_pictures.sh build/e2e/win64/screenshots docs
set -euo pipefail
shots=$1/85_plugin_renders_page-amd64-lumatrek
docs=$2
bottom() { convert "$shots-$1.png" -gravity South -crop "384x${3:-110}+0+0" +repage -strip -define png:exclude-chunks=date,time "$docs/preference-$2.png"; }
bottom default partial-cut
bottom full-cut-feed-10mm full-cut-feed-10mm 180
bottom no-cut no-cut
bottom feed-5mm feed-5mm 150
bottom feed-20mm feed-20mm 270
bottom drawer-2-after-job drawer-2-after-job
convert "$shots-drawer-1-before-job.png" -crop 384x90+0+0 +repage -strip -define png:exclude-chunks=date,time "$docs/preference-drawer-1-before-job.png"
for job in full-cut-each-page-resetdc:full-cut-each-page shorten-gaps:shorten-gaps; do
  convert "$shots-${job%%:*}.png" -resize 40% -threshold 70% -strip -define png:exclude-chunks=date,time "$docs/preference-${job#*:}.png"
done
