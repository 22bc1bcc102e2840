#pragma once
// A data folder for the file-reader targets: the readers take a folder or a
// path, so each input is written to a file first, as a crash or another
// program could have left it.
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

namespace sentrel::fuzz {

class FuzzFolder {
public:
    FuzzFolder()
    {
        if (!dir_.isValid())
            std::abort();
    }
    QString path() const { return dir_.path(); }
    QString put(const QString &name, QByteArrayView bytes) const
    {
        const QString file = QDir(dir_.path()).filePath(name);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(bytes.data(), bytes.size()) != bytes.size())
            std::abort();
        return file;
    }

private:
    QTemporaryDir dir_;
};

// One folder for the whole run (the fuzzer calls the target millions of times).
inline const FuzzFolder &fuzzFolder()
{
    static const FuzzFolder folder;
    return folder;
}

} // namespace sentrel::fuzz
