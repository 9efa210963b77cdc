// Building the catalogue from the string table and the registry.
#pragma once

#include "catalogue/CatalogueModel.h"

#include <windows.h>

// Loads table row `index` (0..49) of `category` (0..4). The row becomes an item
// only if its program string names a file that exists and whose resolved path
// holds a backslash; `item` is written only on TRUE.
BOOL LoadItem(int category, int index, ItemInfo& item);

// Fills Categories with five records, each with at most twelve items (the
// lowest table indices that load). Clears the presence flag of every category
// that ends without items; never sets one.
void LoadCatalogue(int presentFlags[kCategoryCount]);

// Fills the footer captions and texts from the string table and the two
// addresses from the registry; what cannot be read stays as it was.
void LoadFooterTexts();
