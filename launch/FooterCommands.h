// The footer's commands: the support site, the user's guide and Close.
#pragma once

#include "framework/afxstr.h"

// The user's guide opened by Help when no guide is registered.
extern const CString UserGuidePath;
