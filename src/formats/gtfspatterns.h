#pragma once

#include "formats/gtfsfeed.h"

#include <QString>
#include <vector>

namespace gtfs
{

// A run a route's buses make: a route, a direction and the stops in order, shared by trips.
struct Pattern {
    int id = 0;             // 1, 2, … in the order of routes.txt, then direction, then trips.txt
    int route = 0;          // index into Feed::routes
    int direction = -1;     // 0, 1, or -1 when the feed gives none
    std::vector<int> stops; // indexes into Feed::stops, in the order the bus calls
    std::vector<bool> boarding; // per stop: some trip of the pattern lets passengers board
    std::vector<int> trips;     // indexes into Feed::trips, in the order of trips.txt
};

// Every pattern of the feed: its trips' stop times sorted by stop_sequence (as numbers), trips
// of one route and direction with the same stops in the same order grouped into one. A trip
// of fewer than two stops makes none. The ids do not depend on anything but the feed's
// contents and order.
std::vector<Pattern> findPatterns(const Feed& feed);

// A route as people know it: its short and long names ("12 駅前線"), whichever it has, or its
// route_id when it has neither.
QString routeName(const Route& route);

// The name a stop is shown and announced by: its parent station's name when it is a pole of
// one, its own otherwise.
QString shownStopName(const Feed& feed, int stop);

} // namespace gtfs
