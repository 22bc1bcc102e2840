#pragma once
#include <curl/curl.h>
#include <memory>

namespace sentrel {

// Owners of libcurl's handles, so that every way out of a download frees them.
struct CurlEasyDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
struct CurlMultiDeleter {
    void operator()(CURLM *h) const { curl_multi_cleanup(h); }
};
struct CurlSlistDeleter {
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};
struct CurlUrlDeleter {
    void operator()(CURLU *u) const { curl_url_cleanup(u); }
};
struct CurlStringDeleter {
    void operator()(char *s) const { curl_free(s); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlMulti = std::unique_ptr<CURLM, CurlMultiDeleter>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;
using CurlUrl = std::unique_ptr<CURLU, CurlUrlDeleter>;
using CurlString = std::unique_ptr<char, CurlStringDeleter>;

// Initialises libcurl once for the process (thread-safe); returns whether its
// build can speak TLS.
bool initCurl();

} // namespace sentrel
