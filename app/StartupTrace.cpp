#include "app/StartupTrace.h"

StartupRecorder g_pStartupRecorder = nullptr;
