#pragma once
// Figure primitives shared by the photo and the live drawings.
#include <QPoint>
#include <QRectF>

class QPainter;

// Truncated distance between two points, pinned so an int holds it.
int TruncatedDistance(QPoint centre, QPoint rim);

// Unfilled circle of `radius` around `centre`.
void DrawCircle(QPainter& painter, QPoint centre, int radius);

// Cross of two strokes `arm` pixels to each side of `p`.
void DrawCross(QPainter& painter, QPoint p, int arm);

// Marker arc of an angle around `vertex`, radius 0.3 x the arm to `from`: clockwise
// on screen from the ray towards `from` to the ray towards `to`; coinciding rays
// close the circle.
void DrawAngleMark(QPainter& painter, QPoint vertex, QPoint from, QPoint to);

// Screen angle of the ray from `centre` to `p`, counter-clockwise from the +x axis,
// in degrees.
double RayAngle(QPoint centre, QPoint p);

// Arc of the circle around `centre`, counter-clockwise on screen from the ray towards
// `from` to the ray towards `to`.
void DrawCounterClockwiseArc(QPainter& painter, QPoint centre, int radius, QPoint from, QPoint to);
