#pragma once
#include "fetch/responsehead.h"
#include <chrono>

namespace sentrel {

// The limits of one download. The defaults are the program's; tests shorten
// them so that a time-out or an oversized page costs milliseconds.
struct FetchOptions {
    // The time to set up the connection (TCP and, for https, TLS).
    std::chrono::milliseconds connectTimeout{10'000};
    // The longest wait for the next data once connected.
    std::chrono::milliseconds readTimeout{10'000};
    // The longest one request (one step of a redirect chain) may take as a
    // whole. The read time-out alone would let a server that sends a byte
    // every few seconds hold a check for as long as it likes.
    std::chrono::milliseconds transferTimeout{120'000};
    // The ceiling on a body, received or decoded.
    qsizetype maxBodyBytes = defaultMaxBodyBytes;
};

} // namespace sentrel
