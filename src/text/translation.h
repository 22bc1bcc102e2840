#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace sentrel {

// The language of the user interface: the lines of one language file, chosen
// at start-up, and the lookup of an English text in them. An English
// Translator (the default) returns every text as it is.
//
// A language file "<Name>.lang.txt" in the Languages folder (next to the
// executable, or among the installed program files) holds lines "{English text}translation";
// LanguageCodes.csv in the same folder maps Windows language identifiers to file names ("1031,
// German.lang.txt").
class Translator {
public:
    Translator() = default;

    // The automatic choice: the language file that LanguageCodes.csv names for
    // `uiLanguageId`, when that file is one of the "*lang.txt" files of
    // programFolder + "/Languages". Every failure (no folder, no table, no line
    // for the language, a file that is missing or cannot be read as UTF-8)
    // leaves English, without a message.
    static Translator load(const QString &programFolder, std::optional<quint16> uiLanguageId);

    // The translation of an English text: what follows "{" + text + "}" on the
    // first line that starts with it (exact, case-sensitive), or the text itself
    // when there is no such line, it has nothing after the key, or no language
    // is loaded.
    QString Translate(const QString &text) const;

    // True when a language file is loaded.
    bool active() const { return !currentLanguageFile_.isEmpty(); }

    const QString &languagesFolder() const { return languagesFolder_; }
    // The "*lang.txt" file names of the folder, sorted by name.
    const QStringList &languageFiles() const { return languageFiles_; }
    // Full path of the loaded file; empty for English.
    const QString &currentLanguageFile() const { return currentLanguageFile_; }
    // The file name before its first ".lang.txt" (before "lang.txt" for names
    // such as "Xlang.txt"); empty for English.
    QString languageName() const;
    // The translators the file names (key "INFO:Translated By", comma-separated).
    QStringList translators() const;

private:
    QString languagesFolder_;
    QStringList languageFiles_;
    QString currentLanguageFile_;
    QStringList lines_;
};

// The file name that LanguageCodes.csv text assigns to a language identifier:
// the trimmed second field of the first line whose trimmed first field is the
// identifier in decimal. Only the first comma separates; lines without one are
// skipped. Empty when no line matches.
QString languageFileFor(QStringView codeTable, quint16 languageId);

} // namespace sentrel
