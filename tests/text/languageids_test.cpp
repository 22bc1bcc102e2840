#include "text/languageids.h"
#include <gtest/gtest.h>

using namespace sentrel;

namespace {

TEST(WindowsLanguageId, LocalesMapToTheirIdentifiers)
{
    const struct {
        const char *locale;
        std::optional<quint16> id;
    } cases[] = {
        {"de_DE", 1031},      {"de_AT", 3079},      {"de_CH", 2055},       {"de", 1031},
        {"de_BE", 1031}, // a region the table lacks: the language's main form
        {"en_US", 1033},      {"en_GB", 2057},      {"en", 1033},          {"fr_FR", 1036},
        {"fr_CA", 3084},      {"es_ES", 3082},      {"es_MX", 2058},       {"es_AR", 11274},
        {"tr_TR", 1055},      {"pt_BR", 1046},      {"pt_PT", 2070},       {"it_IT", 1040},
        {"ru_RU", 1049},      {"ja_JP", 1041},      {"ko_KR", 1042},       {"zh_CN", 2052},
        {"zh_TW", 1028},      {"zh_HK", 3076},      {"zh_SG", 4100},       {"zh-Hant", 1028},
        {"sr_RS", 10266},     {"sr-Latn-RS", 9242}, {"sr-Latn-ME", 11290}, {"uz-Cyrl-UZ", 2115},
        {"uz-Latn-UZ", 1091}, {"nb_NO", 1044},      {"nn_NO", 2068},       {"hi_IN", 1081},
        {"bn_BD", 2117},      {"ar_EG", 3073},      {"ar_SA", 1025},       {"he_IL", 1037},
        {"fa_IR", 1065},      {"vi_VN", 1066},      {"th_TH", 1054},       {"id_ID", 1057},
        {"pl_PL", 1045},      {"uk_UA", 1058},      {"nl_BE", 2067},       {"cs_CZ", 1029},
        {"sv_SE", 1053},      {"C", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(windowsLanguageId(QLocale(QString::fromUtf8(c.locale))), c.id);
    }
}

TEST(WindowsLanguageId, CoversTheWidelyUsedLanguages)
{
    const QLocale::Language languages[] = {
        QLocale::English,    QLocale::Chinese,  QLocale::Hindi,      QLocale::Spanish,   QLocale::French,
        QLocale::Arabic,     QLocale::Bangla,   QLocale::Portuguese, QLocale::Russian,   QLocale::Urdu,
        QLocale::Indonesian, QLocale::German,   QLocale::Japanese,   QLocale::Marathi,   QLocale::Telugu,
        QLocale::Turkish,    QLocale::Tamil,    QLocale::Vietnamese, QLocale::Korean,    QLocale::Italian,
        QLocale::Persian,    QLocale::Gujarati, QLocale::Polish,     QLocale::Ukrainian, QLocale::Kannada,
        QLocale::Malayalam,  QLocale::Odia,     QLocale::Burmese,    QLocale::Thai,      QLocale::Punjabi,
        QLocale::Filipino,   QLocale::Romanian, QLocale::Dutch,      QLocale::Malay,     QLocale::Hausa,
        QLocale::Amharic,    QLocale::Swahili,  QLocale::Uzbek,      QLocale::Greek,     QLocale::Czech,
        QLocale::Hungarian,  QLocale::Swedish,  QLocale::Hebrew,     QLocale::Serbian,   QLocale::Bulgarian,
    };
    for (QLocale::Language l : languages) {
        SCOPED_TRACE(QLocale::languageToString(l).toStdString());
        EXPECT_TRUE(windowsLanguageId(QLocale(l)).has_value());
    }
}

} // namespace
