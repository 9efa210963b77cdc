// CButtonAccessible: what assistive technology is given for a bitmap push
// button. The caption it paints is its name (a doubled ampersand read as one,
// as it is drawn), its role is a push button, its pushed state reads as
// pressed, and its description is the text the dialog shows for it. The
// default action (named by the string table, in the user's language) presses
// it as a click does.
#pragma once

#include "framework/afxstr.h"
#include "ui/accessibility/AccessibleProxy.h"

class CBitmapButtonEx;

class CButtonAccessible : public CAccessibleProxy {
public:
    explicit CButtonAccessible(HWND hWnd) : CAccessibleProxy(hWnd, ROLE_SYSTEM_PUSHBUTTON) {}

    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override;
    STDMETHODIMP get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHODIMP get_accState(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHODIMP get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    STDMETHODIMP accDoDefaultAction(VARIANT varChild) override;

private:
    // The button object attached to the window, or null once it has gone.
    const CBitmapButtonEx* Button() const;
};

// A caption as DrawText shows it without DT_NOPREFIX: "&&" is one ampersand,
// a single one only marks the next character.
CString CaptionAsShown(const CString& caption);
