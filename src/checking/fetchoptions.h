#pragma once
#include "checking/responsehead.h"
#include <chrono>

namespace sentrel {

// The limits of one download. The defaults are the program's; tests shorten
// them so that a time-out or an oversized page costs milliseconds.
struct FetchOptions {
    // The time to set up the connection (TCP and, for https, TLS).
    std::chrono::milliseconds connectTimeout{10'000};
    // The longest wait for the next data once connected.
    std::chrono::milliseconds readTimeout{10'000};
    // The ceiling on a body, received or decoded.
    qsizetype maxBodyBytes = defaultMaxBodyBytes;
};

} // namespace sentrel
