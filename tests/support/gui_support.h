// Everything a GUI test of the launcher uses, in one include.
#pragma once

#include "tests/support/accessible_probe.h"
#include "tests/support/input.h"
#include "tests/support/launched_process.h"
#include "tests/support/list_view_probe.h"
#include "tests/support/machine_state.h"
#include "tests/support/recorder_log.h"
#include "tests/support/registry_guard.h"
#include "tests/support/screen_capture.h"
#include "tests/support/string_table.h"
#include "tests/support/test_paths.h"
#include "tests/support/wait.h"
#include "tests/support/window_probe.h"

namespace qvtest {

// The launcher's fixed names.
inline constexpr wchar_t kLauncherClass[] = L"VelConsoleClass";
inline constexpr wchar_t kLauncherTitle[] = L"Quorvane";
inline constexpr wchar_t kLauncherMutex[] = L"Kivalink_Mutex";

}  // namespace qvtest
