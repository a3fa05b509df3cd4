#include "kit_logging.h"

Q_LOGGING_CATEGORY(lcKit, "velscript.kit", QtWarningMsg)
