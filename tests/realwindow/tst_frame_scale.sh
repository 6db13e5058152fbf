#!/bin/bash
# The stored position at every scale, without a window manager and with frames it cannot
# be read from as they are: four starts in a row, each closed as by the close box, leave
# the file as it was (an odd MainTop at scale 1.5 once gained one), also when the window
# manager reports its frame extents in units of its own scale, as kwin with Xwayland
# scaling does (simulated on openbox's frame), or reports none. Every size hint names one
# size, the window's, so a window manager that counts size increments from the base size
# finds no other. Real window managers as they are, openbox among them: tst_x11_wms.sh.
# Usage: tst_frame_scale.sh <kanavox>
source "$(dirname "$0")/xvfb.sh"
XVFB_SCREEN=2560x1600x24 start_xvfb
install_copy "$1"

note "no window manager"
for scale in 1.25 1.5 1.75; do
    round_trips "no window manager" "$scale" 201 133
done

start_wm openbox

note "frame extents reported in the window manager's own units (half the X pixels)"
# openbox's frame: a 1-pixel border and a 20-pixel title bar; reported as kwin would at
# Xwayland scale 2: left, right, top, bottom.
round_trips "extents in units of 2" 1 200 120 "0, 0, 10, 0"
round_trips "extents in units of 2" 2 200 120 "0, 0, 10, 0"
round_trips "extents in units of 2" 1.5 201 133 "0, 0, 10, 0"
note "a frame but no extents reported (twm and the like)"
round_trips "no extents" 1.5 201 133 none
echo "PASS: tst_frame_scale"
