#include "about/credits_scroll.h"

#include <cmath>

namespace corvane::about {

void CreditsScroll::Tick() {
    top_ -= kStep;
    if (top_ <= kWrapTop) top_ = kEntryTop;
}

void CreditsScroll::Press(double y) {
    running_ = false;
    grab_ = int(std::nearbyint(y));
}

bool CreditsScroll::Drag(double y) {
    running_ = false;
    const double top = top_ + y - grab_;
    if (top < kWrapTop || top > kEntryTop) return false;
    top_ = int(std::nearbyint(top));
    return true;
}

}  // namespace corvane::about
