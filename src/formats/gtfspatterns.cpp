#include "formats/gtfspatterns.h"

#include <QHash>

#include <algorithm>

namespace gtfs
{
namespace
{

// The stop times of each trip, as index ranges into one array ordered by trip and sequence.
struct TripStops {
    std::vector<int> order;   // indexes into Feed::stopTimes
    std::vector<int> offsets; // trip t's stop times are order[offsets[t]..offsets[t+1])
};

TripStops stopsByTrip(const Feed& feed)
{
    TripStops result;
    result.offsets.assign(feed.trips.size() + 1, 0);
    for (const StopTime& time : feed.stopTimes)
        ++result.offsets[size_t(time.trip) + 1];
    for (size_t t = 1; t < result.offsets.size(); ++t)
        result.offsets[t] += result.offsets[t - 1];
    result.order.resize(feed.stopTimes.size());
    std::vector<int> next(result.offsets.begin(), result.offsets.end() - 1);
    for (int i = 0; i < int(feed.stopTimes.size()); ++i)
        result.order[size_t(next[size_t(feed.stopTimes[size_t(i)].trip)]++)] = i;
    for (size_t t = 0; t + 1 < result.offsets.size(); ++t) {
        const auto first = result.order.begin() + result.offsets[t];
        const auto last = result.order.begin() + result.offsets[t + 1];
        std::stable_sort(first, last, [&feed](int a, int b) {
            return feed.stopTimes[size_t(a)].sequence < feed.stopTimes[size_t(b)].sequence;
        });
    }
    return result;
}

// The key that tells patterns apart: the route, the direction and the stops in order.
QByteArray patternKey(const Trip& trip, const std::vector<int>& stops)
{
    QByteArray key;
    key.reserve(qsizetype(sizeof(int) * (stops.size() + 2)));
    const auto add = [&key](int value) {
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    add(trip.route);
    add(trip.direction);
    for (int stop : stops)
        add(stop);
    return key;
}

} // namespace

std::vector<Pattern> findPatterns(const Feed& feed)
{
    const TripStops byTrip = stopsByTrip(feed);
    std::vector<Pattern> patterns;
    QHash<QByteArray, int> known;
    for (int t = 0; t < int(feed.trips.size()); ++t) {
        const int first = byTrip.offsets[size_t(t)];
        const int last = byTrip.offsets[size_t(t) + 1];
        if (last - first < 2)
            continue;
        std::vector<int> stops;
        stops.reserve(size_t(last - first));
        for (int k = first; k < last; ++k)
            stops.push_back(feed.stopTimes[size_t(byTrip.order[size_t(k)])].stop);
        const Trip& trip = feed.trips[size_t(t)];
        const QByteArray key = patternKey(trip, stops);
        auto found = known.constFind(key);
        if (found == known.cend()) {
            found = known.insert(key, int(patterns.size()));
            patterns.push_back(Pattern{0,
                                       trip.route,
                                       trip.direction,
                                       std::move(stops),
                                       std::vector<bool>(size_t(last - first), false),
                                       {}});
        }
        Pattern& pattern = patterns[size_t(*found)];
        pattern.trips.push_back(t);
        for (int k = first; k < last; ++k) {
            if (feed.stopTimes[size_t(byTrip.order[size_t(k)])].boarding)
                pattern.boarding[size_t(k - first)] = true;
        }
    }
    std::stable_sort(patterns.begin(), patterns.end(), [](const Pattern& a, const Pattern& b) {
        return a.route != b.route ? a.route < b.route : a.direction < b.direction;
    });
    for (size_t i = 0; i < patterns.size(); ++i)
        patterns[i].id = int(i) + 1;
    return patterns;
}

QString routeName(const Route& route)
{
    if (route.shortName.isEmpty() && route.longName.isEmpty())
        return route.id;
    if (route.shortName.isEmpty() || route.longName.isEmpty())
        return route.shortName + route.longName;
    return route.shortName + u' ' + route.longName;
}

QString shownStopName(const Feed& feed, int stop)
{
    const Stop& own = feed.stops[size_t(stop)];
    return own.parent >= 0 ? feed.stops[size_t(own.parent)].name : own.name;
}

} // namespace gtfs
