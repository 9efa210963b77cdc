// CDialog: a dialog created from a template in the resource module.
//
// DoModal runs the framework's own modal loop rather than the system's, so
// that every message is offered to the application's PreTranslateMessage
// (and through it to the dialog manager) before it is dispatched. A dialog
// whose initialisation neither showed nor moved it appears centred
// (CWnd::CenterWindow).
#pragma once

#include <vector>

#include "framework/afxwin.h"

// Adds `exStyle` to the extended style of every control with identifier `id`
// in a dialog template (DLGTEMPLATE or DLGTEMPLATEEX) of `size` bytes, in
// place. False, and nothing written, when the template has no such control or
// does not read to its last control within `size`.
bool AfxAddControlExStyle(BYTE* dialogTemplate, size_t size, UINT id, DWORD exStyle);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The base runs the data exchange towards the controls.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Validates the update region with an empty paint cycle, then default processing.
    void OnPaint();

    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    // Controls of the template that read right to left when the dialog is
    // mirrored (created while the process's default layout is right to left):
    // they are created with WS_EX_RTLREADING, from a copy of the template.
    std::vector<UINT> m_rightToLeftReading;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // After OnInitDialog: centres the dialog unless initialisation placed it
    // (`before`: its window rectangle when WM_INITDIALOG arrived).
    void CenterIfNotPlaced(const RECT& before);
    bool m_bModalRunning = false;
    int m_nModalResult = -1;
};
