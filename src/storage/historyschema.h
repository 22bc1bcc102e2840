#pragma once
// The HISTORY table: earlier texts of every watched URL, kept next to
// WEBSITES in the same store. Each row belongs to the WEBSITES row with ID
// WEBSITE *and* the URL it had when the row was written: an older program
// that deletes a URL lets SQLite hand its ID to the next URL added, and that
// URL must not inherit the history.
//
// Texts are packed by SnapshotCodec as reverse deltas: the newest snapshot of
// a URL is standalone and every older one is, at most, a delta against the
// next newer one (BASE), so deleting the oldest rows never breaks a chain.
namespace sentrel::historyschema {

// ID is the rowid; a newer row always has a larger ID than every older row
// of its URL, so "order by ID" is the order in which they were taken.
// TAKEN is DATETIME('now') text (UTC). KIND: 0 a snapshot, 1 a reset marker
// (the URL's options were edited and its text reset; no DATA). BASE: the ID
// of the snapshot DATA is a delta against, NULL when standalone. ADDED and
// REMOVED count lines against the previous snapshot, NULL when not known.
// Plain C strings, like the WEBSITES schema, so the template tool can use
// them without Qt.
inline constexpr char CreateTable[] =
    "CREATE TABLE IF NOT EXISTS HISTORY (ID INTEGER PRIMARY KEY, WEBSITE INTEGER NOT NULL, URL TEXT NOT "
    "NULL, "
    "TAKEN DATETIME NOT NULL DEFAULT (DATETIME('now')), STATUS TEXT, KIND INTEGER NOT NULL DEFAULT 0, "
    "BASE INTEGER, DATA BLOB, ADDED INTEGER, REMOVED INTEGER);";

// Every statement finds a URL's rows by WEBSITE and walks them by ID.
inline constexpr char CreateIndex[] = "CREATE INDEX IF NOT EXISTS HISTORY_WEBSITE ON HISTORY (WEBSITE, ID);";

inline constexpr int SnapshotKind = 0;
inline constexpr int ResetMarkerKind = 1;

// The statements, every value a bound parameter. ?1 is always WEBSITE, ?2
// the URL where a statement has one.
inline constexpr char16_t InsertSnapshot[] =
    u"insert into HISTORY (WEBSITE, URL, STATUS, KIND, DATA, ADDED, REMOVED) "
    u"values (?1, ?2, ?3, 0, ?4, ?5, ?6);";
inline constexpr char16_t InsertResetMarker[] =
    u"insert into HISTORY (WEBSITE, URL, KIND) values (?1, ?2, 1);";
inline constexpr char16_t NewestSnapshot[] = u"select ID, BASE, DATA, TAKEN, STATUS, ADDED, REMOVED from "
                                             u"HISTORY where WEBSITE=?1 and URL=?2 and KIND=0 "
                                             u"order by ID desc LIMIT 1;";
// The deltas older than ?3 since the last standalone snapshot before it:
// the chain a new delta at ?3 would lengthen.
inline constexpr char16_t DeltasBefore[] =
    u"select count(*) from HISTORY where WEBSITE=?1 and URL=?2 and KIND=0 and BASE is not null and ID<?3 and "
    u"ID>coalesce((select max(ID) from HISTORY where WEBSITE=?1 and URL=?2 and KIND=0 and BASE is null and "
    u"ID<?3), 0);";
// A snapshot re-packed as a delta is deleted and inserted again under its ID
// rather than updated: SQLite merges a page left nearly empty only after a
// delete, and the standalone text, shrunk in place, would leave every delta
// alone on a page of its own (16 KiB each).
inline constexpr char16_t DeleteRow[] = u"delete from HISTORY where ID=?1;";
inline constexpr char16_t InsertDelta[] =
    u"insert into HISTORY (ID, WEBSITE, URL, TAKEN, STATUS, KIND, BASE, DATA, ADDED, REMOVED) "
    u"values (?1, ?2, ?3, ?4, ?5, 0, ?6, ?7, ?8, ?9);";
inline constexpr char16_t ChainLink[] = u"select KIND, BASE, DATA from HISTORY where ID=?1;";
// Only the rows recorded under the URL the WEBSITES row has now.
inline constexpr char16_t ListOfWebsite[] =
    u"select H.ID, H.TAKEN, H.STATUS, H.KIND, H.ADDED, H.REMOVED from HISTORY H join WEBSITES W "
    u"on W.ID=H.WEBSITE and W.URL=H.URL where H.WEBSITE=?1 order by H.ID desc;";
// ?3: how many of the newest snapshots to skip.
inline constexpr char16_t NthNewestSnapshot[] =
    u"select ID from HISTORY where WEBSITE=?1 and URL=?2 and KIND=0 order by ID desc LIMIT 1 OFFSET ?3;";
inline constexpr char16_t DeleteBefore[] = u"delete from HISTORY where WEBSITE=?1 and URL=?2 and ID<?3;";
// ?3: a DATETIME modifier such as "-30 days". Everything up to the newest
// expired row goes, so that a clock set back never leaves an older row whose
// chain ran through a deleted one.
inline constexpr char16_t DeleteExpired[] =
    u"delete from HISTORY where WEBSITE=?1 and URL=?2 and ID<=(select max(ID) from HISTORY "
    u"where WEBSITE=?1 and URL=?2 and TAKEN<DATETIME('now', ?3));";
inline constexpr char16_t DeleteOfWebsite[] = u"delete from HISTORY where WEBSITE=?1;";
inline constexpr char16_t RenameOfWebsite[] =
    u"update HISTORY set URL=?2 where WEBSITE=?1 and URL=(select URL from WEBSITES where ID=?1);";
inline constexpr char16_t DeleteOrphans[] =
    u"delete from HISTORY where not exists (select 1 from WEBSITES W where W.ID=HISTORY.WEBSITE and "
    u"W.URL=HISTORY.URL);";

} // namespace sentrel::historyschema
