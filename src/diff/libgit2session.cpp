#include "diff/libgit2session.h"
#include "text/error.h"
#include <git2/errors.h>
#include <git2/global.h>

namespace sentrel {

LibGit2Session::LibGit2Session()
{
    if (git_libgit2_init() < 0) {
        const git_error *error = git_error_last();
        throw Error(QStringLiteral("Could not initialise the diff library: %1")
                        .arg(QString::fromUtf8(error ? error->message : "unknown error")));
    }
}

LibGit2Session::~LibGit2Session()
{
    git_libgit2_shutdown();
}

} // namespace sentrel
