#include "inventory/item_state.h"

namespace quillon {

ItemState itemState(const QString& status, const StatusTexts& texts) {
    const QString s = status.trimmed();
    if (s == texts.unknown.trimmed())
        return ItemState::Unknown;
    if (s == texts.update.trimmed())
        return ItemState::Update;
    return ItemState::Ok;
}

QString statusText(ItemState state, const StatusTexts& texts) {
    switch (state) {
    case ItemState::Unknown:
        return texts.unknown;
    case ItemState::Update:
        return texts.update;
    case ItemState::Ok:
        break;
    }
    return texts.ok;
}

int stateCode(ItemState state) {
    switch (state) {
    case ItemState::Unknown:
        return -1;
    case ItemState::Update:
        return 1;
    case ItemState::Ok:
        break;
    }
    return 0;
}

ItemState stateFromCode(const QString& code) {
    const QString c = code.trimmed();
    if (c == QLatin1String("-1"))
        return ItemState::Unknown;
    if (c == QLatin1String("1"))
        return ItemState::Update;
    return ItemState::Ok;
}

} // namespace quillon
