// A listing of the machine's files and registry, to show that something left
// no trace: take one before, one after, and compare.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace qvtest {

// Path (or key path, or key path:value name) -> what it holds.
using MachineListing = std::map<std::wstring, std::wstring>;

// Every file and folder under `folder` with its size and write time, skipping `skip`.
void ListFiles(const std::wstring& folder, const std::wstring& skip, MachineListing& out);

// Every key and value under root\path (64-bit view) with its type and data.
void ListRegistry(HKEY root, const std::wstring& path, MachineListing& out);

// "new <path>", "changed <path>" and "gone <path>" for each difference.
std::vector<std::wstring> Differences(const MachineListing& before, const MachineListing& after);

}  // namespace qvtest
