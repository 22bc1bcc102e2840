#pragma once
// 10 000 small loopback pages, for the benchmarks that show how a Check All
// grows with the length of the list: with small pages the transfer and the
// strip cost little, so work that grows with the list (looking rows up,
// painting them, saving them) is what the figures show.
#include "support/loopbackserver.h"
#include <QStringList>
#include <string>

namespace sentrel::bench {

constexpr int kLargeListPages = 10000;

// About 1 KB, different per page.
inline std::string smallPage(int n)
{
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Item " +
                       std::to_string(n) + "</title></head><body>\n<h1>Item " + std::to_string(n) +
                       "</h1>\n<ul>\n";
    for (int i = 0; page.size() < 1000; ++i)
        page += "<li>Price " + std::to_string((i * 37 + n) % 1000) + ".50 &euro;</li>\n";
    return page + "</ul></body></html>\n";
}

struct LargeSite {
    explicit LargeSite(int pages = kLargeListPages)
    {
        for (int i = 0; i < pages; ++i) {
            const std::string target = "/item/" + std::to_string(i);
            server.on(target, test::Reply::ok(smallPage(i), "Content-Type: text/html; charset=utf-8\r\n"));
            urls.append(server.url(target));
        }
    }
    test::LoopbackServer server;
    QStringList urls;
};

} // namespace sentrel::bench
