#pragma once
// How large a package may become when unpacked. A few hundred kilobytes of a crafted archive
// can unpack to gigabytes; such a package is refused before anything of it is written.
#include <QString>

namespace quillon {

struct SettingValues;

struct UnpackLimits {
    qint64 maxBytes = 0; // 0: no limit
    int maxRatio = 0;    // unpacked size over package size; 0: no limit

    static UnpackLimits fromSettings(const SettingValues& values);
};

// Small packages are not held to the ratio: a few kilobytes of text compress a hundredfold and
// can do no harm.
inline constexpr qint64 kUnpackRatioFloor = 1024 * 1024;

// Why a package file of packedBytes that unpacks to unpackedBytes is refused; empty when it is
// within the limits.
QString UnpackLimitRefusal(const UnpackLimits& limits, qint64 packedBytes, qint64 unpackedBytes);

} // namespace quillon
