#pragma once
// The path and pace of a flying card. A card glides pixel by pixel along the longer axis
// of its journey; the other coordinate follows the straight line, rounded halves-to-even.
// The pace is the player's speed setting: at speed 1 a flight across the small window
// (about 400 pixels) takes at least 0.8 s; speeds 5 and 6 are as fast as drawing allows.

#include <QPoint>
#include <vector>

namespace trilane {

inline constexpr int kMinFlightSpeed = 1;
inline constexpr int kMaxFlightSpeed = 6;

// Every position of the card's top-left corner from the start to the target, both included;
// a flight that starts on its target has the one position.
std::vector<QPoint> FlightPath(QPoint from, QPoint to);

// Pixel steps per second at a speed (out-of-range speeds are clamped to 1..6).
double FlightStepsPerSecond(int speed);

}  // namespace trilane
