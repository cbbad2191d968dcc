#include "app/settings.h"

#include <QDir>

#include <variant>

#include "app/common/strings.h"
#include "app/proxy_settings.h"
#include "app/settings_directories.h"
#include "app/settings_keys.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
// Clang 14 does not deduce the arguments of an aggregate template without a guide.
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

QString textDefault(const SettingKey& key, const SettingsContext* context) {
    if (context) {
        switch (key.defaultFrom) {
        case DefaultFrom::TcIniFile:
            return context->tcIniFile;
        case DefaultFrom::OwnTempDirectory:
            return DefaultTempDirectory(context->programBaseName);
        case DefaultFrom::LocatedUseIniInTcDir:
            return context->useIniInTcDirAsLocated;
        case DefaultFrom::Table:
        case DefaultFrom::ColumnWidth:
            break;
        }
    }
    return QString::fromLatin1(key.textDefault);
}

int intDefault(const SettingKey& key, const SettingsContext* context) {
    if (key.defaultFrom == DefaultFrom::ColumnWidth)
        return DefaultColumnWidth(context ? context->updateListWidth : kDesignedUpdateListWidth, key.column);
    return key.intDefault;
}

bool shouldWrite(WriteWhen when, const SettingValues& values, const SettingsWriteOptions& options) {
    switch (when) {
    case WriteWhen::Always:
        return true;
    case WriteWhen::LanguageIsBuiltIn:
        return !options.externalLanguage;
    case WriteWhen::DetectionModeChosen:
        return modeNumber(values.plugDetectionMode) >= 0 && modeNumber(values.plugDetectionMode) <= 2;
    case WriteWhen::SavingWindowPosition:
        return options.ctrlHeld || values.alwaysSavePos;
    }
    return true;
}

} // namespace

Settings::Settings() {
    applyDefaults(nullptr);
}

void Settings::applyDefaults(const SettingsContext* context) {
    for (const SettingKey* key : kSettingsReadOrder) {
        std::visit(Overloaded{
                       [](std::monostate) {},
                       [&](bool SettingValues::*field) { values.*field = key->boolDefault; },
                       [&](int SettingValues::*field) { values.*field = intDefault(*key, context); },
                       [&](ModeField field) { field.set(values, intDefault(*key, context)); },
                       [&](QString SettingValues::*field) {
                           values.*field = CleanSettingText(*key, textDefault(*key, context));
                       },
                   },
                   key->field);
    }
}

void Settings::read(const IniDocument& store, const SettingsContext& context) {
    for (const SettingKey* key : kSettingsReadOrder) {
        std::visit(Overloaded{
                       [](std::monostate) {},
                       [&](bool SettingValues::*field) { values.*field = ReadSettingBool(store, *key); },
                       [&](int SettingValues::*field) {
                           values.*field = ReadSettingInt(store, *key, intDefault(*key, &context));
                       },
                       [&](ModeField field) {
                           field.set(values, ReadSettingInt(store, *key, intDefault(*key, &context)));
                       },
                       [&](QString SettingValues::*field) {
                           values.*field = ReadSettingText(store, *key, textDefault(*key, &context));
                       },
                   },
                   key->field);
    }

    // The Configuration page offers 500 ms to 10 minutes; a file edited by hand to 0 or -1
    // would take every deadline away and let a trickling server hold a check for ever.
    if (values.httpTimeOut < kHttpTimeOutMin || values.httpTimeOut > kHttpTimeOutMax)
        values.httpTimeOut = intDefault(key::HttpTimeOut, &context);
    if (values.parallelDownloads < kParallelDownloadsMin || values.parallelDownloads > kParallelDownloadsMax)
        values.parallelDownloads = intDefault(key::ParallelDownloads, &context);

    const DownloadDirChoice download =
        ChooseDownloadDirectory(context, values.downloadDir, values.tempDirectory);
    values.downloadDir = download.directory;
    m_downloadDirDefaulted = download.defaulted;
    m_downloadDirCreated = download.created;

    if (!values.oneTimeTempDirChange) {
        values.tempDirectory = MovedTempDirectory(context, values.tempDirectory, values.downloadDir);
        values.oneTimeTempDirChange = true;
    }

    CopySystemProxyOnce(context.system, values);

    m_exceptionList.clear();
    const QString exceptionSection = QString::fromLatin1(section::ExceptionList);
    for (const auto& [name, value] : store.entries(exceptionSection))
        m_exceptionList.append(value.trimmed());
    SortUnique(m_exceptionList);
}

