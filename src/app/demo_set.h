#pragma once

#include <QString>

namespace corvane {

class Settings;

// A first start finds the demo set on the desk: the first six pieces of the demo playlist
// `Demo.m3u` in `demoFolder` on lines 1 to 6 and the playlist itself on line 0. Only settings
// that hold nothing yet are filled, so a returning user's desk stays as they left it. Returns
// how many settings were filled.
int OfferDemoSet(Settings& settings, const QString& demoFolder);

}  // namespace corvane
