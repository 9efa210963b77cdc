#include "launch/FooterCommands.h"

#include "app/KivanoDlg.h"
#include "catalogue/CatalogueModel.h"
#include "catalogue/FileExists.h"
#include "launch/HelpTarget.h"
#include "launch/LaunchProgram.h"

const CString UserGuidePath(kUserGuidePath);

void CKivanoDlg::OnSupportButton()
{
    UpdateData(TRUE);
    m_strDescription = SupportText;
    UpdateData(FALSE);
    // The address is machine configuration: handed over as it is, even empty.
    LaunchProgram(SupportUrl, CString(), CString());
}

void CKivanoDlg::OnHelpButton()
{
    UpdateData(TRUE);
    m_strDescription = HelpText;
    UpdateData(FALSE);
    CString target = HelpUrl;
    if (!FileExists(target)) {
        target = UserGuidePath;
        if (!FileExists(target))
            return;
    }
    LaunchProgram(target, CString(), CString());
}

void CKivanoDlg::OnCloseButton()
{
    OnClose();
    CDialog::OnCancel();
}