void Settings::write(IniDocument& store, const SettingsContext& context,
                     const SettingsWriteOptions& options) const {
    for (const SettingWriteStep& step : kSettingsWriteOrder) {
        if (!shouldWrite(step.when, values, options))
            continue;
        const SettingKey& key = *step.key;
        std::visit(
            Overloaded{
                [&](std::monostate) { WriteSetting(store, key, QString::fromLatin1(key.textDefault)); },
                [&](bool SettingValues::*field) { WriteSetting(store, key, values.*field); },
                [&](int SettingValues::*field) { WriteSetting(store, key, values.*field); },
                [&](ModeField field) { WriteSetting(store, key, field.get(values)); },
                [&](QString SettingValues::*field) { WriteSetting(store, key, values.*field); },
            },
            key.field);
    }

    // Numbered by position in the sorted list, so a blank entry leaves a gap.
    QStringList sorted = m_exceptionList;
    SortUnique(sorted);
    QList<std::pair<QString, QString>> entries;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const QString line = sorted[i].trimmed();
        if (line.isEmpty())
            continue;
        entries.append({QString::number(i),
                        context.convertTcPathToEnvPath ? context.convertTcPathToEnvPath(line) : line});
    }
    const QString exceptionSection = QString::fromLatin1(section::ExceptionList);
    if (entries.isEmpty()) {
        store.removeSection(exceptionSection);
        return;
    }
    store.clearSection(exceptionSection);
    for (const auto& [number, path] : entries)
        store.setValue(exceptionSection, number, path);
}

bool Settings::save(IniDocument& store, const SettingsContext& context, const SettingsWriteOptions& options,
                    QString* errorText) const {
    write(store, context, options);
    return store.save(errorText);
}

QString Settings::expandedDownloadDir(const System& system) const {
    return ExpandOwnPath(system, values.downloadDir);
}

QString Settings::expandedTempDirectory(const System& system, QString* refusal) const {
    const QString expanded = ExpandOwnPath(system, values.tempDirectory);
    if (expanded.isEmpty() || QDir::isAbsolutePath(expanded))
        return expanded;
    // Relative to what? The working folder of whoever started the program is no answer: an
    // installation once unpacked into the plugin's own folder that way.
    if (refusal)
        *refusal =
            u"TempDirectory \"%1\" is not a full path; give one in the settings (for example %2)"_s.arg(
                values.tempDirectory.trimmed(),
                QDir::toNativeSeparators(QDir::homePath() + u"/.cache/quillon/"_s));
    return {};
}

QString Settings::exceptionListText() const {
    return m_exceptionList.join(QLatin1Char('\n'));
}

void Settings::setExceptionListText(const QString& text) {
    m_exceptionList.clear();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return;
    for (QString line : trimmed.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        m_exceptionList.append(line);
    }
}

QStringList Settings::ruleHosts(char rule) const {
    const QString* hosts = nullptr;
    switch (rule) {
    case 'A':
        hosts = &values.ruleAHosts;
        break;
    case 'B':
        hosts = &values.ruleBHosts;
        break;
    case 'C':
        hosts = &values.ruleCHosts;
        break;
    case 'D':
        hosts = &values.ruleDHosts;
        break;
    default:
        return {};
    }
    QStringList result;
    for (const QString& host : hosts->split(QLatin1Char(','))) {
        if (const QString name = host.trimmed(); !name.isEmpty())
            result.append(name);
    }
    return result;
}

} // namespace quillon
