#include "fetch/curlhandles.h"
#include "text/error.h"

namespace sentrel {

bool initCurl()
{
    // libcurl's process-wide state is set up once and lives until exit; a
    // function-local static is the one place that can own it.
    static const bool tls = [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
            throw Error(QStringLiteral("The HTTP library could not be initialised."));
        const curl_version_info_data *info = curl_version_info(CURLVERSION_NOW);
        return info && (info->features & CURL_VERSION_SSL) != 0;
    }();
    return tls;
}

} // namespace sentrel
