#pragma once
#include <QByteArrayView>

namespace sentrel {

// True when `bytes` is well-formed UTF-8: no overlong forms, no encoded
// surrogates, nothing above U+10FFFF, no sequence cut short. Exactly the
// texts that survive QString::fromUtf8 + toUtf8 unchanged.
bool isValidUtf8(QByteArrayView bytes);

} // namespace sentrel
