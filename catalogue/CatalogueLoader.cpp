#include "catalogue/CatalogueLoader.h"

#include "catalogue/LookupSession.h"
#include "catalogue/RegistryReader.h"
#include "catalogue/ResolveFilePath.h"
#include "framework/afxres.h"
#include "res/resource.h"

#include <cwchar>
#include <string>

namespace {

// Loads string `id` into `target`; a missing or empty string leaves it as it was.
BOOL LoadText(CString& target, UINT id)
{
    CString text;
    if (!text.LoadString(id))
        return FALSE;
    target = text;
    return TRUE;
}

// The icon index: the string's first nine characters (what a buffer of ten
// code units holds) as a signed decimal number; 0 when the string is missing.
int LoadIconIndex(UINT id)
{
    const std::wstring text = AfxLoadStringText(id).substr(0, 9);
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

void ReadUrl(UINT keyId, CString& url)
{
    ReadRegString(HKEY_LOCAL_MACHINE, CString(AfxLoadStringText(keyId)), L"URL", url);
}

}  // namespace

BOOL LoadItem(int category, int index, ItemInfo& item)
{
    const UINT t = static_cast<UINT>(100 * category + index);
    ItemInfo loaded;

    LoadText(loaded.Arguments, IDS_ITEM_ARGUMENTS_BASE + t);
    if (!LoadText(loaded.Path, IDS_ITEM_PROGRAM_BASE + t))
        return FALSE;
    if (!ResolveFilePath(loaded.Path, CString()))
        return FALSE;
    const int lastSeparator = loaded.Path.ReverseFind(L'\\');
    if (lastSeparator < 0)
        return FALSE;
    const CString folder = loaded.Path.Left(lastSeparator + 1);

    if (!LoadText(loaded.IconFile, IDS_ITEM_ICON_FILE_BASE + t) || !ResolveFilePath(loaded.IconFile, folder))
        loaded.IconFile = loaded.Path;
    loaded.IconIndex = LoadIconIndex(IDS_ITEM_ICON_INDEX_BASE + t);
    if (!LoadText(loaded.Name, IDS_ITEM_NAME_BASE + t))
        loaded.Name = loaded.IconFile;
    if (!LoadText(loaded.Description, IDS_ITEM_DESCRIPTION_BASE + t))
        loaded.Description = loaded.Name;

    item = loaded;
    return TRUE;
}

void LoadCatalogue(int presentFlags[kCategoryCount])
{
    CLookupSession session;
    Categories.clear();
    for (int k = 0; k < kCategoryCount; ++k) {
        CategoryInfo category;
        LoadText(category.Caption, IDS_CATEGORY_CAPTION_BASE + 1000 * k);
        LoadText(category.Text, IDS_CATEGORY_TEXT_BASE + 1000 * k);
        for (int i = 0; i < kRowsPerCategory && category.ItemCount < kMaxItemsPerCategory; ++i) {
            ItemInfo item;
            if (LoadItem(k, i, item)) {
                category.Items.push_back(item);
                ++category.ItemCount;
            }
        }
        if (category.ItemCount == 0)
            presentFlags[k] = 0;
        Categories.push_back(category);
    }
}

void LoadFooterTexts()
{
    LoadText(SupportCaption, IDS_SUPPORT_CAPTION);
    LoadText(SupportText, IDS_SUPPORT_TEXT);
    ReadUrl(IDS_SUPPORT_KEY, SupportUrl);
    LoadText(HelpCaption, IDS_HELP_CAPTION);
    LoadText(HelpText, IDS_HELP_TEXT);
    ReadUrl(IDS_HELP_KEY, HelpUrl);
    LoadText(CloseCaption, IDS_CLOSE_CAPTION);
    LoadText(CloseText, IDS_CLOSE_TEXT);
}
