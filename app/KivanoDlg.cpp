#include "app/KivanoDlg.h"

#include "app/StartupTrace.h"
#include "catalogue/CatalogueLoader.h"
#include "framework/afxres.h"
#include "res/resource.h"
#include "ui/LayoutMetrics.h"

BEGIN_MESSAGE_MAP(CKivanoDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_WM_KEYDOWN()
    ON_WM_CTLCOLOR()
    ON_WM_QUERYDRAGICON()
    ON_WM_ACTIVATE()
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_ITEM_LIST, OnItemChanged)
    ON_NOTIFY(LVN_ITEMACTIVATE, IDC_ITEM_LIST, OnItemActivate)
    ON_BN_CLICKED(IDC_CATEGORY0, OnCategoryButton0)
    ON_BN_CLICKED(IDC_CATEGORY1, OnCategoryButton1)
    ON_BN_CLICKED(IDC_CATEGORY2, OnCategoryButton2)
    ON_BN_CLICKED(IDC_CATEGORY3, OnCategoryButton3)
    ON_BN_CLICKED(IDC_CATEGORY4, OnCategoryButton4)
    ON_BN_CLICKED(IDC_SUPPORT_BUTTON, OnSupportButton)
    ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelpButton)
    ON_BN_CLICKED(IDC_CLOSE_BUTTON, OnCloseButton)
    ON_MESSAGE(WM_BUTTON_DESCRIBE, OnButtonDescribe)
    ON_MESSAGE(WM_BUTTON_PRESS, OnButtonPress)
    ON_MESSAGE(WM_BUTTON_LOSTFOCUS, OnButtonLostFocus)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CKivanoDlg::CKivanoDlg()
    : CDialog(IDD_KIVANO_DIALOG, nullptr),
      m_bCategoryPresent{1, 1, 1, 1, 0},
      m_nRememberedCategory(0),
      m_pHeadingFont(nullptr),
      m_bLayoutReady(0),
      m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_pLargeImageList(nullptr),
      m_pSmallImageList(nullptr),
      m_composition(*this)
{
    m_strDescription.Empty();
    ScaleLayoutMetrics();
    // In a mirrored window the description and the items' names read right to left.
    m_rightToLeftReading = {IDC_DESCRIPTION, IDC_ITEM_LIST};
}

CKivanoDlg::~CKivanoDlg()
{
    // The heap font and the image lists belong to OnClose; when the dialog
    // ended without it (Escape), they are released here instead.
    delete m_pLargeImageList;
    delete m_pSmallImageList;
    delete m_pHeadingFont;
}

void CKivanoDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_DESCRIPTION, m_wndDescription);
    DDX_Control(pDX, IDC_ITEM_LIST, m_listItems);
    DDX_Text(pDX, IDC_DESCRIPTION, m_strDescription);
}

