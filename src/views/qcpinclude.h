#pragma once

// The charting library's header still spells Qt's keyword macros (signals, slots,
// emit, foreach), which this build turns off. Chart headers include it through here.
#ifdef QT_NO_KEYWORDS
#define signals Q_SIGNALS
#define slots Q_SLOTS
#define emit Q_EMIT
#define foreach Q_FOREACH
#include <qcustomplot.h>
#undef signals
#undef slots
#undef emit
#undef foreach
#else
#include <qcustomplot.h>
#endif
