#include "engine/check_run.h"

#include <utility>

#include "app/command_line.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "engine/app_core.h"
#include "inventory/plugin_database.h"
#include "inventory/update_list.h"
#include "updatecheck/page_fetcher.h"
#include "updatecheck/tc_release.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kCaptions = u"CaptionsMainFrm"_s;

bool isTotalCommanderFile(const QString& filePath, const QString& tcExeFile) {
    const QString name = entryFileName(filePath);
    return name.compare(u"TOTALCMD.EXE"_s, Qt::CaseInsensitive) == 0 ||
           name.compare(u"TOTALCMD64.EXE"_s, Qt::CaseInsensitive) == 0 ||
           (!tcExeFile.isEmpty() && name.compare(entryFileName(tcExeFile), Qt::CaseInsensitive) == 0);
}

} // namespace

void UpdateCheckState::listLoaded(bool tcNotFound) {
    ListLoaded = true;
    OnlineListFetched = false;
    TcNotFound = tcNotFound;
    TcAnnouncedLink.clear();
    TcPreReleaseAccepted = false;
    // Every row of a loaded list starts without a latest version; a date kept from before
    // would confirm or refute an update for a version no record gave.
    PublicationDates.clear();
}

QString UpdateCheckState::publicationDate(const QString& filePath) const {
    return PublicationDates.value(filePath.trimmed().toLower());
}

UpdateCheckRun::UpdateCheckRun(AppCore& core, PageFetcher& fetcher, UpdateCheckState& state)
    : UpdateCheckRun(core, CheckWorkspace{core.updateList(), state, fetcher, core.stores().settings,
                                          core.stores().userPluginInfo}) {
    m_asksReload = true;
}

UpdateCheckRun::UpdateCheckRun(AppCore& core, CheckWorkspace workspace)
    : m_core(core), m_list(workspace.list), m_fetcher(workspace.fetcher), m_state(workspace.state),
      m_settingsStore(workspace.settingsStore), m_userPluginInfoStore(workspace.userPluginInfoStore),
      m_asksReload(false) {}

UpdateCheckRun::UpdateCheckRun(AppCore& core)
    : UpdateCheckRun(core, core.pageFetcher(), core.updateCheckState()) {}

void UpdateCheckRun::progress(int value) {
    if (m_observer)
        m_observer->setProgress(value);
}

CheckCounters CountCheckedItems(const UpdateList& list, const Language& language,
                                const UpdateCheckState& state) {
    CheckCounters c;
    c.checked = list.checkedCount();
    c.rows = list.rowCount();
    for (const SnapshotLine& line : list.snapshot().lines()) {
        ++c.snapshotRows;
        if (line.StateCode == 1)
            ++c.snapshotUpdatable;
        else if (line.StateCode == -1)
            ++c.snapshotUnknown;
    }
    c.checkedLabel =
        language.format(kCaptions, u"NrOfCheckedItems"_s, u"%s1 / %s2 items checked for update."_s,
                        Placeholders{std::nullopt, QString::number(c.checked), QString::number(c.rows)});
    const auto caption = [&](const QString& key, const QString& english, int count) -> QString {
        return language.text(kCaptions, key, english) + u" ("_s + QString::number(count) + u')';
    };
    c.allCaption = caption(u"ShowAllItems"_s, u"All items"_s, c.snapshotRows);
    c.updatableCaption = caption(u"ShowUpdatableItems"_s, u"Updatable items only"_s, c.snapshotUpdatable);
    c.unknownCaption = caption(u"ShowUnknownItems"_s, u"Unknown only"_s, c.snapshotUnknown);
    const bool idle = !state.CheckRunning && state.ListLoaded;
    c.updateSelectedEnabled = c.checked > 0 && idle;
    c.updateSelectedDefault = c.checked > 0 && state.OnlineListFetched;
    c.searchEnabled = c.rows > 0 && idle;
    return c;
}

CheckCounters UpdateCheckRun::ReCountCheckedItems() {
    const CheckCounters c = CountCheckedItems(m_list, m_core.language(), m_state);
    if (m_observer)
        m_observer->countersChanged(c);
    return c;
}

