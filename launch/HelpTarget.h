// What Help can do with the help address (value "URL" of
// HKLM\Software\Velmora\Kivano\Help): Help opens it only when an entry exists at
// that path, so only a file path can ever open. The package warns about
// another value, and the check tool reports it.
#pragma once

#include <string>

// What Help opens when its address is no file that exists (and nothing when
// this one is missing too): the launcher's UserGuidePath.
constexpr wchar_t kUserGuidePath[] = L"C:\\Docs\\UserGuide.pdf";

// Why Help can never open `value`, in words ("an address with the scheme
// \"https:\", not a file path"); empty when it is a file path, which opens once
// the file exists, or when it is empty (Help then opens the local user's guide).
std::wstring HelpTargetProblem(const std::wstring& value);
