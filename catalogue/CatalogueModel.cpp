#include "catalogue/CatalogueModel.h"

std::vector<CategoryInfo> Categories;
int CurrentCategory = 0;
int CurrentItem = -1;

CString SupportCaption;
CString SupportText;
CString SupportUrl;
CString HelpCaption;
CString HelpText;
CString HelpUrl;
CString CloseCaption;
CString CloseText;