CheckRunResult UpdateCheckRun::run(int selectedRow) {
    CheckRunResult result;
    if (m_state.CheckRunning)
        return result; // a run is under way; its own button is disabled anyway
    Settings& settings = m_core.settings();
    const SettingValues& values = settings.values;
    UpdateList& list = m_list;

    // Step 1: the reload question.
    const Language& language = m_core.language();
    const TextLookup texts = [&language](const QString& s, const QString& k, const QString& e) {
        return language.text(s, k, e);
    };
    if (m_asksReload &&
        CheckForConfigChange(settings, m_detection.value_or(DetectionOptions::fromValues(values)),
                             m_core.stores().settings, m_core.prompter(), texts)) {
        m_core.ReloadList();
        m_state.listLoaded(m_state.TcNotFound);
        m_fetcher.resetConnectionErrorKind();
        result.reloaded = true;
    }
    m_state.CheckRunning = true;
    const int remembered = selectedRow < 0 ? 0 : selectedRow;

    // Steps 2 to 5: every row shown during the run, the controls locked.
    progress(0);
    list.restoreFromSnapshot(list.snapshot().lines());
    ReCountCheckedItems();
    m_state.OnlineRecords.clear();
    if (m_observer)
        m_observer->runStarted();
    // Options changed on the Configuration page since the last fetch count now.
    m_fetcher.setSettings(FetchSettings::fromSettings(values));

    // Steps 6 and 7.
    const bool tcRow = list.rowCount() > 0 && isTotalCommanderFile(list.row(0).FilePath, m_core.tc().exeFile);
    result.tcChecked = tcRow && !m_state.TcNotFound;
    result.tcAnswered = result.tcChecked && checkTotalCommander();
    if (result.tcAnswered)
        progress(values.plugDisabled ? 100 : 10);

    // Step 8.
    const bool onlyTc = tcRow && list.rowCount() == 1;
    if ((values.plugDisabled && values.noSelfUpdate) || onlyTc) {
        if (m_observer)
            m_observer->setProgressToMaximum();
    } else {
        result.catalogueFetched = true;
        result.recordCount = checkCatalogue(result.tcChecked);
        if (m_observer)
            m_observer->setProgressToMaximum();
    }

    // Step 9.
    m_state.CheckRunning = false;
    list.takeSnapshot();

    // Steps 10 to 13.
    reportErrors(result);
    result.counters = ReCountCheckedItems();
    if (m_observer)
        m_observer->runFinished();

    // Step 14.
    if (values.jumpToFirstUpd && list.rowCount() > 0) {
        int first = -1;
        for (int row = 0; row < list.rowCount() && first < 0; ++row) {
            if (list.state(row) == ItemState::Update)
                first = row;
        }
        if (list.checkedCount() > 0 && first >= 0)
            result.selectRow = first;
        else if (selectedRow < 0)
            result.selectRow = list.isValidRow(remembered) ? remembered : 0;
    }

    // Step 16.
    const CommandLine& commandLine = m_core.commandLine();
    if (commandLine.autoStartInstall())
        m_state.InstallAfterDownload = true;
    result.startDownload = commandLine.autoStartDl() || commandLine.autoStartInstall();
    return result;
}

bool UpdateCheckRun::checkTotalCommander() {
    const SettingValues& values = m_core.settings().values;
    const QString base = values.siteTotalCommander;
    TcReleaseLookup lookup;
    for (const QString& address : TcReleasePageAddresses(base, values.tcDoNotAcceptBeta)) {
        const QString text = m_fetcher.GetURLAsString(address).trimmed();
        if (!text.isEmpty())
            ParseTcReleasePage(address, text, base, lookup);
    }
    m_state.TcAnnouncedLink = lookup.TcAnnouncedLink;
    UpdateList& list = m_list;
    const std::optional<TcReleaseDecision> decision =
        DecideTcRelease(list.row(0).InstalledVersion, lookup.TcReleaseCandidates, values.tcDoNotAcceptBeta);
    if (!decision)
        return false;
    list.setLatestVersion(0, decision->LatestVersion.isEmpty() ? list.row(0).InstalledVersion
                                                               : decision->LatestVersion);
    list.setState(0, decision->UpdateAvailable ? ItemState::Update : ItemState::Ok);
    list.setChecked(0, decision->UpdateAvailable);
    ReCountCheckedItems();
    m_state.TcPreReleaseAccepted = decision->TcPreReleaseAccepted;
    return true;
}

