#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The plug-in information record: fourteen values, all zero until a plug-in fills them.
struct PluginInfo {
    enum Index : int {
        Reserved = 0,         // not used by the program
        PreviewWidth = 1,     // ticket width in twips
        PreviewHeight = 2,    // ticket height in twips
        CanPrintDate = 3,     // 1 = prints a date
        CanPrintTime = 4,     // 1 = prints a time
        CanPrintRoute = 5,    // 1 = prints the route number
        CanPrintStopName = 6, // 1 = prints the stop name
        CanPrintBarcode = 7,  // 1 = prints barcodes
        BarcodeCount = 8,
        RouteMax = 9,
        BarcodeRouteMode = 10, // 1 = serial numbering, else route number plus return-trip flag
        StopRangeFrom = 11,
        StopRangeTo = 12,
        CompanySwitch = 13, // 1 or more = offers company names
    };
    static constexpr int Count = 14;

    std::array<std::int32_t, Count> values{};

    // Indices outside 0..13 throw std::out_of_range.
    std::int32_t& operator[](int i) { return values.at(static_cast<std::size_t>(i)); }
    std::int32_t operator[](int i) const { return values.at(static_cast<std::size_t>(i)); }
    void clear() { values.fill(0); }
    friend bool operator==(const PluginInfo&, const PluginInfo&) = default;
};
