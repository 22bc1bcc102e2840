#pragma once

namespace sentrel {

// Keeps libgit2 initialised for as long as it lives. libgit2 counts its
// initialisations, so each user of the library holds one of these instead of
// the program initialising it once globally.
class LibGit2Session {
public:
    LibGit2Session();
    ~LibGit2Session();
    LibGit2Session(const LibGit2Session &) = delete;
    LibGit2Session &operator=(const LibGit2Session &) = delete;
};

} // namespace sentrel
