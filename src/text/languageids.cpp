#include "text/languageids.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace sentrel {

namespace {

struct LanguageId {
    QLocale::Language language;
    QLocale::Script script; // AnyScript: every script
    QLocale::Territory territory;
    quint16 id;
};

using L = QLocale;

// For every language its main form comes first: a locale whose region is not
// listed takes the first entry of its language (and script).
constexpr LanguageId table[] = {
    {L::English, L::AnyScript, L::UnitedStates, 1033},
    {L::English, L::AnyScript, L::UnitedKingdom, 2057},
    {L::English, L::AnyScript, L::Australia, 3081},
    {L::English, L::AnyScript, L::Canada, 4105},
    {L::English, L::AnyScript, L::NewZealand, 5129},
    {L::English, L::AnyScript, L::Ireland, 6153},
    {L::English, L::AnyScript, L::SouthAfrica, 7177},
    {L::English, L::AnyScript, L::India, 16393},
    {L::English, L::AnyScript, L::Singapore, 18441},
    {L::English, L::AnyScript, L::Philippines, 13321},
    {L::Chinese, L::SimplifiedHanScript, L::China, 2052},
    {L::Chinese, L::SimplifiedHanScript, L::Singapore, 4100},
    {L::Chinese, L::TraditionalHanScript, L::Taiwan, 1028},
    {L::Chinese, L::TraditionalHanScript, L::HongKong, 3076},
    {L::Chinese, L::TraditionalHanScript, L::Macao, 5124},
    {L::Spanish, L::AnyScript, L::Spain, 3082},
    {L::Spanish, L::AnyScript, L::Mexico, 2058},
    {L::Spanish, L::AnyScript, L::Guatemala, 4106},
    {L::Spanish, L::AnyScript, L::Venezuela, 8202},
    {L::Spanish, L::AnyScript, L::Colombia, 9226},
    {L::Spanish, L::AnyScript, L::Peru, 10250},
    {L::Spanish, L::AnyScript, L::Argentina, 11274},
    {L::Spanish, L::AnyScript, L::Chile, 13322},
    {L::Spanish, L::AnyScript, L::UnitedStates, 21514},
    {L::Spanish, L::AnyScript, L::LatinAmerica, 22538},
    {L::Hindi, L::AnyScript, L::India, 1081},
    {L::Arabic, L::AnyScript, L::SaudiArabia, 1025},
    {L::Arabic, L::AnyScript, L::Iraq, 2049},
    {L::Arabic, L::AnyScript, L::Egypt, 3073},
    {L::Arabic, L::AnyScript, L::Algeria, 5121},
    {L::Arabic, L::AnyScript, L::Morocco, 6145},
    {L::Arabic, L::AnyScript, L::UnitedArabEmirates, 14337},
    {L::Bangla, L::AnyScript, L::Bangladesh, 2117},
    {L::Bangla, L::AnyScript, L::India, 1093},
    {L::Portuguese, L::AnyScript, L::Brazil, 1046},
    {L::Portuguese, L::AnyScript, L::Portugal, 2070},
    {L::Russian, L::AnyScript, L::Russia, 1049},
    {L::Japanese, L::AnyScript, L::Japan, 1041},
    {L::Punjabi, L::AnyScript, L::India, 1094},
    {L::German, L::AnyScript, L::Germany, 1031},
    {L::German, L::AnyScript, L::Switzerland, 2055},
    {L::German, L::AnyScript, L::Austria, 3079},
    {L::German, L::AnyScript, L::Luxembourg, 4103},
    {L::German, L::AnyScript, L::Liechtenstein, 5127},
    {L::Korean, L::AnyScript, L::SouthKorea, 1042},
    {L::French, L::AnyScript, L::France, 1036},
    {L::French, L::AnyScript, L::Belgium, 2060},
    {L::French, L::AnyScript, L::Canada, 3084},
    {L::French, L::AnyScript, L::Switzerland, 4108},
    {L::French, L::AnyScript, L::Luxembourg, 5132},
    {L::French, L::AnyScript, L::Monaco, 6156},
    {L::Telugu, L::AnyScript, L::India, 1098},
    {L::Vietnamese, L::AnyScript, L::Vietnam, 1066},
    {L::Marathi, L::AnyScript, L::India, 1102},
    {L::Tamil, L::AnyScript, L::India, 1097},
    {L::Tamil, L::AnyScript, L::SriLanka, 2121},
    {L::Turkish, L::AnyScript, L::Turkey, 1055},
    {L::Urdu, L::AnyScript, L::Pakistan, 1056},
    {L::Urdu, L::AnyScript, L::India, 2080},
    {L::Italian, L::AnyScript, L::Italy, 1040},
    {L::Italian, L::AnyScript, L::Switzerland, 2064},
    {L::Gujarati, L::AnyScript, L::India, 1095},
    {L::Persian, L::AnyScript, L::Iran, 1065},
    {L::Polish, L::AnyScript, L::Poland, 1045},
    {L::Ukrainian, L::AnyScript, L::Ukraine, 1058},
    {L::Malayalam, L::AnyScript, L::India, 1100},
    {L::Kannada, L::AnyScript, L::India, 1099},
    {L::Odia, L::AnyScript, L::India, 1096},
    {L::Burmese, L::AnyScript, L::Myanmar, 1109},
    {L::Thai, L::AnyScript, L::Thailand, 1054},
    {L::Indonesian, L::AnyScript, L::Indonesia, 1057},
    {L::Malay, L::AnyScript, L::Malaysia, 1086},
    {L::Malay, L::AnyScript, L::Brunei, 2110},
    {L::Filipino, L::AnyScript, L::Philippines, 1124},
    {L::Romanian, L::AnyScript, L::Romania, 1048},
    {L::Dutch, L::AnyScript, L::Netherlands, 1043},
    {L::Dutch, L::AnyScript, L::Belgium, 2067},
    {L::Hausa, L::AnyScript, L::Nigeria, 1128},
    {L::Yoruba, L::AnyScript, L::Nigeria, 1130},
    {L::Igbo, L::AnyScript, L::Nigeria, 1136},
    {L::Amharic, L::AnyScript, L::Ethiopia, 1118},
    {L::Swahili, L::AnyScript, L::Kenya, 1089},
    {L::Uzbek, L::LatinScript, L::Uzbekistan, 1091},
    {L::Uzbek, L::CyrillicScript, L::Uzbekistan, 2115},
    {L::Azerbaijani, L::LatinScript, L::Azerbaijan, 1068},
    {L::Azerbaijani, L::CyrillicScript, L::Azerbaijan, 2092},
    {L::Kazakh, L::AnyScript, L::Kazakhstan, 1087},
    {L::Nepali, L::AnyScript, L::Nepal, 1121},
    {L::Sinhala, L::AnyScript, L::SriLanka, 1115},
    {L::Khmer, L::AnyScript, L::Cambodia, 1107},
    {L::Pashto, L::AnyScript, L::Afghanistan, 1123},
    {L::Greek, L::AnyScript, L::Greece, 1032},
    {L::Czech, L::AnyScript, L::Czechia, 1029},
    {L::Slovak, L::AnyScript, L::Slovakia, 1051},
    {L::Hungarian, L::AnyScript, L::Hungary, 1038},
    {L::Swedish, L::AnyScript, L::Sweden, 1053},
    {L::Swedish, L::AnyScript, L::Finland, 2077},
    {L::Danish, L::AnyScript, L::Denmark, 1030},
    {L::NorwegianBokmal, L::AnyScript, L::Norway, 1044},
    {L::NorwegianNynorsk, L::AnyScript, L::Norway, 2068},
    {L::Finnish, L::AnyScript, L::Finland, 1035},
    {L::Hebrew, L::AnyScript, L::Israel, 1037},
    {L::Bulgarian, L::AnyScript, L::Bulgaria, 1026},
    {L::Serbian, L::CyrillicScript, L::Serbia, 10266},
    {L::Serbian, L::LatinScript, L::Serbia, 9242},
    {L::Serbian, L::LatinScript, L::Montenegro, 11290},
    {L::Serbian, L::CyrillicScript, L::BosniaAndHerzegovina, 7194},
    {L::Croatian, L::AnyScript, L::Croatia, 1050},
    {L::Bosnian, L::AnyScript, L::BosniaAndHerzegovina, 5146},
    {L::Slovenian, L::AnyScript, L::Slovenia, 1060},
    {L::Macedonian, L::AnyScript, L::Macedonia, 1071},
    {L::Albanian, L::AnyScript, L::Albania, 1052},
    {L::Lithuanian, L::AnyScript, L::Lithuania, 1063},
    {L::Latvian, L::AnyScript, L::Latvia, 1062},
    {L::Estonian, L::AnyScript, L::Estonia, 1061},
    {L::Belarusian, L::AnyScript, L::Belarus, 1059},
    {L::Georgian, L::AnyScript, L::Georgia, 1079},
    {L::Armenian, L::AnyScript, L::Armenia, 1067},
    {L::Catalan, L::AnyScript, L::Spain, 1027},
    {L::Basque, L::AnyScript, L::Spain, 1069},
    {L::Galician, L::AnyScript, L::Spain, 1110},
    {L::Icelandic, L::AnyScript, L::Iceland, 1039},
    {L::Irish, L::AnyScript, L::Ireland, 2108},
    {L::Welsh, L::AnyScript, L::UnitedKingdom, 1106},
    {L::Maltese, L::AnyScript, L::Malta, 1082},
    {L::Afrikaans, L::AnyScript, L::SouthAfrica, 1078},
    {L::Zulu, L::AnyScript, L::SouthAfrica, 1077},
    {L::Xhosa, L::AnyScript, L::SouthAfrica, 1076},
    {L::Mongolian, L::AnyScript, L::Mongolia, 1104},
    {L::Lao, L::AnyScript, L::Laos, 1108},
    {L::Kyrgyz, L::AnyScript, L::Kyrgyzstan, 1088},
    {L::Tajik, L::AnyScript, L::Tajikistan, 1064},
    {L::Turkmen, L::AnyScript, L::Turkmenistan, 1090},
    {L::Tatar, L::AnyScript, L::Russia, 1092},
    {L::Assamese, L::AnyScript, L::India, 1101},
};

} // namespace

std::optional<quint16> windowsLanguageId(const QLocale &locale)
{
    std::optional<quint16> firstOfLanguage;
    for (const LanguageId &e : table) {
        if (e.language != locale.language())
            continue;
        if (e.script != QLocale::AnyScript && e.script != locale.script())
            continue;
        if (e.territory == locale.territory())
            return e.id;
        if (!firstOfLanguage)
            firstOfLanguage = e.id;
    }
    return firstOfLanguage;
}

std::optional<quint16> userUiLanguageId()
{
#ifdef Q_OS_WIN
    return quint16(GetUserDefaultUILanguage());
#else
    const QStringList languages = QLocale::system().uiLanguages();
    if (languages.isEmpty())
        return std::nullopt;
    return windowsLanguageId(QLocale(languages.first()));
#endif
}

} // namespace sentrel
