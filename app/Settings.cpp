#include "app/Settings.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "app/Session.h"
#include "catalogue/UnitGroupsFile.h"

namespace kloxmere {

namespace {

constexpr const char* kStartup = "Startup";
constexpr const char* kLocations = "Locations";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

template <class Integer>
std::optional<Integer> roundedTo(double value) {
    const double rounded = std::nearbyint(value);  // halves to even in the default rounding mode
    if (!(rounded >= std::numeric_limits<Integer>::min() &&
          rounded <= std::numeric_limits<Integer>::max())) {
        return std::nullopt;
    }
    return static_cast<Integer>(rounded);
}

std::string stateText(WindowState state) {
    return std::to_string(static_cast<int>(state));
}

}  // namespace

double SettingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + i;
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        value = std::numeric_limits<double>::infinity();
    } else if (error != std::errc() || end != last) {
        return 0;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> SettingPosition(std::string_view text) {
    return roundedTo<std::int32_t>(SettingNumber(text));
}

std::optional<std::int16_t> SettingState(std::string_view text) {
    return roundedTo<std::int16_t>(SettingNumber(text));
}

std::string PositionText(double twips) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(twips),
                                      std::chars_format::fixed);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

void SettingsLoad(SettingsStore& store, Session& session, WindowPlacement& placement) {
    // A damaged groups file keeps the groups read before the damage and is
    // moved aside by LoadGroups; the start goes on either way.
    LoadGroups(session.catalogue.GroupList, session.userDataDirectory);

    auto position = [&](const char* key, double current) {
        return SettingPosition(store.get(kStartup, key, PositionText(current)));
    };
    if (auto left = position("SliderLeft", placement.SliderLeft); left && *left != 0) {
        placement.SliderLeft = *left;
    }
    if (auto left = position("Left", placement.Left); left && *left != 0) placement.Left = *left;
    if (auto top = position("Top", placement.Top); top && *top != 0) placement.Top = *top;
    // The window refuses a negative size; that value alone is passed over.
    if (auto width = position("Width", placement.Width); width && *width > 0) {
        placement.Width = *width;
    }
    if (auto height = position("Height", placement.Height); height && *height > 0) {
        placement.Height = *height;
    }
    auto state = SettingState(store.get(kStartup, "WindowState", stateText(placement.State)));
    if (state && *state >= 0 && *state <= 2) placement.State = static_cast<WindowState>(*state);

    session.UnitViewPath = store.get(kLocations, "UnitViewPath", "");
    std::string stored = store.get(kLocations, "TAPath", "");
    // A directory the user picked in this run is the one to keep.
    if (!session.TADirectoryPicked) session.TADirectory = std::move(stored);
}

std::string StoredTADirectory(SettingsStore& store) {
    return store.get(kLocations, "TAPath", "");
}

void SettingsSave(SettingsStore& store, const Session& session, const WindowPlacement& placement) {
    // A failed save leaves the previous file as it was; there is nobody to
    // tell at shut-down, and the settings are still saved.
    SaveGroups(session.catalogue.GroupList, session.userDataDirectory);

    if (placement.State == WindowState::Normal) {
        store.save(kStartup, "Left", PositionText(placement.Left));
        store.save(kStartup, "Top", PositionText(placement.Top));
        store.save(kStartup, "Width", PositionText(placement.Width));
        store.save(kStartup, "Height", PositionText(placement.Height));
    }
    store.save(kStartup, "WindowState", stateText(placement.State));
    store.save(kStartup, "SliderLeft", PositionText(placement.SliderLeft));
    store.save(kLocations, "UnitViewPath", session.UnitViewPath);
    store.save(kLocations, "TAPath", session.TADirectory);
    store.flush();
}

}  // namespace kloxmere
