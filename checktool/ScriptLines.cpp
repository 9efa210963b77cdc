#include "checktool/ScriptLines.h"

bool WrittenWithoutWordBlanks(const std::wstring& text)
{
    for (const wchar_t ch : text) {
        if (ch >= 0x0E01 && ch <= 0x0E5B)  // Thai
            return true;
    }
    return false;
}

bool MustStayOnOneLine(TextPlace place, const std::wstring& text)
{
    return (place == TextPlace::ItemName || place == TextPlace::CategoryCaption) && WrittenWithoutWordBlanks(text);
}
