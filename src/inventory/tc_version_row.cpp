#include "inventory/tc_version_row.h"

#include "inventory/update_list.h"
#include "inventory/version_compare.h"

using namespace Qt::StringLiterals;

namespace quillon {

bool ApplyTcVersionRow(UpdateList& list, const TcVersionFacts& facts, bool addItem) {
    if (addItem) {
        const int row = list.addRow(facts.caption, facts.version, facts.exeFile, ItemGroup::TC);
        list.updateSnapshotRow(facts.exeFile, row);
        return true;
    }
    if (!list.hasTcRow())
        return false;
    list.setName(0, facts.caption);
    list.setInstalledVersion(0, facts.version);
    const QString latest = list.row(0).LatestVersion.trimmed();
    if (!latest.isEmpty() && latest != kNoVersion) {
        const bool newer = ComplexVerGreater(facts.version, latest);
        list.setState(0, newer ? ItemState::Update : ItemState::Ok);
        list.setChecked(0, newer);
    }
    list.updateSnapshotRow(facts.exeFile, 0);
    return true;
}

} // namespace quillon
