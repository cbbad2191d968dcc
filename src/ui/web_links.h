#pragma once
// Opening pages for the user: only http(s) addresses reach the desktop's browser, whatever a
// database or a page says.
#include <QString>

namespace quillon {
struct SettingValues;
}

namespace quillon::ui {

// False (and nothing opened) for anything but an http or https address.
bool openWebAddress(const QString& address);
// The page of a WebsiteID (catalogue, its Russian mirror on Russian systems, forum topic or post).
QString websitePageFor(const SettingValues& settings, const QString& websiteId);

} // namespace quillon::ui
