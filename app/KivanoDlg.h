// CKivanoDlg: the launcher's only window, a modal dialog from template 102.
//
// Its handlers live beside the behaviour they belong to: life cycle here
// (app/), painting, the item list, category selection and the keyboard in
// ui/, launching and the footer commands in launch/.
#pragma once

#include "framework/afxcmn.h"
#include "framework/afxdd.h"
#include "framework/afxdlg.h"
#include "ui/BitmapButtonEx.h"
#include "ui/EditEx.h"
#include "ui/ItemImageCache.h"
#include "ui/ItemListCtrl.h"
#include "ui/LayoutMetrics.h"
#include "ui/WindowComposition.h"

class CKivanoDlg : public CDialog {
public:
    CKivanoDlg();
    ~CKivanoDlg() override;

    // --- State ---------------------------------------------------------------
    int m_bCategoryPresent[5];         // nonzero: the category's button is shown and selectable
    int m_nRememberedCategory;         // chosen by a press or Enter on its button; re-selected on paint
    CEditEx m_wndDescription;          // control 156
    CItemListCtrl m_listItems;         // control 155 (a list view)
    CString m_strDescription;          // shown in control 156 by data exchange
    CString m_strTitle;                // string 10, drawn in the header
    CString m_strSubtitle;             // string 11
    CString m_strCategoryHeading;      // string 12
    CString m_strContentsHeading;      // string 13
    CFont* m_pHeadingFont;             // owned: bold font of all buttons
    int m_bLayoutReady;                // 1 once initialisation has finished
    HICON m_hIcon;                     // icon 128
    CBrush m_brBackground;             // white dialog background
    CImageList* m_pLargeImageList;     // owned: the list's large icons
    CImageList* m_pSmallImageList;     // owned: the list's small icons
    CBitmapButtonEx m_btnCategory[5];  // controls 157..161
    CBitmapButtonEx m_btnHelp;         // control 162
    CBitmapButtonEx m_btnSupport;      // control 163
    CBitmapButtonEx m_btnClose;        // control 165

    // --- Kept between paints and fills ----------------------------------------
    CItemImageCache m_imageCache;      // the list's converted icons, per category
    CWindowComposition m_composition;  // what the window draws itself, and its back buffer
    int m_bDeferListFill = 0;          // initialising: fills leave the list to the end
    int m_bListPending = 0;            // a fill was put off
    static constexpr int kPlacedControls = 11;  // controls 155..165
    RECT m_rcPlaced[kPlacedControls] = {};      // where PlaceControl last put each

    // --- Operations ----------------------------------------------------------
    void FillItemList();
    void OnCategoryButton(int k);
    void LaunchSelectedItem();
    // Moves every control to its place from the layout metrics (the paint
    // handler's layout pass; initialisation, while the window is hidden).
    void LayOutControls();
    void PlaceControl(CWnd& control, int x, int y, int w, int h);
    // The window's own parts, shown through the composition (ui/WindowComposition.h).
    void PaintStrips();
    void PaintHeader();
    void PaintSelectionBar(int row);
    // What the window shows, for the composition: the header's texts and
    // font, the present category buttons.
    CWindowComposition::Scene CompositionScene();
    void SetUpCategoryButtons();

    DECLARE_MESSAGE_MAP()

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // --- Life cycle ----------------------------------------------------------
    void OnClose();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    HCURSOR OnQueryDragIcon();
    // --- Painting ------------------------------------------------------------
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // --- List and categories -------------------------------------------------
    void OnCategoryButton0() { OnCategoryButton(0); }
    void OnCategoryButton1() { OnCategoryButton(1); }
    void OnCategoryButton2() { OnCategoryButton(2); }
    void OnCategoryButton3() { OnCategoryButton(3); }
    void OnCategoryButton4() { OnCategoryButton(4); }
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemActivate(NMHDR* pNMHDR, LRESULT* pResult);
    LRESULT OnButtonDescribe(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonPress(WPARAM wParam, LPARAM lParam);
    LRESULT OnButtonLostFocus(WPARAM wParam, LPARAM lParam);
    // --- Footer and keyboard -------------------------------------------------
    void OnSupportButton();
    void OnHelpButton();
    void OnCloseButton();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

private:
    // Empties the list (if it is attached) and deletes both image lists.
    void ReleaseItemList();
    // Fills the list for CurrentCategory from its remaining items (the part
    // of a fill after the data exchange).
    void BuildItemList();
    // Builds the list put off while the dialog initialised, if any.
    void BuildPendingItemList();
    // The category button k whose object sent a private message, or -1.
    int CategoryOfSender(WPARAM sender) const;
};
