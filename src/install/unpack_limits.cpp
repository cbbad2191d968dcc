#include "install/unpack_limits.h"

#include "app/settings_values.h"

using namespace Qt::StringLiterals;

namespace quillon {

UnpackLimits UnpackLimits::fromSettings(const SettingValues& values) {
    UnpackLimits limits;
    limits.maxBytes = values.maxUnpackedMiB > 0 ? qint64(values.maxUnpackedMiB) * 1024 * 1024 : 0;
    limits.maxRatio = qMax(values.maxUnpackRatio, 0);
    return limits;
}

QString UnpackLimitRefusal(const UnpackLimits& limits, qint64 packedBytes, qint64 unpackedBytes) {
    if (limits.maxBytes > 0 && unpackedBytes > limits.maxBytes)
        return u"it unpacks to %1 bytes, more than the limit of %2 MiB (MaxUnpackedMiB)"_s.arg(
            QString::number(unpackedBytes), QString::number(limits.maxBytes / (1024 * 1024)));
    if (limits.maxRatio > 0 && unpackedBytes > kUnpackRatioFloor && packedBytes >= 0 &&
        unpackedBytes > packedBytes * limits.maxRatio)
        return u"it unpacks to %1 bytes, more than %2 times its size of %3 bytes (MaxUnpackRatio)"_s.arg(
            QString::number(unpackedBytes), QString::number(limits.maxRatio), QString::number(packedBytes));
    return {};
}

} // namespace quillon
