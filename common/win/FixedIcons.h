#pragma once
// Icon resources of the six fixed image-list slots. The launcher and the settings tool carry
// them under these ids; the resource scripts include this header, so it holds only
// preprocessor definitions.

#define IDI_BLANK 310        // slot 0: no icon
#define IDI_SUBMENU 311      // slot 1: submenu, collapsed
#define IDI_SUBMENU_OPEN 312 // slot 2: submenu, expanded
#define IDI_SEPARATOR 315    // slot 3: separator line
#define IDI_NEW_ITEM 316     // slot 4: star of a new item
#define IDI_TEXT_ITEM 340    // slot 5: two pages of a text-copy item