int UpdateCheckRun::checkCatalogue(bool tcChecked) {
    (void)tcChecked; // rows are addressed by the list itself, Total Commander's row included
    const SettingValues& values = m_core.settings().values;
    const QString address = values.siteCatalogue + kOnlineListPage;
    const QString text = m_fetcher.GetURLAsString(address).trimmed();
    if (text.isEmpty() || !IsOnlineListAddress(address))
        return 0;
    m_state.OnlineRecords = OnlineList::fromPage(text);
    m_state.OnlineListFetched = true;
    if (m_state.OnlineRecords.isEmpty())
        return 0;

    UpdateList& list = m_list;
    const CommandLine& commandLine = m_core.commandLine();
    GroupResolver resolver(ResolverContext{
        list,
        IdentificationStores{m_core.stores().pluginDb, m_core.stores().userDb, m_core.stores().checksumDb,
                             m_userPluginInfoStore, m_settingsStore},
        IdentificationOptions::from(values, commandLine),
        PathForms::fromLocator(m_core.tcLocator(), m_core.system()),
        m_core.programPath(),
        m_core.tc().exeFile,
        values.scrollOnUpdCheck,
    });
    resolver.setProgressHook([this](int row) { progress(row); });
    resolver.setRowResolvedHook([this](int row, bool scroll) {
        if (m_observer)
            m_observer->rowResolved(row, scroll);
    });
    resolver.setRecountHook([this] { ReCountCheckedItems(); });

    QList<ItemGroup> groups;
    if (!values.plugDisabled)
        groups = {ItemGroup::Wcx, ItemGroup::Wfx, ItemGroup::Wlx, ItemGroup::Wdx, ItemGroup::Oth};
    groups.append(ItemGroup::QN);
    for (const ItemGroup group : std::as_const(groups)) {
        // The row of a group's first entry: the entries of the groups before it, after Total
        // Commander's row whenever that row is there (checked or not).
        resolver.ResolveGroupAgainstOnlineList(list.groupLists().list(group), m_state.OnlineRecords,
                                               list.rowOfListEntry(group, 0));
    }
    m_state.DatabaseInfo = resolver.databaseInfo();
    for (const UpdateItem& item : list.rows()) {
        const QString date = resolver.publicationDate(item.FilePath);
        if (!date.isEmpty())
            m_state.PublicationDates.insert(item.FilePath.trimmed().toLower(), date);
    }
    return m_state.OnlineRecords.recordCount();
}

void UpdateCheckRun::reportErrors(CheckRunResult& result) {
    // Failures that explain themselves are told as they are; the bare ones (a status, a lost
    // connection) only as the details of the message that says what they mean for the run.
    QStringList details;
    for (const FetchFailure& failure : m_fetcher.takeFailures()) {
        if (failure.detail.isEmpty())
            m_core.prompter().tell(failure.icon, failure.caption, failure.text);
        else if (!details.contains(failure.detail))
            details.append(failure.detail);
    }

    const quint8 kind = m_fetcher.ConnectionErrorKind();
    bool detailsShown = false;
    const auto show = [&](quint8 k) {
        const std::optional<UserMessage> message =
            ConnectionErrorMessage(k, m_core.language(), m_fetcher.settings());
        if (!message)
            return;
        QString text = message->text.trimmed();
        if (!details.isEmpty() && !std::exchange(detailsShown, true))
            text += u"\n\n"_s + details.join(u'\n');
        m_core.prompter().tell(PromptIcon::Error, message->caption, text);
        result.errors.append(message->caption.trimmed() + u": "_s + text);
    };
    // Nothing came back from the sites that were asked: with the catalogue asked, its records;
    // with only Total Commander's site asked, its release.
    const bool nothingFetched =
        result.catalogueFetched ? result.recordCount == 0 : result.tcChecked && !result.tcAnswered;
    if (nothingFetched && (kind == kNoConnection || kind == kCatalogueSiteError))
        show(kind);
    if (kind == kTcSiteError)
        show(kind);
    // Pages that failed while the run as a whole went on.
    if (!details.isEmpty() && !detailsShown)
        m_core.prompter().tell(PromptIcon::Information,
                               m_core.language().text(u"ErrorMessages"_s, u"CaptionInfo"_s, u"Information"_s),
                               details.join(u'\n'));
}

} // namespace quillon
