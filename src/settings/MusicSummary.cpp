#include "settings/MusicSummary.h"

#include <cstdio>

namespace settings {

std::string FormatPlayingTime(int64_t milliseconds) {
    const int64_t seconds = (milliseconds < 0 ? 0 : milliseconds + 500) / 1000;
    char text[32];
    if (seconds >= 3600)
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    return text;
}

std::string MusicSummaryText(const MusicSummaryInput& input) {
    int64_t knownMs = 0;
    int known = 0;
    int unknown = 0;
    for (const auto& length : input.MusicLengthsMs) {
        if (length) {
            knownMs += *length;
            ++known;
        } else {
            ++unknown;
        }
    }
    std::string music = "Music ";
    if (unknown == 0)
        music += FormatPlayingTime(knownMs);
    else if (known == 0)
        music += "?";
    else
        music += FormatPlayingTime(knownMs) + " + ?";

    const std::string pictures =
        std::to_string(input.Pictures) + (input.Pictures == 1 ? " picture" : " pictures");
    std::string show;
    if (input.SecondsPerPicture) {
        const int64_t showMs = int64_t(input.Pictures) * *input.SecondsPerPicture * 1000;
        show = "show " + FormatPlayingTime(showMs) + " (" + pictures + " \u00D7 " +
               std::to_string(*input.SecondsPerPicture) + " s)";
    } else {
        show = "show manual (" + pictures + ")";
    }
    return music + " \u00B7 " + show;
}

}  // namespace settings
