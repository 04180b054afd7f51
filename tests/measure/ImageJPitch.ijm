// A ruler's pitch as a user measures it in ImageJ: the grey profile of a line over
// ten divisions, each tick's centre as the centroid of its dip below the field's
// grey, and the distance in pixels from the first tick to the eleventh over ten.
// Argument: "PICTURE Y X0 X1" (a horizontal line from X0 to X1 at height Y).
args = split(getArgument(), " ");
open(args[0]);
run("8-bit");
y = parseFloat(args[1]);
makeLine(parseFloat(args[2]), y, parseFloat(args[3]), y);
p = getProfile();
// The profile's points are spread evenly over the line as ImageJ placed it, not one
// pixel apart: positions along it are turned into pixels with that spacing.
getLine(lx0, ly0, lx1, ly1, lineWidth);
spacing = sqrt((lx1 - lx0) * (lx1 - lx0) + (ly1 - ly0) * (ly1 - ly0)) / (p.length - 1);
lo = p[0];
hi = p[0];
for (i = 0; i < p.length; i++) {
    lo = minOf(lo, p[i]);
    hi = maxOf(hi, p[i]);
}
middle = (lo + hi) / 2;
centres = newArray(0);
i = 0;
while (i < p.length) {
    if (p[i] < middle) {
        // The dip's run below the middle grey finds the tick; its centroid takes in
        // the pixels the tick's edges cover in part too, two either side, or the
        // pixel grid would pull each centre towards the nearest whole pixel.
        first = i;
        while (i < p.length && p[i] < middle) {
            i++;
        }
        s = 0;
        sx = 0;
        for (j = maxOf(0, first - 2); j < minOf(p.length, i + 2); j++) {
            s += hi - p[j];
            sx += (hi - p[j]) * j;
        }
        centres = Array.concat(centres, sx / s);
    } else {
        i++;
    }
}
if (centres.length != 11) {
    print("ticks " + centres.length);
} else {
    print("pitch " + d2s((centres[10] - centres[0]) * spacing / 10, 6));
}
