// The catalogue: five categories of utilities and the footer texts, built once
// from the string table and the registry while the main dialog initialises.
#pragma once

#include "framework/afxstr.h"

#include <vector>

constexpr int kCategoryCount = 5;        // category slots 0..4
constexpr int kRowsPerCategory = 50;     // table indices 0..49 per category
constexpr int kMaxItemsPerCategory = 12; // items kept per category

// One utility. Records are values: a category holds copies.
struct ItemInfo {
    CString Name;         // shown in the list
    CString Description;  // shown while the item is current
    CString IconFile;     // file whose icon represents the item
    CString Path;         // program or Control Panel file to start; never empty
    CString Arguments;    // command-line arguments, may be empty
    int IconIndex = 0;    // icon inside IconFile
};

struct CategoryInfo {
    CString Caption;             // drawn on the category's button
    CString Text;                // description of the category
    int ItemCount = 0;           // number of Items, 0..12
    std::vector<ItemInfo> Items; // in ascending table index
};

// Process-wide catalogue state.
extern std::vector<CategoryInfo> Categories;  // five records once loaded
extern int CurrentCategory;                   // category shown in the list; 0 at start
extern int CurrentItem;                       // current item of that category, or -1

// Footer texts: captions, descriptions and web addresses of the footer buttons.
extern CString SupportCaption;
extern CString SupportText;
extern CString SupportUrl;
extern CString HelpCaption;
extern CString HelpText;
extern CString HelpUrl;
extern CString CloseCaption;
extern CString CloseText;
