// Build-time tool: writes the template store empty.db (the WEBSITES table,
// no rows) that the programs copy into a data folder on first start.
#include "storage/storeschema.h"
#include <cstdio>
#include <sqlite3.h>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    const std::string output = argv[1];
    const std::string partial = output + ".partial";
    std::remove(partial.c_str());

    sqlite3 *db = nullptr;
    int rc = sqlite3_open(partial.c_str(), &db);
    char *message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sentrel::storeschema::PageSize, nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sentrel::storeschema::CreateTable, nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sentrel::storeschema::CreateUrlIndex, nullptr, nullptr, &message);
    if (rc != SQLITE_OK)
        std::fprintf(stderr, "%s: %s\n", partial.c_str(), message ? message : sqlite3_errstr(rc));
    sqlite3_free(message);
    if (sqlite3_close(db) != SQLITE_OK && rc == SQLITE_OK)
        rc = SQLITE_ERROR;
    if (rc != SQLITE_OK || std::rename(partial.c_str(), output.c_str()) != 0) {
        std::remove(partial.c_str());
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
