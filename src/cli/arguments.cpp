#include "cli/arguments.h"

namespace sentrel::cli {

Arguments::Arguments(QStringList args) : tokens_(std::move(args))
{
    optionsEnd_ = tokens_.indexOf(QStringLiteral("--"));
    if (optionsEnd_ < 0)
        optionsEnd_ = tokens_.size();
}

namespace {

bool isOption(const QString &token, const QString &option)
{
    return token == option || (token.startsWith(option) && token.at(option.size()) == u'=');
}

} // namespace

void Arguments::refuseRepeat(const QString &option) const
{
    // Which of two values was meant cannot be told; taking either would act
    // on a guess.
    for (qsizetype i = 0; i < optionsEnd_; ++i)
        if (isOption(tokens_[i], option))
            throw UsageError(QStringLiteral("%1 given twice").arg(option));
}

bool Arguments::flag(const QString &name)
{
    const QString option = QStringLiteral("--") + name;
    const qsizetype i = tokens_.indexOf(option);
    if (i < 0 || i >= optionsEnd_)
        return false;
    tokens_.removeAt(i);
    --optionsEnd_;
    refuseRepeat(option);
    return true;
}

std::optional<QString> Arguments::value(const QString &name)
{
    const QString option = QStringLiteral("--") + name;
    for (qsizetype i = 0; i < optionsEnd_; ++i) {
        if (!isOption(tokens_[i], option))
            continue;
        QString v;
        if (tokens_[i] == option) {
            if (i + 1 >= optionsEnd_)
                throw UsageError(QStringLiteral("option %1 needs a value").arg(option));
            v = tokens_[i + 1];
            tokens_.remove(i, 2);
            optionsEnd_ -= 2;
        } else {
            v = tokens_[i].mid(option.size() + 1);
            tokens_.removeAt(i);
            --optionsEnd_;
        }
        refuseRepeat(option);
        return v;
    }
    return std::nullopt;
}

QStringList Arguments::positionals()
{
    QStringList result;
    for (qsizetype i = 0; i < tokens_.size(); ++i) {
        const QString &t = tokens_[i];
        if (i < optionsEnd_ && t.startsWith(u"--"))
            throw UsageError(QStringLiteral("unknown option %1").arg(t));
        if (i != optionsEnd_)
            result.append(t);
    }
    return result;
}

int toInt(const QString &text, const QString &what)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("%1 expects a whole number, not \"%2\"").arg(what, text));
    return v;
}

} // namespace sentrel::cli