BOOL CKivanoDlg::OnInitDialog()
{
    MarkStartup(StartupInitDialog);
    // 1. Work in the program's own folder.
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        CString folder(module);
        const int slash = folder.ReverseFind(L'\\');
        SetCurrentDirectoryW(slash >= 0 ? folder.Left(slash) : folder);
    } else {
        SetCurrentDirectoryW(L"C:");
    }

    // 2. Client area of the layout's size, whatever the template's dialog units give.
    RECT window;
    RECT client;
    GetWindowRect(&window);
    GetClientRect(&client);
    SetWindowPos(&wndTop, 0, 0,
                 (window.right - window.left) - (client.right - client.left) + LayoutMetrics.ClientWidth,
                 (window.bottom - window.top) - (client.bottom - client.top) + LayoutMetrics.ClientHeight,
                 SWP_NOMOVE);

    // 3. Icons.
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // 4, 5. Catalogue and footer texts.
    LoadCatalogue(m_bCategoryPresent);
    LoadFooterTexts();
    MarkStartup(StartupCatalogueLoaded);

    // 6. Window texts.
    m_strTitle.LoadString(IDS_TITLE);
    m_strSubtitle.LoadString(IDS_SUBTITLE);
    m_strCategoryHeading.LoadString(IDS_CATEGORY_HEADING);
    m_strContentsHeading.LoadString(IDS_CONTENTS_HEADING);

    // 7. Background.
    m_brBackground.CreateSolidBrush(0xFFFFFF);

    // 8. Heading font: Tahoma 9 point for this window's DC, at weight 900.
    if (m_pHeadingFont == nullptr)
        m_pHeadingFont = new CFont;
    {
        CFont point;
        {
            CClientDC dc(this);
            point.CreatePointFont(90, L"Tahoma", &dc);
        }
        LOGFONTW lf = {};
        point.GetObject(sizeof(lf), &lf);
        lf.lfWeight = 900;
        m_pHeadingFont->CreateFontIndirect(&lf);
        point.DeleteObject();
    }

    // 9. Category buttons.
    SetUpCategoryButtons();

    // 10. Footer buttons.
    struct Footer {
        UINT id;
        CBitmapButtonEx& button;
        const CString& caption;
        const CString& text;
    };
    const Footer footers[] = {
        {IDC_SUPPORT_BUTTON, m_btnSupport, SupportCaption, SupportText},
        {IDC_HELP_BUTTON, m_btnHelp, HelpCaption, HelpText},
        {IDC_CLOSE_BUTTON, m_btnClose, CloseCaption, CloseText},
    };
    for (const Footer& footer : footers) {
        footer.button.AutoLoad(footer.id, this);
        footer.button.m_bBitmapFace = 1;
        footer.button.m_nTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        footer.button.m_strText = footer.caption;
        footer.button.m_strDescription = footer.text;
        footer.button.m_crText = 0x444444;
        footer.button.SetFont(*m_pHeadingFont, TRUE);
    }
    MarkStartup(StartupButtonsReady);

    // 11, 12. First list fill, which also attaches the list and the description.
    // Until the selections below are made, fills leave the list itself alone.
    m_bDeferListFill = 1;
    Invalidate(TRUE);
    OnCategoryButton(0);

    // 13. List spacing and hover time.
    m_listItems.SetIconSpacing(LayoutMetrics.IconSpacingX, LayoutMetrics.IconSpacingY);
    m_listItems.SendMessage(LVM_SETHOVERTIME, 0, 1);
    m_listItems.m_strAccessibleName = m_strContentsHeading;

    // 14. The lowest present category ends up selected.
    for (int k = 4; k >= 0; --k) {
        if (m_bCategoryPresent[k])
            OnCategoryButton(k);
    }
    m_bDeferListFill = 0;
    BuildPendingItemList();
    MarkStartup(StartupListFilled);

    // The controls go to their places while the window is still hidden, where
    // a move repaints nothing; every paint's layout pass then finds them there.
    LayOutControls();

    // 15 to 17.
    UpdateWindow();
    Invalidate(TRUE);
    m_bLayoutReady = 1;
    m_composition.SetScene(CompositionScene());  // from now on it keeps what it draws
    MarkStartup(StartupInitDialogDone);
    return TRUE;
}

void CKivanoDlg::ReleaseItemList()
{
    if (m_listItems.m_hWnd == nullptr)
        return;
    m_listItems.DeleteAllItems();
    delete m_pLargeImageList;
    m_pLargeImageList = nullptr;
    delete m_pSmallImageList;
    m_pSmallImageList = nullptr;
}

void CKivanoDlg::OnClose()
{
    ReleaseItemList();
    m_imageCache.Clear();
    if (m_pHeadingFont) {
        m_pHeadingFont->DeleteObject();
        delete m_pHeadingFont;
        m_pHeadingFont = nullptr;
        if (m_bLayoutReady)
            m_composition.SetScene(CompositionScene());  // without the font
    }
    Default();
}

void CKivanoDlg::OnActivate(UINT, CWnd*, BOOL)
{
    Default();
    SendMessage(WM_PAINT, 0, 0);
}

HCURSOR CKivanoDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
