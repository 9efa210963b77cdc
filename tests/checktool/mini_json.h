// A small JSON reader for checking the tool's output: the whole grammar,
// numbers as double, strings as UTF-16 with \u escapes (surrogate pairs kept
// as two code units). Throws std::runtime_error on malformed input.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qvjson {

struct Value {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    double number = 0;
    std::wstring string;
    std::vector<Value> array;
    std::vector<std::pair<std::wstring, Value>> object;  // in document order

    bool Has(const std::wstring& key) const;
    // The member `key`; throws when it is missing or this is not an object.
    const Value& operator[](const std::wstring& key) const;
    const Value& operator[](size_t index) const;
    size_t size() const;
};

Value Parse(const std::wstring& text);

}  // namespace qvjson
