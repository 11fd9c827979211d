#include "support/comma_locale.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <cstring>

namespace pelmar::test {

namespace {

constexpr const char* kCandidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8"};

// Tries a locale for LC_NUMERIC and puts the one before back; true when its decimal separator
// is a comma.
bool hasCommaDecimal(const char* name) {
    const QByteArray before = std::setlocale(LC_NUMERIC, nullptr);
    const bool comma = std::setlocale(LC_NUMERIC, name) != nullptr &&
                       std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    std::setlocale(LC_NUMERIC, before.constData());
    return comma;
}

std::optional<QByteArray> systemCommaLocale() {
    for (const char* name : kCandidates)
        if (hasCommaDecimal(name))
            return QByteArray(name);
    return std::nullopt;
}

// Builds de_DE.UTF-8 into folder unless an earlier test program did; the locale is made in a
// temporary folder and renamed into place, so test programs running side by side never see half
// of one.
bool buildInto(const QString& folder) {
    const QString target = folder + QStringLiteral("/de_DE.UTF-8");
    if (QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC")))
        return true;
    QDir().mkpath(folder);
    QTemporaryDir work(folder + QStringLiteral("/build-XXXXXX"));
    if (!work.isValid())
        return false;
    const QString made = work.path() + QStringLiteral("/de_DE.UTF-8");
    QProcess localedef;
    localedef.setProcessChannelMode(QProcess::MergedChannels);
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                     QStringLiteral("UTF-8"), made});
    // localedef exits 1 for mere warnings; whether the numeric part was written is what counts.
    if (!localedef.waitForFinished(120'000) ||
        !QFileInfo::exists(made + QStringLiteral("/LC_NUMERIC")))
        return false;
    QDir().rename(made, target);
    return QFileInfo::exists(target + QStringLiteral("/LC_NUMERIC"));
}

std::optional<CommaLocale> findOrBuild() {
    if (const auto name = systemCommaLocale())
        return CommaLocale{*name, qgetenv("LOCPATH")};
    const QString folder = QStringLiteral(PELMAR_BINARY_DIR "/test-locales");
    if (!buildInto(folder))
        return std::nullopt;
    const QByteArray path = QFile::encodeName(folder);
    qputenv("LOCPATH", path);
    if (!hasCommaDecimal("de_DE.UTF-8"))
        return std::nullopt;
    return CommaLocale{QByteArrayLiteral("de_DE.UTF-8"), path};
}

} // namespace

const std::optional<CommaLocale>& commaLocale() {
    static const std::optional<CommaLocale> locale = findOrBuild();
    return locale;
}

QProcessEnvironment commaLocaleEnvironment(const CommaLocale& locale) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale.name));
    if (!locale.folder.isEmpty())
        environment.insert(QStringLiteral("LOCPATH"), QFile::decodeName(locale.folder));
    return environment;
}

CommaNumericScope::CommaNumericScope() : m_before(std::setlocale(LC_NUMERIC, nullptr)) {
    if (const auto& locale = commaLocale())
        m_active = std::setlocale(LC_NUMERIC, locale->name.constData()) != nullptr;
}

CommaNumericScope::~CommaNumericScope() {
    std::setlocale(LC_NUMERIC, m_before.constData());
}

void UnderEachLocale::SetUp() {
    if (!GetParam())
        return;
    m_comma = std::make_unique<CommaNumericScope>();
    if (!m_comma->active())
        GTEST_SKIP() << "no comma-decimal locale can be had here";
}

std::string localeParamName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "CommaDecimal" : "AsStarted";
}

} // namespace pelmar::test
